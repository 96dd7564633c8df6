// Writing the progress of a batch. At a terminal a refused or failed case
// also gets a line of its own above the progress line, so that the name and
// the reason stay on the screen.
#include "cli/batch/batch_progress.hpp"

#include <cmath>
#include <cstdio>

namespace sitewave::cli {

namespace {

std::string clock_text(double seconds) {
  const long s = std::lround(seconds);
  char text[32];
  if (s >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  }
  return text;
}

std::string case_line(const case_outcome& o, std::size_t done, std::size_t total) {
  char head[64];
  std::snprintf(head, sizeof head, "[%zu/%zu] ", done, total);
  char wall[32];
  std::snprintf(wall, sizeof wall, ", %.2f s", o.wall_s);
  std::string line = head + o.name + " " + std::string(status_name(o.status)) + wall;
  if (!o.error.empty()) line += ": " + o.error;
  return line;
}

}  // namespace

batch_progress::batch_progress(std::size_t total, std::size_t done_before, bool terminal)
    : total_(total), done_(done_before), done_before_(done_before), terminal_(terminal) {}

std::string batch_progress::status_line() const {
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  char counts[128];
  std::snprintf(counts, sizeof counts, "%zu/%zu done, %zu refused, %zu failed, %s elapsed", done_,
                total_, refused_, failed_, clock_text(elapsed).c_str());
  std::string line = counts;
  const std::size_t run_here = done_ - done_before_;
  if (run_here > 0 && done_ < total_) {
    const double left =
        elapsed / static_cast<double>(run_here) * static_cast<double>(total_ - done_);
    line += ", about " + clock_text(left) + " left";
  }
  return line;
}

void batch_progress::show(const std::string& line) {
  if (line == shown_) return;
  // Spaces wipe what a longer previous line left on the screen.
  const std::size_t pad = shown_.size() > line.size() ? shown_.size() - line.size() : 0;
  std::fprintf(stderr, "\r%s%*s", line.c_str(), static_cast<int>(pad), "");
  std::fflush(stderr);
  shown_ = line;
}

void batch_progress::finished(const case_outcome& o) {
  ++done_;
  if (o.status == case_status::refused) ++refused_;
  if (o.status == case_status::failed) ++failed_;
  const std::string line = case_line(o, done_, total_);
  if (!terminal_) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    return;
  }
  if (o.status != case_status::ok) {
    show(line);
    std::fputc('\n', stderr);
    shown_.clear();
  }
  show(status_line());
}

void batch_progress::tick() {
  if (terminal_) show(status_line());
}

void batch_progress::close() {
  if (!terminal_ || shown_.empty()) return;
  std::fputc('\n', stderr);
  std::fflush(stderr);
  shown_.clear();
}

}  // namespace sitewave::cli
