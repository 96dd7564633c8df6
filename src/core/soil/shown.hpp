// A number as the soil module's refusals show it: %g, six significant digits.
#pragma once

#include <cstdio>
#include <string>

namespace sitewave::soil {

inline std::string shown(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

}  // namespace sitewave::soil
