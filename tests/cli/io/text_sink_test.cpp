// A file made in pieces is the same text as the file made whole, whatever
// the size of the pieces, and no piece outgrows its size by more than a row.
#include "cli/io/text_sink.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/io/file_io.hpp"
#include "support/program_run.hpp"

namespace sitewave::cli {
namespace {

// Rows of different lengths, so that pieces end inside and between them.
void rows(text_sink& out, int count) {
  out.text += "head,er\n";
  for (int i = 0; i < count; ++i) {
    out.text += std::to_string(i * 7919) + "," + std::string(static_cast<std::size_t>(i % 13), 'x');
    out.text += '\n';
    out.row_end();
  }
}

std::string brute_force(int count) {
  std::string whole = "head,er\n";
  for (int i = 0; i < count; ++i) {
    whole += std::to_string(i * 7919) + "," + std::string(static_cast<std::size_t>(i % 13), 'x');
    whole += '\n';
  }
  return whole;
}

TEST(TextSink, PiecesOfAnySizeMakeTheSameText) {
  struct case_t {
    std::size_t piece;
    int rows;
  };
  for (const case_t c : {case_t{1, 50}, {7, 300}, {64, 1000}, {4096, 20000}, {1 << 20, 5}}) {
    std::vector<std::string> pieces;
    text_sink out([&](std::string_view p) { pieces.emplace_back(p); }, c.piece);
    rows(out, c.rows);
    out.finish();
    std::string joined;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      EXPECT_FALSE(pieces[k].empty());
      // Every piece but the last ends a row and holds no more than a piece and a row.
      if (k + 1 < pieces.size()) {
        EXPECT_EQ(pieces[k].back(), '\n');
        EXPECT_GE(pieces[k].size(), c.piece);
        EXPECT_LT(pieces[k].size(), c.piece + 32);
      }
      joined += pieces[k];
    }
    EXPECT_EQ(joined, brute_force(c.rows)) << "piece " << c.piece;
    EXPECT_EQ(text_of([&](text_sink& whole) { rows(whole, c.rows); }), brute_force(c.rows));
  }
}

TEST(TextSink, AnEmptyFileHandsOnNoPiece) {
  int calls = 0;
  text_sink out([&](std::string_view) { ++calls; }, 16);
  out.row_end();
  out.finish();
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(text_of([](text_sink&) {}), "");
}

TEST(TextSink, AFileWrittenInPiecesHoldsTheWholeText) {
  const testing::scratch_dir dir;
  write_file(dir / "rows.csv", [](text_sink& out) { rows(out, 200000); });
  EXPECT_EQ(dir.read("rows.csv"), brute_force(200000));
}

TEST(TextSink, AFailedWriteNamesTheFile) {
  const testing::scratch_dir dir;
  const auto path = dir / "missing" / "rows.csv";
  try {
    write_file(path, [](text_sink& out) { rows(out, 10); });
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), path.string() + ": No such file or directory");
  }
}

}  // namespace
}  // namespace sitewave::cli
