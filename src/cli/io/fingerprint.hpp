// What a run's results depend on, in a form that can be compared later: the
// program version, the options that shape the results and, for every input
// file, its size, modification time and a hash of its content. run.json
// keeps it; a batch compares it to decide whether a finished case still
// stands or must be run again.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/options/arguments.hpp"
#include "cli/io/json_reader.hpp"
#include "cli/io/json_writer.hpp"

namespace sitewave::cli {

struct input_file {
  std::string role;            // record, at2 H1, at2 H2, at2 V, soil or periods
  std::filesystem::path path;  // absolute
  long long size = -1;         // -1 when missing or not a regular file
  long long modified_ns = 0;   // since the epoch
  std::string hash;            // 16 hex digits, empty when the file could not be read
};

struct input_fingerprint {
  std::vector<std::string> options;  // "--name=value", file paths made absolute
  std::vector<input_file> files;
  // Stands for the version, the options other than file paths, and each
  // file's role, size and hash: moving or touching the inputs keeps it, a
  // changed value or content does not.
  std::string digest;
  // Every input file was read. Without it the digest cannot tell that the
  // inputs are unchanged (a file was missing, or a FIFO that reading used up).
  bool readable = true;
};

// The facts of each file looked at, so that a suite of cases sharing a
// record or a ground model reads each file once.
class input_files {
 public:
  const input_file& facts(const std::filesystem::path& absolute);

 private:
  std::map<std::filesystem::path, input_file> known_;
};

// The fingerprint of a run with these (already checked) options.
input_fingerprint fingerprint_of(const arguments& args, input_files& files);

void write_fingerprint(json_writer& j, const input_fingerprint& f);

// The digest a run.json records, or "" when it records none.
std::string recorded_digest(const json_value& run);

}  // namespace sitewave::cli
