// Feeds arbitrary bytes to the record scanners. The first bytes choose the
// targets of the read statements and whether they have an end-of-file branch;
// the rest is the file, read statement after statement to its end. The
// failure path is replaced here: a diagnostic throws back into the fuzz loop,
// and only a diagnostic the readers may never give counts as a crash.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/failure.hpp"
#include "dialogue/textio/list_read.hpp"
#include "dialogue/textio/signals.hpp"

namespace sitewave::textio {

namespace {

struct scan_failure {
  int code;
  std::string_view context;
};

bool list_directed = false;

}  // namespace

void note_unit(int) {}

void note_statement(int, direction, std::string_view layout) {
  list_directed = layout == "list io";
}

void end_formatted_statement() {
  list_directed = false;
}

bool list_directed_statement() {
  return list_directed;
}

void fail(int code, const char* context) {
  throw scan_failure{code, context};
}

// The readers never give a text of their own, refuse, warn or meet a signal.
void fail_with_text(const char*, const char*) {
  __builtin_trap();
}

void refuse(std::string_view) {
  __builtin_trap();
}

void warn(std::string_view) {}

void install_signal_handlers() {}

bool signal_recorded() {
  return false;
}

void act_on_pending_signal() {}

int signal_wakeup_fd() {
  return -1;
}

}  // namespace sitewave::textio

namespace {

namespace textio = sitewave::textio;

constexpr int unit = 11;
constexpr std::size_t max_targets = 7;

// Storage for one target of every kind; the input picks which one is read.
struct target_slot {
  int integer = 0;
  float real = 0.0f;
  textio::text<0> t0{};
  textio::text<1> t1{};
  textio::text<4> t4{};
  textio::text<10> t10{};
  textio::text<20> t20{};
  textio::text<200> t200{};

  textio::read_target pick(std::uint8_t b) {
    switch (b % 8) {
      case 0:
        return textio::read_target(integer);
      case 1:
        return textio::read_target(real);
      case 2:
        return textio::read_target(t0);
      case 3:
        return textio::read_target(t1);
      case 4:
        return textio::read_target(t4);
      case 5:
        return textio::read_target(t10);
      case 6:
        return textio::read_target(t20);
      default:
        return textio::read_target(t200);
    }
  }
};

// The readers' own failures, each with the context it belongs to.
bool is_reader_failure(const textio::scan_failure& f) {
  using namespace textio;
  const std::string_view c = f.context;
  switch (f.code) {
    case end_of_file:
      return c == "read start" || c == "list in" || c == "fmt";
    case err_list_input:
      return c == "bad repetition count" || c == "exponent field" || c == "invalid number";
    case err_unexpected_char:
      return c == "invalid integer";
    case err_no_space:
      return c == "no space" || c == "realloc failure";
    default:
      return false;
  }
}

// The file each input is written to, removed when the fuzzer ends.
struct scratch_file {
  std::string path = "/tmp/sitewave-scan-fuzz-" + std::to_string(getpid());
  ~scratch_file() { std::remove(path.c_str()); }
};

const std::string& scratch_path() {
  static const scratch_file file;
  return file.path;
}

void write_file(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(scratch_path().c_str(), "wb");
  if (f == nullptr) __builtin_trap();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) __builtin_trap();
  std::fclose(f);
}

// Statements until the end of the file (or a diagnostic). Every statement
// takes at least one character or meets the end, so the bound is never the
// reason to stop; it only guards against a reader that stops making progress.
void read_statements(std::vector<textio::read_target>& targets, bool has_end_branch,
                     std::size_t field_width, std::size_t content_size) {
  if (field_width > 0) {
    std::array<char, 32> field{};
    textio::read_field(unit, std::span<char>(field).first(field_width));
  }
  for (std::size_t statement = 0; statement <= content_size + 1; ++statement) {
    if (!textio::read_list_targets(unit, targets, has_end_branch)) return;
  }
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t head = data[0];
  const std::size_t target_count = std::min<std::size_t>(head % 8, size - 1);
  const bool has_end_branch = (head & 0x08) != 0;
  const std::size_t field_width = (head >> 4) * 2;  // 0: no fixed-width read first

  std::array<target_slot, max_targets> slots{};
  std::vector<textio::read_target> targets;
  for (std::size_t i = 0; i < target_count && i < max_targets; ++i) {
    targets.push_back(slots[i].pick(data[1 + i]));
  }
  const std::uint8_t* content = data + 1 + target_count;
  const std::size_t content_size = size - 1 - target_count;
  write_file(content, content_size);

  textio::open(unit, scratch_path(), textio::open_status::old);
  try {
    read_statements(targets, has_end_branch, field_width, content_size);
  } catch (const textio::scan_failure& f) {
    if (!is_reader_failure(f)) __builtin_trap();
  }
  textio::close(unit);
  return 0;
}
