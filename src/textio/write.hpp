// Writing statements: the formatted write of items under a field layout and
// the list-directed write of items in their natural form.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "textio/layout.hpp"
#include "textio/text.hpp"

namespace sitewave::textio {

// One item of a write statement: an integer, a real or a text (all of its
// characters, trailing blanks included).
class write_item {
 public:
  enum class kind { integer, real, text };

  constexpr write_item(int v) : kind_(kind::integer), int_(v) {}
  constexpr write_item(float v) : kind_(kind::real), real_(v) {}
  constexpr write_item(std::string_view t) : kind_(kind::text), text_(t) {}
  constexpr write_item(const char* t) : kind_(kind::text), text_(t) {}
  template <std::size_t L>
  constexpr write_item(const text<L>& t) : kind_(kind::text), text_(t.data(), L) {}
  // Every real of the run is single precision: a double here is a mistake.
  write_item(double) = delete;

  constexpr kind what() const { return kind_; }
  constexpr int integer() const { return int_; }
  constexpr float real() const { return real_; }
  constexpr std::string_view chars() const { return text_; }

 private:
  kind kind_;
  int int_ = 0;
  float real_ = 0.0f;
  std::string_view text_;
};

void write_formatted_items(int unit, const layout& fmt, std::span<const write_item> items);
void write_list_items(int unit, std::span<const write_item> items);

// A formatted write statement: one or more records under fmt.
template <class... T>
void write_formatted(int unit, const layout& fmt, const T&... items) {
  const std::array<write_item, sizeof...(T)> list{write_item(items)...};
  write_formatted_items(unit, fmt, list);
}

// A list-directed write statement; with no items it writes an empty line.
template <class... T>
void write_list(int unit, const T&... items) {
  const std::array<write_item, sizeof...(T)> list{write_item(items)...};
  write_list_items(unit, list);
}

}  // namespace sitewave::textio
