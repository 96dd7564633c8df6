// JSON text assembled item by item, indented two spaces per level.
#include "cli/io/json_writer.hpp"

#include "cli/io/decimal_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sitewave::cli {

void json_writer::open_item(std::string_view key) {
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
    out_ += '\n';
    out_.append(2 * first_.size(), ' ');
  }
  if (!key.empty()) {
    quoted(key);
    out_ += ": ";
  }
}

void json_writer::quoted(std::string_view s) {
  out_ += '"';
  for (const char c : s) {
    switch (c) {
      case '"':
        out_ += "\\\"";
        break;
      case '\\':
        out_ += "\\\\";
        break;
      case '\n':
        out_ += "\\n";
        break;
      case '\t':
        out_ += "\\t";
        break;
      case '\r':
        out_ += "\\r";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char esc[8];
          std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
          out_ += esc;
        } else {
          out_ += c;
        }
    }
  }
  out_ += '"';
}

void json_writer::open_container(std::string_view key, char bracket) {
  open_item(key);
  out_ += bracket;
  first_.push_back(true);
}

void json_writer::close_container(char bracket) {
  const bool empty = first_.back();
  first_.pop_back();
  if (!empty) {
    out_ += '\n';
    out_.append(2 * first_.size(), ' ');
  }
  out_ += bracket;
}

json_writer& json_writer::begin_object(std::string_view key) {
  open_container(key, '{');
  return *this;
}

json_writer& json_writer::end_object() {
  close_container('}');
  return *this;
}

json_writer& json_writer::begin_array(std::string_view key) {
  open_container(key, '[');
  return *this;
}

json_writer& json_writer::end_array() {
  close_container(']');
  return *this;
}

json_writer& json_writer::value(std::string_view key, std::string_view text) {
  open_item(key);
  quoted(text);
  return *this;
}

json_writer& json_writer::value(std::string_view key, double number) {
  if (!std::isfinite(number)) return null(key);
  open_item(key);
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, number, std::chars_format::general, 9).ptr;
  out_.append(buf, end);
  return *this;
}

json_writer& json_writer::single(std::string_view key, float number) {
  if (!std::isfinite(number)) return null(key);
  open_item(key);
  char buf[max_decimal_text];
  out_.append(buf, single_text(number, buf));
  return *this;
}

json_writer& json_writer::value(std::string_view key, long long number) {
  open_item(key);
  out_ += std::to_string(number);
  return *this;
}

json_writer& json_writer::value(std::string_view key, bool flag) {
  open_item(key);
  out_ += flag ? "true" : "false";
  return *this;
}

json_writer& json_writer::null(std::string_view key) {
  open_item(key);
  out_ += "null";
  return *this;
}

}  // namespace sitewave::cli
