// Texts in a list-directed read: unquoted words, quoted texts with doubled
// quotes and line ends, digits that are a repeat count or the text itself,
// and the cut or padding to the target's length.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "dialogue/textio/list_read.hpp"
#include "list_read_input.hpp"

namespace sitewave::textio::test {
namespace {

template <std::size_t L>
std::string as_string(const text<L>& t) {
  return std::string(t.data(), L);
}

TEST(ListReadText, UnquotedWordsEndAtSeparators) {
  input_file in("Time (s),NS,EW,UD\nH1\tH2/x\n");
  text<10> a{}, b{}, c{}, d{};
  read_list(in.unit(), a, b, c, d);
  EXPECT_EQ(as_string(a), "Time      ");
  EXPECT_EQ(as_string(b), "(s)       ");
  EXPECT_EQ(as_string(c), "NS        ");
  EXPECT_EQ(as_string(d), "EW        ");
  read_list(in.unit(), a, b, c);
  EXPECT_EQ(as_string(a), "H1        ");
  EXPECT_EQ(as_string(b), "H2        ");
  EXPECT_EQ(as_string(c), "NS        ");  // after the slash: unchanged
}

TEST(ListReadText, MissingTitleComesFromTheNextRecord) {
  input_file in("a,b,c\nd,e\n1 2\n");
  text<2> a{}, b{}, c{}, d{};
  read_list(in.unit(), a, b, c, d);
  EXPECT_EQ(as_string(d), "d ");
  int i = 0, j = 0;
  read_list(in.unit(), i, j);
  EXPECT_EQ(i, 1);
  EXPECT_EQ(j, 2);
}

TEST(ListReadText, QuotedTexts) {
  input_file in("'it''s, ok' \"say \"\"hi\"\"\"\n'ab\ncd' 'ab\\\ncd' 'ab\r\ncd'\n");
  text<12> a{}, b{};
  read_list(in.unit(), a, b);
  EXPECT_EQ(as_string(a), "it's, ok    ");
  EXPECT_EQ(as_string(b), "say \"hi\"    ");
  text<6> c{}, d{}, e{};
  read_list(in.unit(), c, d, e);
  EXPECT_EQ(as_string(c), "abcd  ");
  EXPECT_EQ(as_string(d), "ab\ncd ");  // a backslash keeps the line end
  EXPECT_EQ(as_string(e), "abcd  ");
}

TEST(ListReadText, LeadingDigits) {
  input_file in("3*x,12\n12ab 0*ab 2*'q r'\n2* ,z\n");
  text<5> a{}, b{}, c{}, d{};
  read_list(in.unit(), a, b, c, d);
  EXPECT_EQ(as_string(a), "x    ");
  EXPECT_EQ(as_string(c), "x    ");
  EXPECT_EQ(as_string(d), "12   ");
  read_list(in.unit(), a, b, c, d);
  EXPECT_EQ(as_string(a), "12ab ");
  EXPECT_EQ(as_string(b), "0*ab ");
  EXPECT_EQ(as_string(c), "q r  ");
  EXPECT_EQ(as_string(d), "q r  ");
  read_list(in.unit(), a, b, c);  // r* before a blank: nulls
  EXPECT_EQ(as_string(a), "12ab ");
  EXPECT_EQ(as_string(b), "0*ab ");
  EXPECT_EQ(as_string(c), "z    ");
}

TEST(ListReadText, CutAndPaddedToEachTarget) {
  const std::string long_word(5000, 'w');
  input_file in("2*abcdefgh\n" + long_word + "y 7\n");
  text<4> short_one{};
  text<10> long_one{};
  read_list(in.unit(), short_one, long_one);
  EXPECT_EQ(as_string(short_one), "abcd");
  EXPECT_EQ(as_string(long_one), "abcdefgh  ");
  int i = 0;
  read_list(in.unit(), short_one, i);  // a text of any length is taken whole
  EXPECT_EQ(as_string(short_one), "wwww");
  EXPECT_EQ(i, 7);
}

TEST(ListReadText, EndOfFileInsideQuotes) {
  {
    input_file in("'abc");
    text<3> t = make_text<3>("old");
    EXPECT_FALSE(read_list_or_end(in.unit(), t));
    EXPECT_EQ(as_string(t), "old");
  }
  {
    input_file in("2*'abc", connected::in_child);
    text<3> t{}, u{};
    EXPECT_RUN_ENDS(in, read_list(in.unit(), t, u), "list in: end of file");
  }
  {
    input_file in("x 'abc\n");
    text<3> t{}, u = make_text<3>("old");
    read_list(in.unit(), t, u);
    EXPECT_EQ(as_string(u), "old");
    EXPECT_TRUE(eof_flag(in.unit()));
  }
  input_file in("x 'abc\n", connected::in_child);
  text<3> t{}, u{};
  // No diagnostic of its own: the next statement meets the end of the file.
  EXPECT_RUN_ENDS(in, (read_list(in.unit(), t, u), read_list(in.unit(), t)),
                  "read start: end of file");
}

}  // namespace
}  // namespace sitewave::textio::test
