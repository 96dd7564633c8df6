// A results folder that appears whole or not at all: files are written into
// a hidden staging folder beside the target and moved into place in one step
// when the run has succeeded. A run that fails or is interrupted leaves the
// target as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sitewave::cli {

class results_folder {
 public:
  // Refuses (input_error) a target that exists and is not a folder, or is a
  // non-empty folder while `replace` is off; creates missing parent folders.
  results_folder(std::filesystem::path target, bool replace);
  ~results_folder();
  results_folder(const results_folder&) = delete;
  results_folder& operator=(const results_folder&) = delete;

  // Safe to call from several threads at once, each with its own name.
  void write(std::string_view name, std::string_view content);
  const std::filesystem::path& target() const { return target_; }

  // Puts the staged files in place of the target (an existing target is
  // swapped out in the same step and then removed).
  void commit();

 private:
  void check_target() const;

  std::filesystem::path target_;
  std::filesystem::path staging_;
  bool replace_;
  bool committed_ = false;
};

}  // namespace sitewave::cli
