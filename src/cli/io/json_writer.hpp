// A small writer of JSON text for run.json: objects, arrays, strings with
// the escapes JSON needs, numbers with 9 significant digits (null when not
// finite), in the order the caller gives them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sitewave::cli {

class json_writer {
 public:
  json_writer& begin_object(std::string_view key = {});
  json_writer& end_object();
  json_writer& begin_array(std::string_view key = {});
  json_writer& end_array();

  json_writer& value(std::string_view key, std::string_view text);
  json_writer& value(std::string_view key, const char* text) {
    return value(key, std::string_view(text));
  }
  json_writer& value(std::string_view key, double number);
  json_writer& value(std::string_view key, long long number);
  json_writer& value(std::string_view key, int number) {
    return value(key, static_cast<long long>(number));
  }
  json_writer& value(std::string_view key, bool flag);
  // A single-precision value in the fewest digits that read back to it.
  json_writer& single(std::string_view key, float number);
  json_writer& null(std::string_view key);

  // The text, with a final line feed.
  std::string text() const { return out_ + "\n"; }

 private:
  void open_item(std::string_view key);
  void open_container(std::string_view key, char bracket);
  void close_container(char bracket);
  void quoted(std::string_view s);

  std::string out_;
  std::vector<bool> first_;  // per open container: no item yet
};

}  // namespace sitewave::cli
