// Dispatch of the command front end from one table of subcommands (which the
// help reads too), and the one place where its errors become a line on the
// standard error stream and an exit status.
#include "cli/command.hpp"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch/batch_command.hpp"
#include "cli/batch/batch_options.hpp"
#include "cli/check/check_command.hpp"
#include "cli/curves/curves_command.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/interrupts.hpp"
#include "cli/options/arguments.hpp"
#include "cli/options/help.hpp"
#include "cli/options/option_table.hpp"
#include "cli/plot/plot_command.hpp"
#include "cli/run/run_command.hpp"
#include "cli/run/run_options.hpp"

namespace sitewave::cli {

namespace {

constexpr std::string_view run_notes =
    "Example:\n"
    "  sitewave run --record examples/kaikoura_wtmc.csv --soil examples/soil_dat.csv \\\n"
    "               --filter 0.1,0.2,20,24 --out kaikoura-out\n";

constexpr std::string_view batch_notes =
    "MANIFEST is a CSV table: a header row of run option names (case, record or at2,\n"
    "soil, angle, ...), one case per row; paths are relative to its folder.\n\n"
    "Example:\n"
    "  sitewave batch examples/studies/suite.csv --out suite-out -j 2\n";

constexpr std::string_view plot_notes =
    "DIR is a results folder of sitewave run. The figures are drawn by Python 3 with\n"
    "matplotlib (Debian: python3-matplotlib).\n";

constexpr std::string_view check_notes =
    "Example:\n"
    "  sitewave check --profile examples/profile.csv --water-table 2\n";

constexpr std::string_view curves_notes =
    "MODEL is darendeli, menq, vucetic-dobry, seed-idriss-sand-upper, seed-idriss-sand-mean,\n"
    "seed-idriss-sand-lower, idriss-clay, epri-sand, or a curve of --curves FILE.\n\n"
    "Example:\n"
    "  sitewave curves darendeli --pi 20 --stress-atm 1 > darendeli.csv\n";

constexpr subcommand subcommands[] = {
    {"run", "run [options]", "one analysis into a results folder", run_command, run_option_specs,
     run_notes},
    {"batch", "batch MANIFEST --out DIR [options]", "a suite of analyses, one per manifest row",
     batch_command, batch_option_specs, batch_notes},
    {"plot", "plot DIR [--out PLOTDIR] [--units U] [--dpi N]", "PNG figures of a results folder", plot_command,
     plot_option_specs, plot_notes},
    {"check", "check --profile FILE|--soil FILE [--record PATH] [options]",
     "check a ground model (and a record) and summarise the profile", check_command,
     check_option_specs, check_notes},
    {"curves", "curves MODEL [--pi P] [--stress-atm S] ... [--strains S1,...]",
     "a soil curve as strain_percent,modulus_ratio,damping_percent", curves_command,
     curves_option_specs, curves_notes},
};

int print(std::string_view text, int status) {
  std::cout << text << std::flush;
  return status;
}

int report(const std::string& message, int status) {
  std::fflush(stdout);
  std::cerr << "sitewave: " << message << std::endl;
  return status;
}

bool asks_for_help(std::span<const std::string_view> words) {
  for (const std::string_view w : words) {
    if (w == "--help" || w == "-h") return true;
  }
  return false;
}

[[noreturn]] void unknown_subcommand(std::string_view first) {
  const bool option = first.size() > 1 && first[0] == '-';
  std::vector<std::string_view> names;
  for (const subcommand& s : subcommands) names.push_back(s.name);
  std::string message =
      std::string(option ? "unknown option " : "unknown subcommand ") + std::string(first);
  const std::string_view near = option ? "" : closest_name(first, names);
  if (!near.empty()) message.append("; did you mean ").append(near).append("?");
  throw usage_error(message + " (see sitewave --help)");
}

int dispatch(std::span<const std::string_view> words) {
  const std::string_view first = words.front();
  if (first == "--help" || first == "-h" || first == "help") {
    return print(program_help(subcommands), exit_ok);
  }
  if (first == "--version") return print(version_text(), exit_ok);
  for (const subcommand& s : subcommands) {
    if (s.name != first) continue;
    const auto rest = words.subspan(1);
    if (asks_for_help(rest)) return print(subcommand_help(s), exit_ok);
    return s.run(rest);
  }
  unknown_subcommand(first);
}

}  // namespace

int command_main(int argc, char** argv) {
  install_interrupt_handlers();
  const std::vector<std::string_view> words(argv + 1, argv + argc);
  try {
    return dispatch(words);
  } catch (const usage_error& e) {
    return report(e.what(), exit_usage);
  } catch (const option_error& e) {
    return report(e.what(), e.problem().usage ? exit_usage : exit_refused);
  } catch (const input_error& e) {
    return report(e.what(), exit_refused);
  } catch (const interrupted& e) {
    report("interrupted; no results were written", 128 + e.signal());
    return 128 + e.signal();
  } catch (const std::bad_alloc&) {
    return report("not enough memory for this analysis", exit_refused);
  } catch (const std::exception& e) {
    return report(std::string("failed: ") + e.what(), exit_refused);
  }
}

}  // namespace sitewave::cli
