// Help text and spelling suggestions from option tables.
#include "cli/options/option_table.hpp"

#include <algorithm>

namespace sitewave::cli {

namespace {

constexpr std::size_t help_column = 25;

std::string option_words(const option_spec& s) {
  std::string words = s.alias != '\0' ? std::string("-") + s.alias + ", --" : std::string("--");
  words += s.name;
  if (s.takes_value()) words.append(" ").append(s.value_name);
  return words;
}

// Edits (insertion, deletion, substitution, or two neighbours swapped) that
// turn a into b: the optimal string alignment distance.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string options_help(std::span<const option_spec> specs) {
  std::string text;
  for (const option_spec& s : specs) {
    std::string line = "  " + option_words(s);
    line += line.size() + 1 < help_column ? std::string(help_column - line.size(), ' ')
                                          : "\n" + std::string(help_column, ' ');
    std::string_view help = s.help;
    for (;;) {
      const std::size_t end = help.find('\n');
      line.append(help.substr(0, end)).push_back('\n');
      if (end == std::string_view::npos) break;
      help.remove_prefix(end + 1);
      line.append(help_column, ' ');
    }
    text += line;
  }
  return text;
}

std::string_view closest_name(std::string_view word, std::span<const std::string_view> names) {
  std::string_view best;
  std::size_t best_distance = 3;
  for (const std::string_view name : names) {
    const std::size_t d = edit_distance(word, name);
    if (d < best_distance && 2 * d <= std::max(word.size(), name.size())) {
      best = name;
      best_distance = d;
    }
  }
  return best;
}

}  // namespace sitewave::cli
