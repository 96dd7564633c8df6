// The list-directed read statement and the fixed-width text read over any
// character source. Values are separated by commas, blanks or line ends; a
// lone comma is a null value that leaves its target alone, a slash ends the
// list early and "r*" gives one value to r targets. The end-of-file rules here
// decide which rows of a record file count, so each statement keeps to them
// exactly.
#include "textfmt/list_scan.hpp"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "textfmt/number_scan.hpp"

namespace sitewave::textfmt {

namespace {

bool is_digit(int c) {
  return c >= '0' && c <= '9';
}
bool is_blank(int c) {
  return c == ' ' || c == '\t';
}
bool is_white(int c) {
  return is_blank(c) || c == '\n';
}
bool is_sign(int c) {
  return c == '+' || c == '-';
}
bool is_exponent_letter(int c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}
bool is_quote(int c) {
  return c == '\'' || c == '"';
}
bool ends_unquoted_text(int c) {
  return is_white(c) || c == ',' || c == '/' || c == eof_char;
}

// Takes characters up to and including the next line feed; the last one taken
// (a line feed, or eof_char at the end of the file).
int skip_to_line_end(scan_source& in) {
  int c = 0;
  do {
    c = in.get();
  } while (c != '\n' && c != eof_char);
  return c;
}

// The characters of a text value. Only as many are kept as the longest text
// target of the statement can take: a text of any length is accepted, and it
// costs no more storage than its targets.
class text_value {
 public:
  text_value(scan_source& in, std::size_t limit) : in_(in), limit_(limit) {}

  void clear() { chars_.clear(); }

  void push(int c) {
    if (chars_.size() >= limit_) return;
    if (chars_.size() == reserved_) grow();
    chars_.push_back(static_cast<char>(c));
  }

  // The first L characters, blank-padded to L.
  void store_into(std::span<char> target) const {
    const std::size_t n = std::min(target.size(), chars_.size());
    std::copy_n(chars_.data(), n, target.data());
    std::ranges::fill(target.subspan(n), ' ');
  }

 private:
  static constexpr std::size_t storage_step = 128;

  void grow() {
    try {
      chars_.reserve(reserved_ + storage_step);
    } catch (const std::bad_alloc&) {
      in_.fail(err_no_space, reserved_ == 0 ? "no space" : "realloc failure");
    }
    reserved_ += storage_step;
  }

  scan_source& in_;
  std::string chars_;
  std::size_t limit_;
  std::size_t reserved_ = 0;
};

std::size_t longest_text(std::span<const read_target> targets) {
  std::size_t longest = 0;
  for (const read_target& t : targets) {
    if (t.what() == read_target::kind::text) longest = std::max(longest, t.chars().size());
  }
  return longest;
}

enum class value_kind { null, number, text };

// One list-directed read statement. Everything a statement remembers (the
// pending repeat, the value it repeats, the slash) lives here and dies with
// it, so nothing carries over into the next statement.
class list_statement {
 public:
  list_statement(scan_source& in, std::span<const read_target> targets, bool has_end_branch)
      : in_(in),
        targets_(targets),
        has_end_branch_(has_end_branch),
        text_(in, longest_text(targets)) {}

  // False when the end of the file was met and the statement has a branch for it.
  bool run() {
    if (in_.at_end()) return reached_end("read start");
    for (const read_target& target : targets_) {
      if (!take_value(target)) return false;
      if (stop_) break;
    }
    return finish_record();
  }

 private:
  int get() { return in_.get(); }
  void unget(int c) { in_.unget(c); }
  [[noreturn]] void fail(int code, const char* context) { in_.fail(code, context); }

  // Without an end-of-file branch the run ends here; with one the caller takes it.
  bool reached_end(const char* context) {
    if (!has_end_branch_) fail(end_of_file, context);
    return false;
  }

  bool take_value(const read_target& target) {
    // The end of the file counts before a pending repeat does: a record that
    // ends the file right after "r*v" gives its value to the first target only.
    if (in_.at_end()) return reached_end("list in");
    if (repeat_ == 0) {
      const int c = skip_white_space();
      if (c == eof_char) return reached_end("list in");
      if (c == ',') return true;  // null: the target keeps its value
      if (c == '/') {
        stop_ = true;
        return true;
      }
      unget(c);
      if (!scan_value(target.what())) return quoted_text_met_end();
    }
    store(target);
    skip_separator();
    if (repeat_ > 0) --repeat_;
    return true;
  }

  int skip_white_space() {
    int c = 0;
    do {
      c = get();
    } while (is_white(c));
    return c;
  }

  // One comma after a value belongs to it, but a repeated value shares it
  // only with the last of its targets. A line feed is left for the next value.
  void skip_separator() {
    int c = 0;
    do {
      c = get();
    } while (is_blank(c));
    if (c == ',' && repeat_ <= 1) return;
    unget(c);
  }

  // The end of the file inside quotes leaves the target alone. Without a
  // branch the statement goes on; its next value (or the next statement)
  // meets the end-of-file flag, which is why a pending repeat is dropped.
  bool quoted_text_met_end() {
    repeat_ = 0;
    return !has_end_branch_;
  }

  // False when the end of the file came inside a quoted text.
  bool scan_value(read_target::kind kind) {
    if (kind == read_target::kind::text) return scan_text();
    scan_number(kind == read_target::kind::integer);
    return true;
  }

  // ---- numbers ----

  void scan_number(bool for_integer) {
    bool after_count = false;
    for (;;) {
      decimal_number n;
      bool digits_seen = false;
      int c = get();
      if (is_sign(c)) {
        n.negative = c == '-';
        c = get();
      }
      for (; is_digit(c); c = get()) {
        n.add_integer_digit(static_cast<char>(c));
        digits_seen = true;
      }
      if (c == '*' && !after_count) {
        take_repeat_count(n);
        after_count = true;
        continue;  // the value itself follows the star
      }
      if (c == '.') {
        if (for_integer) fail(err_unexpected_char, "invalid integer");
        for (c = get(); is_digit(c); c = get()) {
          n.add_fraction_digit(static_cast<char>(c));
          digits_seen = true;
        }
      }
      if (!digits_seen) {
        take_missing_number(c, after_count);
        return;
      }
      if (is_exponent_letter(c) || is_sign(c)) c = scan_exponent(c, n, for_integer);
      // Whatever ended the number is looked at only if another value is wanted.
      unget(c);
      number_ = n;
      last_ = value_kind::number;
      return;
    }
  }

  void take_repeat_count(const decimal_number& n) {
    const bool too_long = n.exponent != 0;
    if (n.count == 0 || n.negative || too_long) fail(err_list_input, "bad repetition count");
    repeat_ = to_count(n);
  }

  // A sign or point alone, or no number at all: a null when a separator
  // follows, otherwise input that is no number.
  void take_missing_number(int c, bool after_count) {
    if (c == ',' || c == '/' || (after_count && is_white(c))) {
      unget(c);
      last_ = value_kind::null;
      return;
    }
    fail(err_list_input, "invalid number");
  }

  // The exponent after the digits: a letter with an optional sign, or a bare
  // sign. Returns the character that ended it.
  int scan_exponent(int c, decimal_number& n, bool for_integer) {
    if (is_exponent_letter(c)) {
      if (for_integer) fail(err_unexpected_char, "invalid integer");
      c = get();
    }
    bool negative = false;
    if (is_sign(c)) {
      negative = c == '-';
      c = get();
    }
    if (!is_digit(c)) fail(err_list_input, "exponent field");
    std::int64_t e = 0;
    for (; is_digit(c); c = get()) {
      if (e <= max_exponent_field) e = e * 10 + (c - '0');
    }
    if (e > max_exponent_field) fail(err_list_input, "exponent field");
    n.add_exponent(negative ? -e : e);
    return c;
  }

  // ---- texts ----

  // False when the end of the file came inside quotes.
  bool scan_text() {
    text_.clear();
    int c = get();
    if (is_quote(c)) return scan_quoted(c);
    if (!is_digit(c)) {
      take_unquoted(c);
      return true;
    }
    // Leading digits are a repeat count, the whole text, or its beginning.
    decimal_number count;
    for (; is_digit(c); c = get()) {
      text_.push(c);
      count.add_integer_digit(static_cast<char>(c));
    }
    if (c == '*' && count.count != 0) {
      repeat_ = to_count(count);
      return scan_text_after_count();
    }
    if (ends_unquoted_text(c)) {
      unget(c);
      last_ = value_kind::text;
      return true;
    }
    take_unquoted(c);
    return true;
  }

  bool scan_text_after_count() {
    text_.clear();
    const int c = get();
    if (is_blank(c) || c == ',' || c == '/' || c == eof_char) {
      unget(c);
      last_ = value_kind::null;
      return true;
    }
    if (is_quote(c)) return scan_quoted(c);
    take_unquoted(c);
    return true;
  }

  // Runs from c up to the next separator, which is left for what follows.
  void take_unquoted(int c) {
    for (; !ends_unquoted_text(c); c = get()) text_.push(c);
    unget(c);
    last_ = value_kind::text;
  }

  // A doubled quote stands for one; a line end inside is dropped unless a
  // backslash stands before it, which makes the pair one line feed.
  bool scan_quoted(int quote) {
    for (;;) {
      int c = get();
      if (c == eof_char) return false;
      if (c == '\n') continue;
      if (c == quote) {
        c = get();
        if (c != quote) {
          unget(c);
          last_ = value_kind::text;
          return true;
        }
      } else if (c == '\\') {
        const int next = get();
        if (next == '\n') {
          c = '\n';
        } else {
          unget(next);
        }
      }
      text_.push(c);
    }
  }

  // ---- storing ----

  void store(const read_target& target) {
    switch (last_) {
      case value_kind::null:
        return;
      case value_kind::number:
        store_number(target);
        return;
      case value_kind::text:
        store_text(target);
        return;
    }
  }

  // A repeated number may reach a target of the other numeric kind: an
  // integer then takes the value truncated, as it takes any scanned value.
  void store_number(const read_target& target) {
    switch (target.what()) {
      case read_target::kind::integer: {
        const std::optional<std::int32_t> value = to_integer(number_);
        if (!value) fail(err_unexpected_char, "invalid integer");
        target.integer() = *value;
        return;
      }
      case read_target::kind::real: {
        const float value = to_real(number_);
        target.real() = value;
        return;
      }
      case read_target::kind::text:
        // Only a repeat brings a number here: a number never becomes a text.
        fail(err_list_input, "bad repetition count");
    }
  }

  void store_text(const read_target& target) {
    // Only a repeat brings a text here: a text never becomes a number.
    if (target.what() != read_target::kind::text) fail(err_list_input, "bad repetition count");
    text_.store_into(target.chars());
  }

  // The next statement starts on a new record. Meeting the end of the file
  // here is an end of file only for a statement that can branch on it.
  bool finish_record() {
    if (in_.at_end()) return true;
    return skip_to_line_end(in_) == '\n' || !has_end_branch_;
  }

  scan_source& in_;
  std::span<const read_target> targets_;
  bool has_end_branch_;
  std::uint64_t repeat_ = 0;  // targets still to receive the last value, 0 = none
  value_kind last_ = value_kind::null;
  decimal_number number_;
  text_value text_;
  bool stop_ = false;  // a slash ended the list
};

}  // namespace

bool scan_list(scan_source& in, std::span<const read_target> targets, bool has_end_branch) {
  list_statement statement(in, targets, has_end_branch);
  return statement.run();
}

void scan_field(scan_source& in, std::span<char> field) {
  if (in.at_end()) in.fail(end_of_file, "read start");
  std::size_t filled = 0;
  for (; filled < field.size(); ++filled) {
    const int c = in.get();
    if (c == eof_char) in.fail(end_of_file, "fmt");
    if (c == '\n') {
      in.unget(c);
      break;
    }
    field[filled] = static_cast<char>(c);
  }
  std::ranges::fill(field.subspan(filled), ' ');
  skip_to_line_end(in);  // an end of file here only sets the flag
}

}  // namespace sitewave::textfmt
