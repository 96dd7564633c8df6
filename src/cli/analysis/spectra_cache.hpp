// Response spectra of input records kept between the runs of a batch: a
// study runs a handful of records through hundreds of ground models, and the
// record's own spectra are the same in every case that shares it, its scale,
// its periods and its damping ratios. Entries are keyed by a hash of those,
// and of the program version, so a changed record never finds a stale one.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "cli/analysis/engineering_results.hpp"
#include "cli/inputs/record.hpp"

namespace sitewave::cli {

// The record's spectra from the cache in `folder` when an entry of these
// inputs is there, else made by `make` and stored for the next case (written
// whole and renamed into place, so cases side by side never read half an
// entry; a cache that cannot be written only costs the reuse).
motion_spectra cached_record_spectra(const std::filesystem::path& folder, const record& r,
                                     std::span<const double> periods,
                                     std::span<const double> damping,
                                     const std::function<motion_spectra()>& make);

}  // namespace sitewave::cli
