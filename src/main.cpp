// Entry point: one ground-response analysis per run, driven by the console.
#include "dialogue/run.hpp"
#include "dialogue/textio/signals.hpp"

int main() {
  sitewave::textio::install_signal_handlers();
  sitewave::dialogue::run();
}
