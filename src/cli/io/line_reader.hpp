// Input files read as a stream of lines, so that no input is held whole
// before it is checked: a line longer than longest_line is refused at once
// (a device such as /dev/zero never ends a line), interrupts are acted on
// between reads (a FIFO that never closes), and every refusal names the file
// and line. Also the one place that quotes input text in a message.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace sitewave::cli {

inline constexpr std::size_t longest_line = 1 << 20;  // 1 MB

class line_reader {
 public:
  // Opens the file (input_error naming it when it cannot, or when it is a folder).
  explicit line_reader(const std::filesystem::path& path);
  // The lines of a text in memory; `name` is how refusals name it.
  line_reader(std::string name, std::string_view text);
  ~line_reader();
  line_reader(const line_reader&) = delete;
  line_reader& operator=(const line_reader&) = delete;

  // The next line without its line end (a carriage return before the line
  // feed is dropped too); false at the end of the file. The view holds until
  // the next call.
  bool next(std::string_view& line);
  int line_number() const { return line_; }
  const std::string& name() const { return name_; }

  // "NAME: line N: what" as an input_error.
  [[noreturn]] void refuse(const std::string& what) const;

 private:
  bool fill();

  std::string name_;
  int fd_ = -1;
  std::string buffer_;
  std::size_t start_ = 0;  // of the unread part of buffer_
  bool ended_ = false;
  int line_ = 0;
};

// A short, printable excerpt of input text for a message: at most `most`
// characters, control and other non-printable bytes written as \xNN, and
// "..." when cut.
std::string excerpt(std::string_view text, std::size_t most = 40);

// The whole of a small input file (a ground model, a periods list, a
// manifest), read through a line_reader so that the same limits hold;
// refused beyond `largest` bytes.
std::string read_small_file(const std::filesystem::path& path, std::size_t largest = 64 << 20);

}  // namespace sitewave::cli
