// Fingerprints of a run's inputs. Only regular files are read for their
// hash: a record coming through a FIFO would be used up by reading it twice,
// and such a run simply never counts as unchanged.
#include "cli/io/fingerprint.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "cli/inputs/option_paths.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/run/run_options.hpp"

#ifndef SITEWAVE_VERSION
#define SITEWAVE_VERSION "unknown"
#endif

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

// 64-bit FNV-1a: enough to notice an edited input, not a defence against
// forgery. It takes its data in parts, so a file is hashed as it is read.
constexpr std::uint64_t fnv1a_basis = 14695981039346656037ull;

std::uint64_t fnv1a(std::string_view data, std::uint64_t h = fnv1a_basis) {
  for (const char c : data) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

std::string hex(std::uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

input_file look_at(const fs::path& path) {
  input_file f;
  f.path = path;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return f;
  f.size = static_cast<long long>(st.st_size);
  f.modified_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  try {
    std::uint64_t h = fnv1a_basis;
    read_chunks(path, [&h](std::string_view chunk) { h = fnv1a(chunk, h); });
    f.hash = hex(h);
  } catch (const input_error&) {
    f.hash.clear();  // unreadable: the run itself will say why
  }
  return f;
}

}  // namespace

const input_file& input_files::facts(const fs::path& absolute) {
  auto it = known_.find(absolute);
  if (it == known_.end()) it = known_.emplace(absolute, look_at(absolute)).first;
  return it->second;
}

input_fingerprint fingerprint_of(const arguments& args, input_files& known) {
  input_fingerprint f;
  std::string basis = "sitewave " SITEWAVE_VERSION "\n";
  for (const option_spec& option : run_option_specs()) {
    const std::string name(option.name);
    std::optional<std::string> value = args.value(name);
    if (name == "soil" && !value && !args.value("profile")) value = run_options{}.soil;
    if (!value || !option.shapes_results) continue;
    const std::vector<option_path> files = paths_named(name, *value);
    if (files.empty()) {
      f.options.push_back("--" + name + "=" + *value);
      basis += f.options.back() + "\n";
      continue;
    }
    std::string paths;
    for (const auto& [role, written] : files) {
      const fs::path path = fs::absolute(written).lexically_normal();
      input_file file = known.facts(path);
      file.role = role;
      f.readable = f.readable && !file.hash.empty();
      basis += "file " + role + " " + std::to_string(file.size) + " " + file.hash + "\n";
      if (!paths.empty()) paths += ',';
      paths += path.string();
      f.files.push_back(std::move(file));
    }
    f.options.push_back("--" + name + "=" + paths);
  }
  f.digest = hex(fnv1a(basis));
  return f;
}

void write_fingerprint(json_writer& j, const input_fingerprint& f) {
  j.begin_object("fingerprint");
  j.value("digest", f.digest);
  j.value("readable", f.readable);
  j.begin_array("options");
  for (const std::string& o : f.options) j.value("", o);
  j.end_array();
  j.begin_array("files");
  for (const input_file& file : f.files) {
    j.begin_object();
    j.value("role", file.role);
    j.value("path", file.path.string());
    j.value("size", file.size);
    j.value("modified_ns", file.modified_ns);
    j.value("hash", file.hash);
    j.end_object();
  }
  j.end_array();
  j.end_object();
}

std::string recorded_digest(const json_value& run) {
  const json_value* digest = run.at({"fingerprint", "digest"});
  if (digest == nullptr || digest->type != json_value::kind::string) return {};
  return digest->text;
}

}  // namespace sitewave::cli
