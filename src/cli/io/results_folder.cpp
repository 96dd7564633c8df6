// Staging and committing a results folder. The staging folder lives in the
// target's parent, so the final rename never crosses a file system; an
// existing target is exchanged with it atomically (renameat2), so there is
// no moment without a complete folder.
#include "cli/io/results_folder.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/results_ownership.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

bool is_empty_folder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec) && fs::is_empty(p, ec);
}

std::string reason(const std::error_code& ec) {
  return ec.message();
}

// The folder the results go to: the path as given, or the folder a symbolic
// link there names (the link itself stays).
fs::path resolved_target(fs::path given) {
  fs::path target = fs::absolute(std::move(given)).lexically_normal();
  if (target.filename().empty()) target = target.parent_path();
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
  const fs::path named = fs::canonical(target, ec);
  if (ec) {
    throw input_error(target.string() + ": a symbolic link to nothing (" + reason(ec) +
                      "); choose another --out or make the folder it names");
  }
  return named;
}

}  // namespace

results_folder::results_folder(fs::path target, bool replace, std::span<const fs::path> inputs)
    : target_(resolved_target(std::move(target))),
      inputs_(inputs.begin(), inputs.end()),
      replace_(replace) {
  check_target();
  std::error_code ec;
  fs::create_directories(target_.parent_path(), ec);
  if (ec) throw input_error(target_.parent_path().string() + ": " + reason(ec));
  remove_stale_staging(target_);
  staging_ = target_.parent_path() / staging_name(target_);
  if (!fs::create_directory(staging_, ec) || ec) {
    throw input_error(target_.string() + ": cannot prepare the results folder beside it: " +
                      (ec ? reason(ec) : std::string("a staging folder of that name exists")));
  }
}

results_folder::~results_folder() {
  if (committed_) return;
  std::error_code ignored;
  fs::remove_all(staging_, ignored);
}

void results_folder::check_target() const {
  if (const auto why = why_protected(target_, inputs_)) {
    throw input_error(target_.string() + ": " + *why +
                      "; it is never replaced: choose another --out");
  }
  std::error_code ec;
  const auto status = fs::symlink_status(target_, ec);
  if (!fs::exists(status)) return;
  if (!fs::is_directory(status)) {
    throw input_error(target_.string() + ": exists and is not a folder; choose another --out");
  }
  if (is_empty_folder(target_)) return;
  const auto foreign = why_not_results(target_);
  if (foreign) {
    throw input_error(target_.string() + ": " + *foreign +
                      "; only a folder of sitewave's results is replaced: choose another --out");
  }
  if (!replace_) {
    throw input_error(target_.string() +
                      ": the results folder exists and is not empty; use --force to replace it");
  }
}

void results_folder::write(std::string_view name, std::string_view content) {
  write_file(staging_ / name, content);
}

void results_folder::write(std::string_view name, const std::function<void(text_sink&)>& make) {
  write_file(staging_ / name, make);
}

void results_folder::commit() {
  check_target();
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(target_, ec))) {
    if (::rename(staging_.c_str(), target_.c_str()) != 0) throw input_error(system_reason(target_));
  } else {
    if (::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) != 0) {
      throw input_error(system_reason(target_));
    }
    remove_results(staging_);  // the former results, now under the staging name
  }
  committed_ = true;
}

}  // namespace sitewave::cli
