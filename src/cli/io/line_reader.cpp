// Reading input files line by line over a plain descriptor, 64 kB at a time.
#include "cli/io/line_reader.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/interrupts.hpp"

namespace sitewave::cli {

namespace {

constexpr std::size_t chunk = 1 << 16;

}  // namespace

line_reader::line_reader(const std::filesystem::path& path) : name_(path.string()) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0 && errno == EINTR) check_interrupt();  // a FIFO waiting for its writer
  if (fd_ < 0) throw input_error(system_reason(path));
  struct stat st {};
  if (fstat(fd_, &st) != 0) throw input_error(system_reason(path));
  if (S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw input_error(name_ + ": is a directory, not a file");
  }
}

line_reader::line_reader(std::string name, std::string_view text)
    : name_(std::move(name)), buffer_(text), ended_(true) {}

line_reader::~line_reader() {
  if (fd_ >= 0) ::close(fd_);
}

// Reads one more chunk after the unread part; false at the end of the file.
bool line_reader::fill() {
  if (ended_) return false;
  buffer_.erase(0, start_);
  start_ = 0;
  const std::size_t had = buffer_.size();
  buffer_.resize(had + chunk);
  for (;;) {
    check_interrupt();
    const ssize_t n = ::read(fd_, buffer_.data() + had, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const std::string reason = system_reason(name_);
      throw input_error(reason);
    }
    buffer_.resize(had + static_cast<std::size_t>(n));
    if (n == 0) ended_ = true;
    return n > 0;
  }
}

bool line_reader::next(std::string_view& line) {
  std::size_t searched = 0;  // unread characters known to hold no line feed
  for (;;) {
    const std::size_t end = buffer_.find('\n', start_ + searched);
    if (end != std::string::npos) {
      line = std::string_view(buffer_).substr(start_, end - start_);
      start_ = end + 1;
      break;
    }
    searched = buffer_.size() - start_;
    if (searched > longest_line) {
      ++line_;
      refuse("a line longer than 1 MB: not a text file of this kind (is it the right file?)");
    }
    if (!fill()) {  // fill() moves the unread part to the front
      if (start_ == buffer_.size()) return false;
      line = std::string_view(buffer_).substr(start_);  // a last line without its line end
      start_ = buffer_.size();
      break;
    }
  }
  ++line_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

void line_reader::refuse(const std::string& what) const {
  throw input_error(name_ + ": line " + std::to_string(line_) + ": " + what);
}

std::string excerpt(std::string_view text, std::size_t most) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (shown.size() >= most) return shown + "...";
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f) {
      shown.push_back(static_cast<char>(c));
    } else {
      constexpr char hex[] = "0123456789abcdef";
      shown += "\\x";
      shown.push_back(hex[c >> 4]);
      shown.push_back(hex[c & 15]);
    }
  }
  return shown;
}

std::string read_small_file(const std::filesystem::path& path, std::size_t largest) {
  line_reader in(path);
  std::string text;
  std::string_view line;
  while (in.next(line)) {
    text.append(line).push_back('\n');
    if (text.size() > largest) {
      throw input_error(in.name() + ": larger than " + std::to_string(largest >> 20) +
                        " MB: not a file of this kind (is it the right file?)");
    }
  }
  return text;
}

}  // namespace sitewave::cli
