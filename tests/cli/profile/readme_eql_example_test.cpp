// The README's equivalent-linear example as a reader runs it: the command of
// its "Equivalent-linear analysis" section, word for word, and the figures
// the text states for it (iterations, the surface PGA against the linear
// one, scaled and unscaled), each to the digits the text prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.hpp"

namespace sitewave::testing {
namespace {

namespace fs = std::filesystem;

const fs::path examples = SITEWAVE_EXAMPLES;

std::string text_of(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string eql_section() {
  const std::string readme = text_of(examples.parent_path() / "README.md");
  const auto start = readme.find("## Equivalent-linear analysis");
  if (start == std::string::npos) return {};
  return readme.substr(start, readme.find("\n## ", start + 1) - start);
}

// The words of the section's shell command, its continuation lines joined,
// with the program left out and the examples' paths made absolute.
std::vector<std::string> readme_command(const std::string& section) {
  const auto open = section.find("```sh\n");
  const auto close = section.find("```", open + 6);
  if (open == std::string::npos || close == std::string::npos) return {};
  std::string command;  // continuation lines joined
  for (std::size_t k = open + 6; k < close; ++k) {
    if (section[k] == '\\' && section[k + 1] == '\n') {
      command += ' ';
      ++k;
    } else {
      command += section[k];
    }
  }
  std::istringstream words(command);
  std::vector<std::string> out;
  for (std::string w; words >> w;) {
    if (w.starts_with("examples/")) w = (examples / w.substr(9)).string();
    out.push_back(w);
  }
  if (!out.empty() && out.front().ends_with("sitewave")) out.erase(out.begin());
  return out;
}

// The command with `option` (and its value, when it takes one) left out and
// the results written to `out`.
std::vector<std::string> varied(std::vector<std::string> words, const std::string& option,
                                bool with_value, const std::string& out) {
  for (std::size_t k = 0; k < words.size(); ++k) {
    if (words[k] == option) {
      words.erase(words.begin() + static_cast<long>(k),
                  words.begin() + static_cast<long>(k + (with_value ? 2 : 1)));
      break;
    }
  }
  for (std::size_t k = 0; k + 1 < words.size(); ++k) {
    if (words[k] == "--out") words[k + 1] = out;
  }
  return words;
}

// The surface peak of H1 from the console summary ("surface  H1 4508.87 ...").
double surface_h1(const run_result& r) {
  const auto at = r.out.find("surface  H1 ");
  return at == std::string::npos ? NAN : std::stod(r.out.substr(at + 12));
}

// run.json's count of H1 iterations.
int h1_iterations(const std::string& run_json) {
  const auto h1 = run_json.find("\"H1\": {", run_json.find("\"eql\": {"));
  const auto at = run_json.find("\"iterations\": ", h1);
  return h1 == std::string::npos || at == std::string::npos ? -1
                                                            : std::stoi(run_json.substr(at + 14));
}

TEST(ReadmeEqlExample, RunsAndGivesTheFiguresTheReadmeStates) {
  const std::string section = eql_section();
  const std::vector<std::string> command = readme_command(section);
  ASSERT_GE(command.size(), 10u) << section;
  ASSERT_EQ(command.front(), "run");
  // The figures as the README prints them; each must be in its text.
  const int iterations = 9;
  const double eql_pga = 4509, linear_pga = 7423, unscaled_eql = 10779, unscaled_linear = 24744;
  for (const char* stated :
       {"converges in 9 (H1) analyses", "surface PGA of 4509 mm/s² (H1)", "gives 7423",
        "surface H1\n10 779 against 24 744 linear", "strains beyond 5 %"}) {
    EXPECT_NE(section.find(stated), std::string::npos) << stated;
  }

  scratch_dir dir;
  const run_result eql = run_command(dir, varied(command, "--force", false, "eql"));
  ASSERT_EQ(eql.exit_code, 0) << eql.err;
  EXPECT_EQ(eql.err, "");
  EXPECT_EQ(std::round(surface_h1(eql)), eql_pga) << eql.out;
  EXPECT_NE(eql.out.find("eql      H1 converged in 9 analyses  H2 converged in"), std::string::npos)
      << eql.out;
  const std::string json = dir.read("eql/run.json");
  EXPECT_EQ(h1_iterations(json), iterations) << json;

  const auto quick = [](std::vector<std::string> words) {
    words.insert(words.end(), {"--outputs", "profile"});
    return words;
  };
  const run_result linear = run_command(dir, quick(varied(command, "--analysis", true, "linear")));
  ASSERT_EQ(linear.exit_code, 0) << linear.err;
  EXPECT_EQ(std::round(surface_h1(linear)), linear_pga) << linear.out;

  // Unscaled: the run ends well but warns that it did not converge, the
  // silty clay (row 4) strained beyond 5 %.
  const run_result strong = run_command(dir, quick(varied(command, "--scale", true, "strong")));
  ASSERT_EQ(strong.exit_code, 0) << strong.err;
  EXPECT_NE(strong.err.find("H1 did not converge in 15 iterations"), std::string::npos)
      << strong.err;
  EXPECT_NE(strong.out.find("H1 not converged in 15 analyses"), std::string::npos) << strong.out;
  EXPECT_EQ(std::round(surface_h1(strong)), unscaled_eql) << strong.out;
  double clay_strain = 0;
  for (const std::string& line : lines_of(dir.read("strong/profile.csv"))) {
    if (!line.starts_with("H1,4,")) continue;
    std::istringstream cells(line);
    std::string cell;
    for (int column = 0; column <= 9 && std::getline(cells, cell, ','); ++column) {
      if (column == 9) clay_strain = std::max(clay_strain, std::stod(cell));  // max_strain_pct
    }
  }
  EXPECT_GT(clay_strain, 5.0);
  const run_result strong_linear =
      run_command(dir, quick(varied(varied(command, "--scale", true, "strong-linear"), "--analysis",
                                    true, "strong-linear")));
  ASSERT_EQ(strong_linear.exit_code, 0) << strong_linear.err;
  EXPECT_EQ(std::round(surface_h1(strong_linear)), unscaled_linear) << strong_linear.out;
}

}  // namespace
}  // namespace sitewave::testing
