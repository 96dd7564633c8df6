// The reading rules of every text record: the list-directed read of typed
// targets (values separated by commas, blanks or line ends, with null values,
// slash and repeat counts) and the fixed-width text read of one field, over
// any source of characters. The dialogue reads its numbered channels through
// these rules, the command reads whole files through them, so both take the
// same values from the same text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdlib>
#include <span>

#include "textfmt/text.hpp"

namespace sitewave::textfmt {

// Failure codes a read can end with: end_of_file, a system error number
// (0..99), or the message numbers of the runtime's table (100..132).
inline constexpr int end_of_file = -1;
inline constexpr int err_list_input = 112;
inline constexpr int err_no_space = 113;
inline constexpr int err_unexpected_char = 115;

inline constexpr int eof_char = -1;

// Where the characters come from. get() yields the next character, or
// eof_char at the end, which also raises the end flag; once raised every get()
// yields eof_char. A carriage return right before a line feed is never seen.
// fail() reports a failure with its code and context word and does not return.
class scan_source {
 public:
  virtual int get() = 0;
  // Pushes one character back (eof_char pushes nothing: the flag stays up).
  virtual void unget(int c) = 0;
  virtual bool at_end() const = 0;

  [[noreturn]] void fail(int code, const char* context) {
    report_failure(code, context);
    std::abort();  // a source's report never comes back
  }

 protected:
  ~scan_source() = default;
  // Ends the run or throws; never returns.
  virtual void report_failure(int code, const char* context) = 0;
};

// One target of a list-directed read: an integer, a real or a text.
class read_target {
 public:
  enum class kind { integer, real, text };

  read_target(int& v) : kind_(kind::integer), int_(&v) {}
  read_target(float& v) : kind_(kind::real), real_(&v) {}
  template <std::size_t L>
  read_target(text<L>& t) : kind_(kind::text), text_(t) {}

  kind what() const { return kind_; }
  int& integer() const { return *int_; }
  float& real() const { return *real_; }
  std::span<char> chars() const { return text_; }

 private:
  kind kind_;
  int* int_ = nullptr;
  float* real_ = nullptr;
  std::span<char> text_;
};

// One list-directed read statement. Returns false when the statement met the
// end of the source and has_end_branch is set; without the branch an end of
// file is a failure (except at the final discard of the record, which is
// ignored). Other failures are always reported through in.fail().
bool scan_list(scan_source& in, std::span<const read_target> targets, bool has_end_branch);

// Fixed-width text read of field.size() characters from one record: a short
// line is blank-padded, characters past the width are ignored, the rest of the
// record is discarded. An end of the source while the field fills is a failure.
void scan_field(scan_source& in, std::span<char> field);

}  // namespace sitewave::textfmt
