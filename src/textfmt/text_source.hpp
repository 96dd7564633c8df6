// A text held in memory as a source for the record scanner, with the line
// of every character counted so that a failure can name it. A failure is
// thrown as scan_error instead of ending the program.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "textfmt/list_scan.hpp"

namespace sitewave::textfmt {

// A read that failed: the failure code and context word of the scanner, and
// the line (counted from 1) of the last character taken.
class scan_error : public std::runtime_error {
 public:
  scan_error(int code, const char* context, int line);
  int code() const { return code_; }
  const std::string& context() const { return context_; }
  int line() const { return line_; }

 private:
  int code_;
  std::string context_;
  int line_;
};

// What a failure means to a user: "invalid number: a number is expected" and
// so on, without the runtime's channel report.
std::string describe(const scan_error& e);

class text_source final : public scan_source {
 public:
  explicit text_source(std::string_view text) : text_(text) {}

  int get() override;
  void unget(int c) override;
  bool at_end() const override { return at_end_; }

  // The line of the latest character taken (0 before the first).
  int line() const { return last_line_; }

 private:
  void report_failure(int code, const char* context) override;

  std::string_view text_;
  std::size_t pos_ = 0;
  bool at_end_ = false;
  int pushback_ = no_pushback;
  int newlines_ = 0;
  int last_line_ = 0;
  static constexpr int no_pushback = -2;
};

}  // namespace sitewave::textfmt
