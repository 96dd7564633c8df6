// Parsing field layouts: the element list the writer walks, group brackets
// that find each other, and the texts that must be refused.
#include "textfmt/layout.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace sitewave::textfmt {
namespace {

// The element list in a compact notation close to the layout's own.
std::string describe(const layout& l) {
  std::string out;
  for (const layout::element& e : l.elements()) {
    const std::string w = std::to_string(e.width);
    const std::string d = std::to_string(e.decimals);
    switch (e.what) {
      case layout::kind::integer_field:
        out += " I" + w;
        break;
      case layout::kind::fixed_field:
        out += " F" + w + '.' + d;
        break;
      case layout::kind::exponent_field:
        out += " E" + w + '.' + d;
        break;
      case layout::kind::literal:
        out += " '" + std::string(e.quoted) + '\'';
        break;
      case layout::kind::skip:
        out += ' ' + w + 'X';
        break;
      case layout::kind::record_break:
        out += " /";
        break;
      case layout::kind::group_open:
        out += ' ' + w + '(';
        break;
      case layout::kind::group_close:
        out += " )";
        break;
    }
  }
  return out;
}

// Layouts parse in constant expressions.
constexpr layout amp_row{"(F8.4,6(',',E12.4))"};
static_assert(amp_row.elements().size() == 5);
static_assert(amp_row.text() == "(F8.4,6(',',E12.4))");

TEST(Layout, ParsesFieldsGroupsLiteralsSkipsAndBreaks) {
  EXPECT_EQ(describe(amp_row), " F8.4 6( ',' E12.4 )");
  EXPECT_EQ(describe(layout{"(I6,F9.3,2(F9.2,F9.3,F7.3),F12.3)"}),
            " I6 F9.3 2( F9.2 F9.3 F7.3 ) F12.3");
  EXPECT_EQ(describe(layout{"(/,1X,'Enter Wave Data (H1,H2,V1; e.g., wave.csv)')"}),
            " / 1X 'Enter Wave Data (H1,H2,V1; e.g., wave.csv)'");
  EXPECT_EQ(describe(layout{"('it''s','''','')"}), " 'it''s' '''' ''");
}

TEST(Layout, GroupBracketsPointAtEachOther) {
  constexpr layout nested{"(2(I2,3(F4.1),'x'),I1)"};
  const auto e = nested.elements();
  EXPECT_EQ(describe(nested), " 2( I2 3( F4.1 ) 'x' ) I1");
  EXPECT_EQ(e[0].partner, 6u);
  EXPECT_EQ(e[6].partner, 0u);
  EXPECT_EQ(e[2].partner, 4u);
  EXPECT_EQ(e[4].partner, 2u);
}

TEST(Layout, AcceptsBreaksWithoutCommasBlanksAndLowerCase) {
  EXPECT_EQ(describe(layout{"(I5/I5)"}), " I5 / I5");
  EXPECT_EQ(describe(layout{"(//)"}), " / /");
  EXPECT_EQ(describe(layout{" ( i5 , f8.2 , 2x , e9.1 ) "}), " I5 F8.2 2X E9.1");
  EXPECT_EQ(describe(layout{"()"}), "");
}

TEST(Layout, RefusesMalformedTexts) {
  for (const char* bad : {"",      "F8.4",    "(F8.4",  "(F8.4))", "(F8.4)x",
                          "(F8)",  "(E8.0)",  "(I0)",   "(I256)",  "(I5.2)",
                          "(0X)",  "(X)",     "(3I5)",  "(0(I5))", "(I5,)",
                          "(,I5)", "(I5 I5)", "('abc)", "(A20)",   "(99999999999(I1))"}) {
    EXPECT_THROW(layout{bad}, std::invalid_argument) << '"' << bad << '"';
  }
}

TEST(Layout, RefusesLayoutsBeyondItsFixedCapacity) {
  std::string many = "(I1";
  for (std::size_t i = 1; i < layout::max_elements; ++i) many += ",I1";
  EXPECT_NO_THROW(layout{many + ")"});
  EXPECT_THROW(layout{many + ",I1)"}, std::invalid_argument);

  const std::string opening(layout::max_depth, '('), closing(layout::max_depth, ')');
  EXPECT_NO_THROW(layout{"(" + opening + "I1" + closing + ")"});
  EXPECT_THROW(layout{"((" + opening + "I1" + closing + "))"}, std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::textfmt
