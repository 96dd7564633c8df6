// The words of a command line after the subcommand: options with a value
// ("--out DIR" or "--out=DIR", or by a declared one-letter alias "-j 4" or
// "-j4"), flags ("--force") and positional words. Unknown options, missing
// values and repeated options are usage errors.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sitewave::cli {

struct option_spec {
  std::string_view name;        // without the leading "--"
  std::string_view value_name;  // as --help shows the value ("PATH"); empty for a flag
  std::string_view help;        // for --help; a '\n' starts a continuation line
  char alias = '\0';            // a one-letter form ("-j" for --jobs), or none
  // false for options that say where results go or how fast they come, not
  // what they are: a batch sets those for its cases, and a run's fingerprint
  // leaves them out.
  bool shapes_results = true;

  bool takes_value() const { return !value_name.empty(); }
};

class arguments {
 public:
  // `command` ("sitewave run") is how usage errors point to its --help.
  arguments(std::span<const std::string_view> words, std::span<const option_spec> specs,
            std::string_view command = "sitewave");

  std::optional<std::string> value(std::string_view name) const;
  bool flag(std::string_view name) const;
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  std::map<std::string, std::string, std::less<>> values_;
  std::vector<std::string> positional_;
};

// A problem with one option's value: which option, the value given and what
// is expected. `usage` tells a malformed value (exit status 2) from a value
// that is well formed but cannot give a sound analysis (exit status 1).
struct option_problem {
  std::string option;
  std::string value;
  std::string expected;
  bool usage = true;

  std::string message() const;
};

class option_error : public std::runtime_error {
 public:
  explicit option_error(option_problem p)
      : std::runtime_error(p.message()), problem_(std::move(p)) {}
  const option_problem& problem() const { return problem_; }

 private:
  option_problem problem_;
};

// Values as options give them: a number (the whole word), a list of numbers
// separated by commas, one of a few keywords.
double number_value(std::string_view option, std::string_view text);
std::vector<double> number_list(std::string_view option, std::string_view text);
std::vector<std::string> text_list(std::string_view text);

// Refuses the value of an option: `usage` for a malformed value (exit status
// 2), else a well-formed value that cannot give a sound analysis (1).
[[noreturn]] void refuse_value(std::string_view option, std::string_view value,
                               std::string expected, bool usage = true);

// The choice named by the value, one of `choices`; else refused with `expected`.
template <class T>
T keyword_value(std::string_view option, std::string_view value,
                std::initializer_list<std::pair<std::string_view, T>> choices,
                const char* expected) {
  for (const auto& [name, v] : choices) {
    if (name == value) return v;
  }
  refuse_value(option, value, expected);
}

}  // namespace sitewave::cli
