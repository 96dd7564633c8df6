// Blocks of independent lines handed out to a few threads in turn: each
// thread takes the next block until none is left or a stop is asked for.
#include "core/parallel/work_control.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace sitewave {

bool for_each_block(std::size_t count, std::size_t block, const work_control& control,
                    const std::function<void(std::size_t, std::size_t)>& work) {
  if (block == 0) block = 1;
  const std::size_t blocks = (count + block - 1) / block;
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> done{0};
  auto take_blocks = [&] {
    for (;;) {
      if (control.stop_requested()) return;
      const std::size_t b = next.fetch_add(1, std::memory_order_relaxed);
      if (b >= blocks) return;
      const std::size_t first = b * block;
      work(first, std::min(count, first + block));
      done.fetch_add(1, std::memory_order_relaxed);
    }
  };
  const auto wanted = static_cast<std::size_t>(std::max(control.threads, 1));
  const std::size_t helpers = std::min(wanted, blocks) > 0 ? std::min(wanted, blocks) - 1 : 0;
  {
    std::vector<std::jthread> threads;
    threads.reserve(helpers);
    for (std::size_t t = 0; t < helpers; ++t) {
      // A thread the system cannot start leaves its share to the others.
      try {
        threads.emplace_back(take_blocks);
      } catch (const std::system_error&) {
        break;
      }
    }
    take_blocks();
  }
  return done.load() == blocks;
}

int hardware_threads() {
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

int thread_count(const char* setting) {
  if (setting == nullptr) return hardware_threads();
  std::string_view text(setting);
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return hardware_threads();
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  int count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  const bool whole_number = error == std::errc{} && end == text.data() + text.size();
  // Digits too many for an int still ask for more threads than allowed.
  const bool too_large = error == std::errc::result_out_of_range && text.front() != '-' &&
                         end == text.data() + text.size();
  if (too_large) return max_threads;
  if (!whole_number || count < 1) return hardware_threads();
  return std::min(count, max_threads);
}

}  // namespace sitewave
