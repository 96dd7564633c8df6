// The two ways a command refuses to go on: a usage error (the command line
// itself is wrong, exit status 2) and an input error (a file or value cannot
// give a sound analysis, exit status 1). Both carry the one line the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace sitewave::cli {

inline constexpr int exit_ok = 0;
inline constexpr int exit_refused = 1;
inline constexpr int exit_usage = 2;

class usage_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class input_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace sitewave::cli
