// A strict recursive-descent reader of JSON text. Anything malformed gives
// no value at all, so a half-written or foreign file is never mistaken for
// a finished run.
#include "cli/io/json_reader.hpp"

#include <charconv>
#include <cmath>

namespace sitewave::cli {

namespace {

constexpr int deepest = 64;  // far beyond what the command writes; guards the stack

class json_parser {
 public:
  explicit json_parser(std::string_view text) : text_(text) {}

  std::optional<json_value> document() {
    json_value v;
    if (!value(v, 0)) return std::nullopt;
    skip_space();
    if (pos_ != text_.size()) return std::nullopt;
    return v;
  }

 private:
  void skip_space() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\t')) {
      ++pos_;
    }
  }

  bool take(char c) {
    skip_space();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool word(std::string_view w) {
    if (text_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }

  bool value(json_value& v, int depth) {
    if (depth > deepest) return false;
    skip_space();
    if (pos_ == text_.size()) return false;
    switch (text_[pos_]) {
      case '{':
        v.type = json_value::kind::object;
        return object(v, depth);
      case '[':
        v.type = json_value::kind::array;
        return array(v, depth);
      case '"':
        v.type = json_value::kind::string;
        return string(v.text);
      case 't':
        v.type = json_value::kind::boolean;
        v.flag = true;
        return word("true");
      case 'f':
        v.type = json_value::kind::boolean;
        return word("false");
      case 'n':
        return word("null");
      default:
        v.type = json_value::kind::number;
        return number(v.number);
    }
  }

  bool object(json_value& v, int depth) {
    ++pos_;
    if (take('}')) return true;
    do {
      skip_space();
      std::string key;
      if (pos_ == text_.size() || text_[pos_] != '"' || !string(key) || !take(':')) return false;
      v.keys.push_back(std::move(key));
      v.items.emplace_back();
      if (!value(v.items.back(), depth + 1)) return false;
    } while (take(','));
    return take('}');
  }

  bool array(json_value& v, int depth) {
    ++pos_;
    if (take(']')) return true;
    do {
      v.items.emplace_back();
      if (!value(v.items.back(), depth + 1)) return false;
    } while (take(','));
    return take(']');
  }

  bool number(double& out) {
    const std::size_t start = pos_;
    while (pos_ < text_.size() &&
           std::string_view("+-0123456789.eE").find(text_[pos_]) != std::string_view::npos) {
      ++pos_;
    }
    const char* first = text_.data() + start;
    const char* last = text_.data() + pos_;
    const auto [end, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && end == last && start != pos_ && std::isfinite(out);
  }

  bool hex4(unsigned& code) {
    if (text_.size() - pos_ < 4) return false;
    const char* first = text_.data() + pos_;
    const auto [end, ec] = std::from_chars(first, first + 4, code, 16);
    pos_ += 4;
    return ec == std::errc() && end == first + 4;
  }

  static void append_utf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool escape(std::string& out) {
    if (pos_ == text_.size()) return false;
    const char c = text_[pos_++];
    constexpr std::string_view from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
    if (const auto k = from.find(c); k != std::string_view::npos) {
      out += to[k];
      return true;
    }
    unsigned code = 0;
    if (c != 'u' || !hex4(code)) return false;
    append_utf8(out, code);  // the writer escapes only control characters
    return true;
  }

  bool string(std::string& out) {
    ++pos_;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
      } else if (!escape(out)) {
        return false;
      }
    }
    return false;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const json_value* json_value::find(std::string_view key) const {
  if (type != kind::object) return nullptr;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == key) return &items[i];
  }
  return nullptr;
}

const json_value* json_value::at(std::initializer_list<std::string_view> path) const {
  const json_value* v = this;
  for (const std::string_view key : path) {
    if (v == nullptr) return nullptr;
    v = v->find(key);
  }
  return v;
}

std::optional<json_value> parse_json(std::string_view text) {
  return json_parser(text).document();
}

}  // namespace sitewave::cli
