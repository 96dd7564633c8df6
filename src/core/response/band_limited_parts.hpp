// The band-limited interpolation of a record, followed by one zero sample
// (the record as its transform takes it), made part by part in time order,
// so that its storage does not grow with the record or the factor: a short
// record in one part, exactly as a whole; a longer one in parts, each
// interpolated with a margin of record samples on either side.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "core/response/simd_path.hpp"

namespace sitewave::response {

class band_limited_parts {
 public:
  // A record of at most whole_record_samples samples (the zero included) is one part. Longer
  // ones come in parts of part_steps steps (a multiple of 256) interpolated
  // from the record and margin samples beyond either end of the part.
  // Samples further away are left out: on a broadband record with 4 % of its
  // plateau at the Nyquist frequency the fine values move by about a tenth
  // of the peak divided by the margin, and PSA by 1e-4 at T = 2 dt (which
  // resonates with that content) and below 1e-6 at longer periods with 4096
  // samples of margin (measured with 2048: 3.5e-4 of the peak, 1.6e-4 and
  // 2e-6). The defaults keep a part's transform at 2^17 values.
  struct layout {
    std::size_t whole_record_samples = 65537;
    std::size_t part_steps = 57088;
    std::size_t margin = 4096;
  };

  // record outlives this object; factor >= 1.
  band_limited_parts(std::span<const double> record, int factor, layout shape,
                     simd_path path = fastest_simd_path());
  band_limited_parts(std::span<const double> record, int factor)
      : band_limited_parts(record, factor, layout{}) {}

  std::size_t count() const { return count_; }
  std::size_t steps_per_part() const { return steps_; }
  int factor() const { return static_cast<int>(factor_); }
  // Whether this interpolates exactly `record` (the same samples in memory).
  bool interpolates(std::span<const double> record) const {
    return record.data() == record_.data() && record.size() == record_.size();
  }

  // The fine values of part k (k < count()), factor a step, from sample
  // k * steps_per_part() to the part's last sample (the next part's first,
  // or the zero after the record), both included. Valid until the next call
  // for another part; asking for the same part again gives the values
  // already made, so that several computations may walk one record in turn.
  // A record of fewer than two samples is one part of its samples alone.
  std::span<const double> part(std::size_t k);

 private:
  std::span<const double> record_;
  std::size_t factor_;
  std::size_t steps_;
  std::size_t margin_;
  std::size_t count_;
  simd_path path_;
  std::size_t samples_;  // the record's and the zero
  // The stretch, its fine values and the transform's scratch in one block,
  // written before it is read: fresh memory costs a page fault and the
  // zeroing of each page on first touch, and one block of this size is what
  // the C library learns to keep for reuse once the first spectrum freed it.
  std::unique_ptr<double[]> storage_;
  std::span<double> stretch_, fine_, scratch_;
  std::size_t made_ = static_cast<std::size_t>(-1);  // the part last made
  std::span<const double> made_values_;
};

}  // namespace sitewave::response
