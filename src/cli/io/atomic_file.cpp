// Replacing a file by renaming a finished temporary file over it: readers
// see the old content or the new, never a part.
#include "cli/io/atomic_file.hpp"

#include <stdio.h>
#include <unistd.h>

#include <string>

#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"

namespace sitewave::cli {

void replace_file(const std::filesystem::path& path, std::string_view content) {
  // The process id keeps two processes writing the same file from sharing a
  // temporary name; the leading dot keeps it out of ordinary listings.
  std::string name(1, '.');
  name += path.filename().string();
  name += ".tmp-" + std::to_string(::getpid());
  const std::filesystem::path temporary = path.parent_path() / name;
  try {
    write_file(temporary, content);
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = system_reason(path);
    ::unlink(temporary.c_str());
    throw input_error(reason);
  }
}

}  // namespace sitewave::cli
