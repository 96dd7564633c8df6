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
  std::string_view name;  // without the leading "--"
  bool takes_value;
  char alias = '\0';  // a one-letter form ("-j" for --jobs), or none
};

class arguments {
 public:
  arguments(std::span<const std::string_view> words, std::span<const option_spec> specs);

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

}  // namespace sitewave::cli
