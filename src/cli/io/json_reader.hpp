// Reading back the JSON the command writes (run.json, a batch's records of
// its cases): objects, arrays, strings, numbers, true, false and null.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sitewave::cli {

struct json_value {
  enum class kind { null, boolean, number, string, array, object };
  kind type = kind::null;
  bool flag = false;
  double number = 0.0;
  std::string text;
  std::vector<std::string> keys;  // of an object, in order
  std::vector<json_value> items;  // of an array, or the values of an object's keys

  // The value of `key` in an object, or nullptr.
  const json_value* find(std::string_view key) const;
  // find() through nested objects: at({"peaks", "input", "H1"}).
  const json_value* at(std::initializer_list<std::string_view> path) const;
};

// The value of a whole JSON text, or nothing when it is not well formed
// (a file cut short, another program's text) or nests too deeply.
std::optional<json_value> parse_json(std::string_view text);

}  // namespace sitewave::cli
