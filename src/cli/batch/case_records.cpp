// Case notes as small JSON files, one per case, replaced whole. Separate
// files, not one shared table, so that the shards of a batch on several
// machines never write the same file.
#include "cli/batch/case_records.hpp"

#include <system_error>

#include "cli/io/atomic_file.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/json_reader.hpp"
#include "cli/io/json_writer.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

case_records::case_records(const fs::path& results_dir) : folder_(results_dir / ".batch") {}

void case_records::note(const case_outcome& o, std::string_view digest) const {
  json_writer j;
  j.begin_object();
  j.value("case", o.name);
  j.value("status", status_name(o.status));
  j.value("error", o.error);
  j.value("wall_s", o.wall_s);
  j.value("digest", digest);
  j.end_object();
  std::error_code ec;
  fs::create_directories(folder_, ec);
  try {
    replace_file(folder_ / (o.name + ".json"), j.text());
  } catch (const input_error&) {
    // The results folder is the record of the case; the note is a convenience.
  }
}

std::optional<case_outcome> case_records::noted(std::string_view name,
                                                std::string_view digest) const {
  std::optional<json_value> note;
  try {
    note = parse_json(read_file(folder_ / (std::string(name) + ".json")));
  } catch (const input_error&) {
    return std::nullopt;
  }
  if (!note || digest.empty()) return std::nullopt;
  const json_value* d = note->find("digest");
  const json_value* status = note->find("status");
  if (d == nullptr || d->text != digest || status == nullptr) return std::nullopt;
  case_outcome o;
  o.name = std::string(name);
  const auto s = status_named(status->text);
  if (!s) return std::nullopt;
  o.status = *s;
  if (const json_value* e = note->find("error")) o.error = e->text;
  if (const json_value* w = note->find("wall_s"); w && w->type == json_value::kind::number) {
    o.wall_s = w->number;
  }
  return o;
}

}  // namespace sitewave::cli
