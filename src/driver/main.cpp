// Entry point: one ground-response analysis per run, driven by the console.
#include "driver/run.hpp"
#include "textio/failure.hpp"

int main() {
  sitewave::textio::install_signal_handlers();
  sitewave::driver::run();
}
