// Pieces of a result file handed on as they fill.
#include "cli/io/text_sink.hpp"

#include <utility>

namespace sitewave::cli {

namespace {

// Room past a piece for the row that crosses it.
constexpr std::size_t row_slack = std::size_t{1} << 14;

}  // namespace

text_sink::text_sink(std::function<void(std::string_view)> drain, std::size_t piece)
    : drain_(std::move(drain)), piece_(piece) {
  text.reserve(piece_ + row_slack);
}

void text_sink::drain() {
  if (text.empty()) return;
  drain_(text);
  text.clear();
}

std::string text_of(const std::function<void(text_sink&)>& make) {
  std::string whole;
  text_sink out([&whole](std::string_view piece) { whole.append(piece); });
  make(out);
  out.finish();
  return whole;
}

}  // namespace sitewave::cli
