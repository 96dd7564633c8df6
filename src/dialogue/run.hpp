// The run sequence of one analysis, from the opening dialogue to the
// waveform file.
#pragma once

namespace sitewave::dialogue {

// Performs the whole run and ends the process (exit status 0 on success).
[[noreturn]] void run();

}  // namespace sitewave::dialogue
