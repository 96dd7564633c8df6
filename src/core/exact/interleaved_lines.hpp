// How many frequency lines the exact recursions run side by side: each
// line's recursion is a chain of dependent divisions, and independent lines
// interleaved fill the time one line waits on its own.
#pragma once

#include <cstddef>

namespace sitewave::exact {

inline constexpr std::size_t max_interleaved_lines = 4;

}  // namespace sitewave::exact
