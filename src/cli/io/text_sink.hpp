// The text of a result file, made in pieces: a writer appends its rows to
// `text` and calls row_end() after each; once about a piece has gathered it
// goes to the drain (the file, or a string in memory) and the text starts
// again, so a file of any length needs no more than a piece of memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace sitewave::cli {

class text_sink {
 public:
  static constexpr std::size_t default_piece = std::size_t{1} << 20;

  explicit text_sink(std::function<void(std::string_view)> drain,
                     std::size_t piece = default_piece);
  text_sink(const text_sink&) = delete;
  text_sink& operator=(const text_sink&) = delete;

  // Drains the text gathered so far once it has reached a piece.
  void row_end() {
    if (text.size() >= piece_) drain();
  }
  // Drains what is left: the file's end.
  void finish() { drain(); }

  std::string text;  // what is not yet drained; writers append to it

 private:
  void drain();

  std::function<void(std::string_view)> drain_;
  std::size_t piece_;
};

// Makes a file's text whole in memory: `make` writes into the sink.
std::string text_of(const std::function<void(text_sink&)>& make);

}  // namespace sitewave::cli
