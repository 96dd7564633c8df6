// Field layouts of formatted records, such as "(F8.4,6(',',E12.4))": the
// text is parsed once, in a constant expression where the layout is declared
// constexpr, into a flat list of fields, literals, skips, record breaks and
// group brackets that the formatted writer walks for every record. A
// malformed constant layout does not compile.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string_view>

namespace sitewave::textfmt {

class layout {
 public:
  enum class kind : unsigned char {
    integer_field,   // Iw
    fixed_field,     // Fw.d
    exponent_field,  // Ew.d
    literal,         // 'text'
    skip,            // nX
    record_break,    // /
    group_open,      // n(
    group_close      // )
  };

  struct element {
    kind what = kind::literal;
    int width = 0;            // field or skip columns; the repeat count of a group_open
    int decimals = 0;         // d of Fw.d and Ew.d
    std::size_t partner = 0;  // index of the other bracket of a group
    std::string_view quoted;  // a literal as written: a doubled apostrophe stays doubled
  };

  static constexpr std::size_t max_elements = 32;
  static constexpr int max_depth = 8;       // groups inside groups
  static constexpr int max_width = 255;     // columns of a field or skip, decimals
  static constexpr int max_repeat = 10000;  // repeat count of a group

  // The text is kept, not copied: it must outlive the layout (layouts are
  // string literals).
  constexpr explicit layout(std::string_view text) : text_(text) { parse(); }

  constexpr std::string_view text() const { return text_; }
  constexpr std::span<const element> elements() const { return {elements_.data(), count_}; }

 private:
  std::string_view text_;
  std::array<element, max_elements> elements_{};
  std::size_t count_ = 0;
  std::size_t pos_ = 0;  // parse cursor

  constexpr void parse() {
    skip_blanks();
    if (!take('(')) throw std::invalid_argument("layout must start with '('");
    parse_list(0);
    skip_blanks();
    if (pos_ != text_.size()) throw std::invalid_argument("text after the layout's closing ')'");
  }

  // The elements up to and including the ')' that closes the list.
  constexpr void parse_list(int depth) {
    skip_blanks();
    if (take(')')) return;
    for (;;) {
      const bool was_break = parse_element(depth);
      skip_blanks();
      if (take(')')) return;
      if (take(',')) continue;
      // A record break needs no comma on either side of it.
      if (was_break || peek() == '/') continue;
      throw std::invalid_argument("layout elements must be separated by ','");
    }
  }

  // Returns true for a record break.
  constexpr bool parse_element(int depth) {
    skip_blanks();
    const char c = upper(peek());
    if (c == '\'') {
      parse_literal();
    } else if (c == '/') {
      ++pos_;
      add(make(kind::record_break));
      return true;
    } else if (c == '(') {
      parse_group(1, depth);
    } else if (is_digit(c)) {
      const int n = parse_number(max_repeat);
      if (n < 1) throw std::invalid_argument("a repeat or skip count must be at least 1");
      const char after = upper(peek());
      if (after == '(') {
        parse_group(n, depth);
      } else if (after == 'X') {
        if (n > max_width) throw std::invalid_argument("skip wider than a field may be");
        ++pos_;
        add(make(kind::skip, n));
      } else {
        throw std::invalid_argument("a count must be followed by '(' or 'X'");
      }
    } else if (c == 'I' || c == 'F' || c == 'E') {
      ++pos_;
      parse_field(c);
    } else {
      throw std::invalid_argument("unknown layout element");
    }
    return false;
  }

  constexpr void parse_group(int repeat, int depth) {
    if (depth == max_depth) throw std::invalid_argument("layout groups nested too deeply");
    ++pos_;  // the '('
    const std::size_t open = count_;
    add(make(kind::group_open, repeat));
    parse_list(depth + 1);
    elements_[open].partner = count_;
    element close = make(kind::group_close);
    close.partner = open;
    add(close);
  }

  constexpr void parse_field(char letter) {
    const int width = parse_number(max_width);
    if (width < 1) throw std::invalid_argument("a field needs a width of at least 1");
    if (letter == 'I') {
      add(make(kind::integer_field, width));
      return;
    }
    if (!take('.')) throw std::invalid_argument("F and E fields need '.d'");
    const int decimals = parse_number(max_width);
    if (letter == 'F') {
      add(make(kind::fixed_field, width, decimals));
    } else {
      if (decimals < 1) throw std::invalid_argument("an E field needs at least 1 digit");
      add(make(kind::exponent_field, width, decimals));
    }
  }

  constexpr void parse_literal() {
    ++pos_;  // the opening apostrophe
    const std::size_t begin = pos_;
    for (;;) {
      if (pos_ >= text_.size()) throw std::invalid_argument("unterminated literal in layout");
      if (text_[pos_] != '\'') {
        ++pos_;
      } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
        pos_ += 2;
      } else {
        break;
      }
    }
    element literal = make(kind::literal);
    literal.quoted = text_.substr(begin, pos_ - begin);
    add(literal);
    ++pos_;  // the closing apostrophe
  }

  // Digits at the cursor, at most `limit` (so no overflow on any text).
  constexpr int parse_number(int limit) {
    if (!is_digit(peek())) throw std::invalid_argument("a number is expected in the layout");
    int value = 0;
    while (is_digit(peek())) {
      value = value * 10 + (peek() - '0');
      if (value > limit) throw std::invalid_argument("number too large in layout");
      ++pos_;
    }
    return value;
  }

  static constexpr element make(kind what, int width = 0, int decimals = 0) {
    element e;
    e.what = what;
    e.width = width;
    e.decimals = decimals;
    return e;
  }

  constexpr void add(const element& e) {
    if (count_ == max_elements) throw std::invalid_argument("layout has too many elements");
    elements_[count_++] = e;
  }

  constexpr void skip_blanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  constexpr char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  constexpr bool take(char c) {
    if (peek() != c) return false;
    ++pos_;
    return true;
  }
  static constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
  static constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
};

}  // namespace sitewave::textfmt
