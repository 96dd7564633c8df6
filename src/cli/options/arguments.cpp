// Splitting a command line into options and positional words, and reading
// the numbers and lists options carry.
#include "cli/options/arguments.hpp"

#include <cmath>
#include <cstdlib>

#include "cli/io/errors.hpp"
#include "cli/options/option_table.hpp"

namespace sitewave::cli {

namespace {

const option_spec* find_spec(std::span<const option_spec> specs, std::string_view name) {
  for (const option_spec& s : specs) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

const option_spec* find_alias(std::span<const option_spec> specs, char alias) {
  for (const option_spec& s : specs) {
    if (s.alias != '\0' && s.alias == alias) return &s;
  }
  return nullptr;
}

// "unknown option --smothing; did you mean --smoothing? (see sitewave run --help)"
[[noreturn]] void unknown(std::string_view word, std::span<const option_spec> specs,
                          std::string_view command) {
  std::vector<std::string_view> names;
  for (const option_spec& s : specs) names.push_back(s.name);
  std::string_view name = word.substr(word.find_first_not_of('-'));
  name = name.substr(0, name.find('='));
  std::string message = "unknown option " + std::string(word.substr(0, word.find('=')));
  if (const std::string_view near = closest_name(name, names); !near.empty()) {
    message.append("; did you mean --").append(near).append("?");
  }
  throw usage_error(message + " (see " + std::string(command) + " --help)");
}

// An option word split into the option it names and the value written into
// it ("--out=DIR", "-j4"), if any.
struct option_word {
  const option_spec* known;
  std::optional<std::string_view> inline_value;
};

option_word split_option(std::string_view word, std::span<const option_spec> specs,
                         std::string_view command) {
  if (word[1] != '-') {
    const option_spec* known = find_alias(specs, word[1]);
    if (known == nullptr || (!known->takes_value() && word.size() > 2)) {
      unknown(word, specs, command);
    }
    if (word.size() > 2) return {known, word.substr(2)};
    return {known, std::nullopt};
  }
  std::string_view name = word.substr(2);
  std::optional<std::string_view> inline_value;
  if (const auto eq = name.find('='); eq != std::string_view::npos) {
    inline_value = name.substr(eq + 1);
    name = name.substr(0, eq);
  }
  const option_spec* known = find_spec(specs, name);
  if (known == nullptr) unknown(word, specs, command);
  return {known, inline_value};
}

bool is_option(std::string_view word) {
  return word.size() > 1 && word[0] == '-' && word != "--";
}

}  // namespace

arguments::arguments(std::span<const std::string_view> words, std::span<const option_spec> specs,
                     std::string_view command) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = words[i];
    if (!is_option(word)) {
      positional_.emplace_back(word);
      continue;
    }
    auto [known, inline_value] = split_option(word, specs, command);
    const std::string name(known->name);
    if (values_.contains(name)) throw usage_error("option --" + name + " is given twice");
    if (!known->takes_value()) {
      if (inline_value) throw usage_error("option --" + name + " takes no value");
      values_.emplace(name, "");
      continue;
    }
    if (!inline_value) {
      if (i + 1 == words.size()) {
        throw usage_error("option --" + name + " needs a value (see " + std::string(command) +
                          " --help)");
      }
      inline_value = words[++i];
    }
    if (inline_value->empty()) {
      throw usage_error("option --" + name + " needs a value, not an empty one (see " +
                        std::string(command) + " --help)");
    }
    values_.emplace(name, std::string(*inline_value));
  }
}

std::optional<std::string> arguments::value(std::string_view name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

bool arguments::flag(std::string_view name) const {
  return values_.contains(name);
}

std::string option_problem::message() const {
  return "--" + option + " " + (value.empty() ? "(empty)" : value) + ": " + expected;
}

void refuse_value(std::string_view option, std::string_view value, std::string expected,
                  bool usage) {
  throw option_error({std::string(option), std::string(value), std::move(expected), usage});
}

double number_value(std::string_view option, std::string_view text) {
  const std::string s(text);
  char* end = nullptr;
  const double v = s.empty() ? NAN : std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v)) {
    throw option_error({std::string(option), s, "a number is expected", true});
  }
  return v;
}

std::vector<std::string> text_list(std::string_view text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    items.emplace_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return items;
}

std::vector<double> number_list(std::string_view option, std::string_view text) {
  std::vector<double> values;
  for (const std::string& item : text_list(text)) {
    try {
      values.push_back(number_value(option, item));
    } catch (const option_error&) {
      throw option_error({std::string(option), std::string(text),
                          "numbers separated by commas are expected", true});
    }
  }
  return values;
}

}  // namespace sitewave::cli
