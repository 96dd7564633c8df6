// The command front end: `sitewave run`, `sitewave --help`, `sitewave
// --version` and the other subcommands.
#pragma once

namespace sitewave::cli {

// Runs the command named by argv[1] and returns the exit status.
int command_main(int argc, char** argv);

}  // namespace sitewave::cli
