// Reading and writing whole files with POSIX calls, so that every failure
// keeps its system reason and a FIFO or device is read as a stream.
#include "cli/io/file_io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "cli/io/errors.hpp"
#include "cli/io/interrupts.hpp"

namespace sitewave::cli {

namespace {

// Closes a descriptor when the reading or writing is over, whatever happens.
class descriptor {
 public:
  explicit descriptor(int fd) : fd_(fd) {}
  ~descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  descriptor(const descriptor&) = delete;
  descriptor& operator=(const descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting whether the data reached the file.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::string system_reason(const std::filesystem::path& path) {
  const int error = errno;  // the system's text, taken in a way safe for any thread
  return path.string() + ": " + std::generic_category().message(error);
}

void read_chunks(const std::filesystem::path& path,
                 const std::function<void(std::string_view)>& take) {
  descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0 && errno == EINTR) check_interrupt();  // a FIFO waiting for its writer
  if (fd.get() < 0) throw input_error(system_reason(path));
  struct stat st {};
  if (fstat(fd.get(), &st) != 0) throw input_error(system_reason(path));
  if (S_ISDIR(st.st_mode)) throw input_error(path.string() + ": is a directory, not a file");
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno != EINTR) throw input_error(system_reason(path));
      check_interrupt();  // a read that blocked (a FIFO) ends with the interrupt
      continue;
    }
    take(std::string_view(buffer, static_cast<std::size_t>(n)));
  }
}

std::string read_file(const std::filesystem::path& path) {
  std::string content;
  read_chunks(path, [&content](std::string_view chunk) { content.append(chunk); });
  return content;
}

namespace {

void write_all(int fd, std::string_view content, const std::filesystem::path& path) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno != EINTR) throw input_error(system_reason(path));
      check_interrupt();
      continue;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
}

// A new, empty file to write (in a results folder being built).
int new_file(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw input_error(system_reason(path));
  return fd;
}

}  // namespace

void write_file(const std::filesystem::path& path, const std::function<void(text_sink&)>& make) {
  descriptor fd(new_file(path));
  text_sink out([&](std::string_view piece) {
    check_interrupt();  // a long file stops between its pieces
    write_all(fd.get(), piece, path);
  });
  make(out);
  out.finish();
  if (!fd.close()) throw input_error(system_reason(path));
}

void write_file(const std::filesystem::path& path, std::string_view content) {
  descriptor fd(new_file(path));
  write_all(fd.get(), content, path);
  if (!fd.close()) throw input_error(system_reason(path));
}

}  // namespace sitewave::cli
