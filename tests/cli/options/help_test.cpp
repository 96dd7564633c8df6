// Every subcommand's --help lists every option of its table, with its value
// and its help; a misspelt option or subcommand gets the nearest name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/batch/batch_options.hpp"
#include "cli/check/check_command.hpp"
#include "cli/curves/curves_command.hpp"
#include "cli/plot/plot_command.hpp"
#include "cli/run/run_options.hpp"
#include "support/program_run.hpp"

namespace sitewave::testing {
namespace {

struct help_case {
  const char* subcommand;
  std::span<const cli::option_spec> (*options)();
};

TEST(Help, EverySubcommandListsEveryOptionOfItsTable) {
  const scratch_dir dir;
  for (const help_case& c :
       {help_case{"run", cli::run_option_specs}, help_case{"batch", cli::batch_option_specs},
        help_case{"plot", cli::plot_option_specs}, help_case{"check", cli::check_option_specs},
        help_case{"curves", cli::curves_option_specs}}) {
    for (const char* help : {"--help", "-h"}) {
      const run_result r = run_command(dir, {c.subcommand, help});
      EXPECT_EQ(r.exit_code, 0) << r.err;
      std::string usage = "Usage: sitewave ";
      EXPECT_EQ(r.out.rfind(usage.append(c.subcommand), 0), 0u) << r.out;
      for (const cli::option_spec& o : c.options()) {
        std::string words = "--";
        words.append(o.name);
        if (o.takes_value()) words.append(" ").append(o.value_name);
        EXPECT_NE(r.out.find(words), std::string::npos) << c.subcommand << ": " << words;
        const std::string_view first_line = o.help.substr(0, o.help.find('\n'));
        EXPECT_NE(r.out.find(first_line), std::string::npos) << first_line;
      }
    }
    const run_result overview = run_command(dir, {"--help"});
    std::string listed = "sitewave ";
    EXPECT_NE(overview.out.find(listed.append(c.subcommand)), std::string::npos);
  }
  EXPECT_NE(run_command(dir, {"--version"}).out.find("MIT"), std::string::npos);
}

TEST(Help, SlipsGetTheNearestName) {
  const scratch_dir dir;
  const struct {
    std::vector<std::string> args;
    std::string says;
  } slips[] = {
      {{"run", "--smothing", "20"}, "unknown option --smothing; did you mean --smoothing?"},
      {{"run", "--phisics=exact"}, "unknown option --phisics; did you mean --physics?"},
      {{"batch", "m.csv", "--jbos", "2"}, "did you mean --jobs?"},
      {{"rn"}, "unknown subcommand rn; did you mean run?"},
      {{"run", "--xyz"}, "unknown option --xyz (see sitewave run --help)"},
      {{"run", "--periods", ""}, "option --periods needs a value, not an empty one"},
  };
  for (const auto& s : slips) {
    const run_result r = run_command(dir, s.args);
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.err.find(s.says), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace sitewave::testing
