// Characters of a text in memory for the record scanner: a carriage return
// right before a line feed is dropped, as files written with CR LF line ends
// must read like the others, and the end of the text raises the end flag.
#include "textfmt/text_source.hpp"

namespace sitewave::textfmt {

scan_error::scan_error(int code, const char* context, int line)
    : std::runtime_error(context), code_(code), context_(context), line_(line) {}

std::string describe(const scan_error& e) {
  if (e.code() == end_of_file) return "the file ends where a value is expected";
  const std::string& c = e.context();
  if (c == "invalid integer") return "a whole number (no point or exponent) is expected";
  if (c == "invalid number") return "a number is expected";
  if (c == "exponent field") return "the exponent of a number is missing or too large";
  if (c == "bad repetition count") return "a repeat count r* needs a positive r";
  if (c == "no space" || c == "realloc failure") return "a text value is too long for memory";
  return c;
}

int text_source::get() {
  int c = 0;
  if (pushback_ != no_pushback) {
    c = pushback_;
    pushback_ = no_pushback;
  } else if (at_end_) {
    return eof_char;
  } else if (pos_ == text_.size()) {
    at_end_ = true;
    return eof_char;
  } else {
    c = static_cast<unsigned char>(text_[pos_++]);
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
      c = static_cast<unsigned char>(text_[pos_++]);
  }
  last_line_ = newlines_ + 1;
  if (c == '\n') ++newlines_;
  return c;
}

void text_source::unget(int c) {
  if (c == eof_char) return;
  if (c == '\n') --newlines_;
  pushback_ = c;
}

void text_source::report_failure(int code, const char* context) {
  throw scan_error(code, context, last_line_);
}

}  // namespace sitewave::textfmt
