// Dispatch of the command front end, and the one place where its errors
// become a line on the standard error stream and an exit status.
#include "cli/command.hpp"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options/arguments.hpp"
#include "cli/batch/batch_command.hpp"
#include "cli/io/errors.hpp"
#include "cli/options/help.hpp"
#include "cli/io/interrupts.hpp"
#include "cli/plot/plot_command.hpp"
#include "cli/run/run_command.hpp"

namespace sitewave::cli {

namespace {

using subcommand = int (*)(std::span<const std::string_view>);

struct named_subcommand {
  std::string_view name;
  subcommand run;
};

constexpr named_subcommand subcommands[] = {
    {"run", run_command},
    {"plot", plot_command},
    {"batch", batch_command},
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

int dispatch(std::span<const std::string_view> words) {
  const std::string_view first = words.front();
  if (first == "--help" || first == "-h" || first == "help") return print(help_text(), exit_ok);
  if (first == "--version") return print(version_text(), exit_ok);
  for (const named_subcommand& s : subcommands) {
    if (s.name == first) return s.run(words.subspan(1));
  }
  const bool option = first.size() > 1 && first[0] == '-';
  throw usage_error(std::string(option ? "unknown option " : "unknown subcommand ") +
                    std::string(first) + " (see sitewave --help)");
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
