// Assembling output records: the formatted records of items under a field
// layout and the list-directed records of items in their natural form. Each
// finished record goes to a sink, which writes it where it belongs.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "textfmt/layout.hpp"
#include "textfmt/text.hpp"

namespace sitewave::textfmt {

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

// Receives every record as it is finished, without its line end.
class record_sink {
 public:
  virtual void put(std::string_view record) = 0;

 protected:
  ~record_sink() = default;
};

// One or more records of items under fmt: the walk stops at the first data
// field left without an item; more items than fields start the layout again on
// a new record.
void format_records(const layout& fmt, std::span<const write_item> items, record_sink& out);

// List-directed records: items appended in their natural forms, a new record
// started before an item that would reach column 80; no items give one empty
// record.
void list_records(std::span<const write_item> items, record_sink& out);

// Collects records in memory, each followed by a line feed.
class string_sink final : public record_sink {
 public:
  // expected_size: room taken at once, so that a long text is not copied as
  // it grows.
  explicit string_sink(std::size_t expected_size = 0) { text.reserve(expected_size); }
  void put(std::string_view record) override {
    text.append(record);
    text.push_back('\n');
  }
  std::string text;
};

template <class... T>
void format_into(record_sink& out, const layout& fmt, const T&... items) {
  const std::array<write_item, sizeof...(T)> list{write_item(items)...};
  format_records(fmt, list, out);
}

template <class... T>
void list_into(record_sink& out, const T&... items) {
  const std::array<write_item, sizeof...(T)> list{write_item(items)...};
  list_records(list, out);
}

}  // namespace sitewave::textfmt
