// Each part interpolates its stretch of the record with the margins beside
// it as a record of its own (the band-limited interpolation of
// band_limited.cpp) and hands out the values of the part alone; the stretch,
// its fine values and the transform's scratch are sized once, for the
// longest stretch, and the zero after the record is put in the last one.
#include "core/response/band_limited_parts.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/response/band_limited.hpp"

namespace sitewave::response {

band_limited_parts::band_limited_parts(std::span<const double> record, int factor, layout shape,
                                       simd_path path)
    : record_(record),
      factor_(factor < 1 ? 1 : static_cast<std::size_t>(factor)),
      steps_(record.size() < 2 ? 0 : record.size()),
      margin_(0),
      count_(1),
      path_(path),
      samples_(record.size() < 2 ? record.size() : record.size() + 1) {
  if (factor < 1)
    throw std::invalid_argument("interpolation factor " + std::to_string(factor) + " is below 1");
  if (shape.part_steps == 0 || shape.part_steps % 256 != 0)
    throw std::invalid_argument("parts of " + std::to_string(shape.part_steps) +
                                " steps: a positive multiple of 256 is expected");
  std::size_t longest = samples_;
  if (samples_ > shape.whole_record_samples) {
    steps_ = shape.part_steps;
    margin_ = shape.margin;
    count_ = (samples_ - 2) / steps_ + 1;
    longest = std::min(samples_, steps_ + 1 + 2 * margin_);
  }
  const std::size_t fine = factor_ > 1 && longest > 0 ? (longest - 1) * factor_ + 1 : 0;
  const std::size_t scratch = factor_ > 1 ? interpolation_scratch_size(longest) : 0;
  storage_ = std::make_unique_for_overwrite<double[]>(longest + fine + scratch);
  stretch_ = std::span(storage_.get(), longest);
  fine_ = std::span(storage_.get() + longest, fine);
  scratch_ = std::span(storage_.get() + longest + fine, scratch);
}

std::span<const double> band_limited_parts::part(std::size_t k) {
  if (k >= count_)
    throw std::invalid_argument("part " + std::to_string(k) + " of " + std::to_string(count_));
  if (samples_ < 2) return record_;
  if (k == made_) return made_values_;
  const std::size_t n = samples_;
  const std::size_t first = k * steps_;
  const std::size_t last = std::min(first + steps_, n - 1);
  const std::size_t begin = factor_ == 1 ? first : first - std::min(first, margin_);
  const std::size_t end = factor_ == 1 ? last + 1 : std::min(n, last + 1 + margin_);
  const std::span<double> stretch = stretch_.first(end - begin);
  const std::size_t from_record = std::min(end, record_.size()) - begin;
  std::copy_n(record_.begin() + static_cast<std::ptrdiff_t>(begin), from_record, stretch.begin());
  if (from_record < stretch.size()) stretch.back() = 0.0;
  if (factor_ == 1) {
    made_ = k;
    return made_values_ = stretch;
  }
  const std::span<double> fine = fine_.first((end - begin - 1) * factor_ + 1);
  band_limited_interpolation(stretch, static_cast<int>(factor_), fine, scratch_, path_);
  made_ = k;
  return made_values_ = fine.subspan((first - begin) * factor_, (last - first) * factor_ + 1);
}

}  // namespace sitewave::response
