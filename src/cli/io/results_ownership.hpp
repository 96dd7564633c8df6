// Which folders a run may put its results in place of. A results folder is
// replaced only when it holds nothing but what sitewave writes there; a
// folder that is or holds an input of the run, or the current folder, is
// never replaced. Staging folders carry their owner's process in their name,
// so that one left by a killed run can be told from one still being filled.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sitewave::cli {

// Why `folder` (an existing folder) may not be replaced by new results, or
// nothing when it holds only sitewave's results (run.json written by sitewave
// and the files and plots/ folder a run writes beside it).
std::optional<std::string> why_not_results(const std::filesystem::path& folder);

// Why `folder` must never be replaced, with or without --force: it is or
// holds the current folder or one of `inputs`.
std::optional<std::string> why_protected(const std::filesystem::path& folder,
                                         std::span<const std::filesystem::path> inputs);

// Removes a results folder that why_not_results accepted: its known entries
// only, then the folder itself when nothing else has appeared in it.
void remove_results(const std::filesystem::path& folder);

// The name of a new staging folder for `target`, in its parent:
// ".<name>.staging-<pid>-<start>-<random>".
std::string staging_name(const std::filesystem::path& target);

// Removes staging folders for `target` left by processes that have ended.
void remove_stale_staging(const std::filesystem::path& target);

}  // namespace sitewave::cli
