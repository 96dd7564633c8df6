// Comma-separated tables as spreadsheets and hand editors write them:
// quoting, line ends, blank rows and the line each row starts on; malformed
// quoting is refused with its line rather than read some other way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/io/csv_rows.hpp"

namespace sitewave::cli {
namespace {

using cells = std::vector<std::string>;

std::string refusal(std::string_view text) {
  try {
    read_csv_rows(text);
  } catch (const csv_error& e) {
    return e.what();
  }
  return {};
}

TEST(CsvRows, QuotedCellsHoldCommasQuotesAndLineBreaks) {
  const auto rows = read_csv_rows(
      "case,at2,units\n"
      "a,\"h1.AT2,h2.AT2,v.AT2\",\"say \"\"g\"\"\"\n"
      "b,\"two\nlines\",\n"
      "c,x,y\n");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1].cells, (cells{"a", "h1.AT2,h2.AT2,v.AT2", "say \"g\""}));
  EXPECT_EQ(rows[2].cells, (cells{"b", "two\nlines", ""}));
  EXPECT_EQ(rows[3].line, 5);  // the line after the broken cell
}

TEST(CsvRows, ReadsSpreadsheetAndHandWrittenTablesAlike) {
  const auto rows = read_csv_rows(
      "\xEF\xBB\xBF"
      "case , record\r\n"
      "\r\n"
      ",\r\n"
      "  a ,  \"w.csv\"  \r\n"
      "b,\r\n"
      "c,last");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].cells, (cells{"case", "record"}));
  EXPECT_EQ(rows[1].cells, (cells{"a", "w.csv"}));
  EXPECT_EQ(rows[1].line, 4);
  EXPECT_EQ(rows[2].cells, (cells{"b", ""}));
  EXPECT_EQ(rows[3].cells, (cells{"c", "last"}));
  EXPECT_TRUE(read_csv_rows("").empty());
}

TEST(CsvRows, RefusesQuotingItCannotReadUnambiguously) {
  EXPECT_EQ(refusal("case\n\"open,\nstill open"), "line 2: a quoted cell is not closed");
  EXPECT_EQ(refusal("a,\"b\"c\n"),
            "line 1: text after the closing quote of a cell; quote the "
            "whole cell");
  EXPECT_NE(refusal("x\nsay \"hi\",b\n").find("line 2: a quote inside an unquoted cell"),
            std::string::npos);
}

TEST(CsvRows, CellsWrittenReadBackUnchanged) {
  const cells written{"plain", "", "a,b", "say \"x\"", "two\nlines", " padded ", "sitewave: x"};
  std::string line;
  for (const std::string& c : written) {
    if (!line.empty()) line += ',';
    line += csv_cell(c);
  }
  const auto rows = read_csv_rows("h1,h2,h3,h4,h5,h6,h7\n" + line + "\n");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].cells, written);
  EXPECT_EQ(csv_cell("plain"), "plain");
}

}  // namespace
}  // namespace sitewave::cli
