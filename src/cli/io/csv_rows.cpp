// Reading and writing the cells of comma-separated tables. A stray quote or
// text after a closing quote is refused rather than guessed at: a manifest
// that is read differently from what its author meant would run the wrong
// analyses.
#include "cli/io/csv_rows.hpp"

#include <algorithm>

namespace sitewave::cli {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

bool is_line_end(char c) {
  return c == '\n' || c == '\r';
}

// Walks the text one cell at a time, counting lines.
class csv_scanner {
 public:
  explicit csv_scanner(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  }

  bool done() const { return pos_ >= text_.size(); }
  int line() const { return line_; }

  // Reads one cell and the separator after it; true when it ended the row.
  bool cell(std::string& out) {
    out.clear();
    skip_blanks();
    if (peek() == '"') {
      quoted(out);
    } else {
      unquoted(out);
    }
    return separator();
  }

 private:
  char peek() const { return done() ? '\n' : text_[pos_]; }

  void skip_blanks() {
    while (!done() && is_blank(text_[pos_])) ++pos_;
  }

  void unquoted(std::string& out) {
    while (!done() && text_[pos_] != ',' && !is_line_end(text_[pos_])) {
      if (text_[pos_] == '"') {
        throw csv_error(line_,
                        "a quote inside an unquoted cell; quote the whole cell and double "
                        "the quotes inside it");
      }
      out += text_[pos_++];
    }
    while (!out.empty() && is_blank(out.back())) out.pop_back();
  }

  void quoted(std::string& out) {
    const int start = line_;
    ++pos_;
    for (;;) {
      if (done()) throw csv_error(start, "a quoted cell is not closed");
      const char c = text_[pos_++];
      if (c == '"') {
        if (peek() != '"') return;  // the closing quote; a doubled one stands for itself
        ++pos_;
      } else if (c == '\n') {
        ++line_;
      }
      out += c;
    }
  }

  bool separator() {
    skip_blanks();
    if (done()) return true;
    const char c = text_[pos_++];
    if (c == ',') return false;
    if (c == '\r' && peek() == '\n' && !done()) ++pos_;
    if (is_line_end(c)) {
      ++line_;
      return true;
    }
    throw csv_error(line_, "text after the closing quote of a cell; quote the whole cell");
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

bool has_text(const csv_row& row) {
  return std::any_of(row.cells.begin(), row.cells.end(),
                     [](const std::string& c) { return !c.empty(); });
}

}  // namespace

std::vector<csv_row> read_csv_rows(std::string_view text) {
  std::vector<csv_row> rows;
  csv_scanner in(text);
  while (!in.done()) {
    csv_row row{in.line(), {}};
    std::string cell;
    for (bool row_ended = false; !row_ended;) {
      row_ended = in.cell(cell);
      row.cells.push_back(cell);
    }
    if (has_text(row)) rows.push_back(std::move(row));
  }
  return rows;
}

std::string csv_cell(std::string_view text) {
  const bool plain = text.find_first_of(",\"\r\n") == std::string_view::npos &&
                     (text.empty() || (!is_blank(text.front()) && !is_blank(text.back())));
  if (plain) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::vector<csv_row> csv_rows_or_none(std::string_view text) {
  try {
    return read_csv_rows(text);
  } catch (const csv_error&) {
    return {};
  }
}

}  // namespace sitewave::cli
