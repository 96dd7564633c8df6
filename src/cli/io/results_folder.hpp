// A results folder that appears whole or not at all: files are written into
// a hidden staging folder beside the target and moved into place in one step
// when the run has succeeded. A run that fails or is interrupted leaves the
// target as it was; a folder that is not sitewave's results is never replaced.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/io/text_sink.hpp"

namespace sitewave::cli {

class results_folder {
 public:
  // Refuses (input_error), before any work: a target that exists and is not
  // a folder; a non-empty folder while `replace` is off; with `replace`, a
  // folder holding anything but sitewave's results; and always a folder that
  // is or holds the current folder or one of `inputs`. A symbolic link is
  // followed: the folder it names receives the results. Creates missing
  // parent folders and removes staging folders of ended runs beside it.
  results_folder(std::filesystem::path target, bool replace,
                 std::span<const std::filesystem::path> inputs);
  ~results_folder();
  results_folder(const results_folder&) = delete;
  results_folder& operator=(const results_folder&) = delete;

  // Safe to call from several threads at once, each with its own name.
  void write(std::string_view name, std::string_view content);
  // A file made in pieces by `make`, each written as it fills.
  void write(std::string_view name, const std::function<void(text_sink&)>& make);
  const std::filesystem::path& target() const { return target_; }

  // Puts the staged files in place of the target (an existing target is
  // swapped out in the same step and then removed).
  void commit();

 private:
  void check_target() const;

  std::filesystem::path target_;
  std::filesystem::path staging_;
  std::vector<std::filesystem::path> inputs_;
  bool replace_;
  bool committed_ = false;
};

}  // namespace sitewave::cli
