// How a long computation over independent lines (frequencies, periods) is
// run: how many threads share it, and a flag that asks it to stop early. Each
// line is computed by one thread with its own operations in their own order,
// so the results never depend on the thread count.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace sitewave {

struct work_control {
  int threads = 1;  // at most this many threads share the lines
  // When raised (for instance by an interrupt), the work ends after the
  // blocks in progress; what was not reached is left as it was.
  const std::atomic<bool>* stop = nullptr;

  bool stop_requested() const { return stop != nullptr && stop->load(std::memory_order_relaxed); }
};

// Calls work(first, last) for the half-open ranges [first, last) that cover
// [0, count) in blocks of at most `block` lines, shared among the threads of
// `control`. Returns false when it stopped early on request.
bool for_each_block(std::size_t count, std::size_t block, const work_control& control,
                    const std::function<void(std::size_t first, std::size_t last)>& work);

// The number of threads the machine offers (at least 1).
int hardware_threads();

// Most threads a computation is shared among, however many are asked for.
inline constexpr int max_threads = 64;

// The thread count a setting such as SITEWAVE_THREADS asks for: a whole
// number from 1 up (blanks around it allowed), at most max_threads. No
// setting, an empty one, 0 or anything that is not such a number gives the
// default, the number of threads the machine offers; the results never
// depend on the count, only the time does.
int thread_count(const char* setting);

}  // namespace sitewave
