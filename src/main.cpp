// Entry point. Without arguments the program is the console dialogue, one
// analysis driven by questions on the console; with arguments it is the
// command (`sitewave run`, `sitewave --help`, ...).
#include "cli/command.hpp"
#include "dialogue/run.hpp"
#include "dialogue/textio/signals.hpp"

int main(int argc, char** argv) {
  if (argc > 1) return sitewave::cli::command_main(argc, argv);
  sitewave::textio::install_signal_handlers();
  sitewave::dialogue::run();
}
