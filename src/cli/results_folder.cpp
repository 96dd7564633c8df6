// Staging and committing a results folder. The staging folder lives in the
// target's parent, so the final rename never crosses a file system; an
// existing target is exchanged with it atomically (renameat2), so there is
// no moment without a complete folder.
#include "cli/results_folder.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>

#include "cli/errors.hpp"
#include "cli/file_io.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

bool is_empty_folder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec) && fs::is_empty(p, ec);
}

fs::path staging_path_for(const fs::path& target) {
  std::random_device seed;
  std::string name(1, '.');  // hidden beside the target
  name += target.filename().string();
  name += ".staging-" + std::to_string(::getpid()) + "-" + std::to_string(seed() % 1000000);
  return target.parent_path() / name;
}

std::string reason(const std::error_code& ec) {
  return ec.message();
}

}  // namespace

results_folder::results_folder(fs::path target, bool replace)
    : target_(fs::absolute(std::move(target)).lexically_normal()), replace_(replace) {
  if (target_.filename().empty()) target_ = target_.parent_path();
  check_target();
  std::error_code ec;
  fs::create_directories(target_.parent_path(), ec);
  if (ec) throw input_error(target_.parent_path().string() + ": " + reason(ec));
  staging_ = staging_path_for(target_);
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
  std::error_code ec;
  const auto status = fs::symlink_status(target_, ec);
  if (!fs::exists(status)) return;
  if (!fs::is_directory(fs::status(target_, ec))) {
    throw input_error(target_.string() + ": exists and is not a folder; choose another --out");
  }
  if (!replace_ && !is_empty_folder(target_)) {
    throw input_error(target_.string() +
                      ": the results folder exists and is not empty; use --force to replace it");
  }
}

void results_folder::write(std::string_view name, std::string_view content) {
  write_file(staging_ / name, content);
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
    fs::remove_all(staging_, ec);  // the former content, now under the staging name
  }
  committed_ = true;
}

}  // namespace sitewave::cli
