// `sitewave batch`: a suite of analyses from a manifest, each case into a
// results folder of its own, with a summary of all of them.
#pragma once

#include <span>
#include <string_view>

namespace sitewave::cli {

// Returns the exit status: 0 when every case is ok, 1 when any is not (or
// the manifest is refused), 2 for a usage error, 128 + the signal when
// interrupted.
int batch_command(std::span<const std::string_view> words);

}  // namespace sitewave::cli
