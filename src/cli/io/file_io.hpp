// Whole files in and out, with failures that name the file and the system's
// reason. Every file the command reads or writes goes through here.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "cli/io/text_sink.hpp"

namespace sitewave::cli {

// The whole content of a file. Refuses (input_error) a file that is missing,
// unreadable, or not a regular file or FIFO.
std::string read_file(const std::filesystem::path& path);

// The content of a file, chunk by chunk in order, without holding it whole.
void read_chunks(const std::filesystem::path& path,
                 const std::function<void(std::string_view)>& take);

// Writes content to a new file at path (in a results folder being built);
// a failure is an input_error naming the file and the reason.
void write_file(const std::filesystem::path& path, std::string_view content);
// The same for a file made in pieces: `make` writes into a sink whose pieces
// go to the file as they fill, so the file is never held whole.
void write_file(const std::filesystem::path& path, const std::function<void(text_sink&)>& make);

// "path: reason" for the current errno.
std::string system_reason(const std::filesystem::path& path);

}  // namespace sitewave::cli
