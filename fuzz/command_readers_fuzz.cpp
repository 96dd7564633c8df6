// Feeds arbitrary bytes to the command's file readers: the first byte picks
// the reader (record in the dialogue's format, ground model, one .AT2
// component, batch manifest, run.json), the rest is the file. A refusal (input_error) is a proper
// answer; any other exception or a crash is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/io/errors.hpp"
#include "cli/inputs/ground_model.hpp"
#include "cli/io/json_reader.hpp"
#include "cli/batch/manifest.hpp"
#include "cli/inputs/record.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  using namespace sitewave::cli;
  try {
    switch (data[0] % 5) {
      case 0:
        parse_csv_record(text, "record");
        break;
      case 1:
        parse_ground_model(text, "soil");
        break;
      case 2:
        parse_at2(text, "at2");
        break;
      case 3:
        parse_manifest(text, "/nowhere/manifest.csv");
        break;
      default:
        parse_json(text);
        break;
    }
  } catch (const input_error&) {
  }
  return 0;
}
