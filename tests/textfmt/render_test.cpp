// Field and item rendering at the edges where rounding, signs and widths
// interact: Iw, Fw.d, Ew.d and the list-directed real.
#include "textfmt/render.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace sitewave::textfmt {
namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr int int_min = std::numeric_limits<int>::min();
const float nan = std::nanf("");

template <class Render, class... Args>
std::string rendered(Render render, Args... args) {
  record_buffer b;
  render(b, args...);
  return std::string(b.view());
}
std::string iw(int v, int w) {
  return rendered(render_integer_field, v, w);
}
std::string fw(float v, int w, int d) {
  return rendered(render_fixed_field, v, w, d);
}
std::string ew(float v, int w, int d) {
  return rendered(render_exponent_field, v, w, d);
}
std::string list_real(float v) {
  return rendered(render_list_real, v);
}

TEST(IntegerField, RightAlignsAndFillsAsterisksOnlyPastTheWidth) {
  EXPECT_EQ(iw(3, 5), "    3");
  EXPECT_EQ(iw(-12, 3), "-12");
  EXPECT_EQ(iw(-12, 2), "**");
  EXPECT_EQ(iw(int_min, 11), "-2147483648");
  EXPECT_EQ(iw(int_min, 10), "**********");
}

TEST(FixedField, RoundsFromTheExactBinaryValue) {
  EXPECT_EQ(fw(0.09765625f, 8, 4), "  0.0977");
  EXPECT_EQ(fw(-1.5f, 10, 5), "  -1.50000");
  EXPECT_EQ(fw(2.675f, 5, 2), " 2.67");  // 2.67499995...
  EXPECT_EQ(fw(2.6f, 4, 0), "  3.");
}

TEST(FixedField, RoundingCarriesAndOverflowsToAsterisks) {
  EXPECT_EQ(fw(9.999f, 5, 2), "10.00");
  EXPECT_EQ(fw(9.999f, 4, 2), "****");
  EXPECT_EQ(fw(-99.996f, 7, 2), "-100.00");
  EXPECT_EQ(fw(1000000.0f, 9, 2), "*********");
  EXPECT_EQ(fw(std::numeric_limits<float>::max(), 12, 3), "************");
}

TEST(FixedField, ValuesRoundingToZeroHaveNoSign) {
  EXPECT_EQ(fw(-0.0002f, 7, 3), "  0.000");
  EXPECT_EQ(fw(-0.0f, 5, 3), "0.000");
  EXPECT_EQ(fw(-0.0006f, 7, 3), " -0.001");
}

TEST(FixedField, DropsTheLeadingZeroOnlyWhenExactlyOneTooLong) {
  EXPECT_EQ(fw(0.5f, 6, 4), "0.5000");
  EXPECT_EQ(fw(0.5f, 5, 4), ".5000");
  EXPECT_EQ(fw(0.5f, 4, 4), "****");
  EXPECT_EQ(fw(-0.5f, 6, 4), "-.5000");
  EXPECT_EQ(fw(1.5f, 5, 4), "*****");
}

TEST(ExponentField, MovesThePointLeftAndRaisesTheExponent) {
  EXPECT_EQ(ew(123.456f, 12, 4), "  0.1235E+03");
  EXPECT_EQ(ew(-123.456f, 12, 4), " -0.1235E+03");
  EXPECT_EQ(ew(0.05f, 12, 4), "  0.5000E-01");
  EXPECT_EQ(ew(5.0f, 8, 1), " 0.5E+01");
  EXPECT_EQ(ew(-0.0f, 12, 4), "  0.0000E+00");  // zero is never signed
}

TEST(ExponentField, CarriesIntoANewDigitAndSpansTheRange) {
  EXPECT_EQ(ew(99999.5f, 12, 4), "  0.1000E+06");
  EXPECT_EQ(ew(-0.099999f, 12, 4), " -0.1000E+00");
  EXPECT_EQ(ew(1.0e-20f, 12, 4), "  0.1000E-19");
  EXPECT_EQ(ew(std::numeric_limits<float>::denorm_min(), 12, 4), "  0.1401E-44");
  EXPECT_EQ(ew(std::numeric_limits<float>::max(), 12, 4), "  0.3403E+39");
}

TEST(ExponentField, LeadingZeroOnlyWhenTheWidthAllows) {
  EXPECT_EQ(ew(123.456f, 10, 4), "0.1235E+03");
  EXPECT_EQ(ew(123.456f, 9, 4), ".1235E+03");
  EXPECT_EQ(ew(123.456f, 8, 4), "********");
  EXPECT_EQ(ew(-123.456f, 10, 4), "-.1235E+03");
  EXPECT_EQ(ew(-123.456f, 9, 4), "*********");
  EXPECT_EQ(ew(0.0f, 9, 4), ".0000E+00");
}

TEST(NonFiniteField, NamedWhereItFitsElseAsterisks) {
  EXPECT_EQ(fw(inf, 10, 5), "  Infinity");
  EXPECT_EQ(fw(-inf, 8, 4), "********");
  EXPECT_EQ(ew(-inf, 12, 4), "   -Infinity");
  EXPECT_EQ(ew(nan, 5, 1), "  NaN");
}

// Every nonzero value in E12.4 reads back within half a unit of its fourth
// digit, first digit nonzero; every F10.5 reads back within half of its last
// decimal, or is asterisks because it cannot fit.
TEST(FieldRoundTrip, SweepOfBitPatternsReadsBack) {
  for (std::uint32_t bits = 1; bits < 0x7f800000u; bits += 262139u) {
    for (const float x : {std::bit_cast<float>(bits), -std::bit_cast<float>(bits)}) {
      const std::string e = ew(x, 12, 4);
      const std::size_t point = e.find('.');
      ASSERT_EQ(e.size(), 12u);
      ASSERT_NE(e[point + 1], '0') << e;
      const double unit = std::pow(10.0, std::atoi(e.c_str() + point + 6) - 4);
      ASSERT_LE(std::fabs(std::strtod(e.c_str(), nullptr) - x), 0.5 * unit * (1 + 1e-9)) << e;

      const std::string f = fw(x, 10, 5);
      ASSERT_EQ(f.size(), 10u);
      if (f[0] == '*') {
        ASSERT_GE(std::fabs(x), (x < 0 ? 999.999995 : 9999.999995) * (1 - 1e-9)) << x;
      } else {
        ASSERT_LE(std::fabs(std::strtod(f.c_str(), nullptr) - x), 0.5e-5 + 1e-9) << f;
      }
    }
  }
}

TEST(ListReal, NineDigitsShowTheBinaryError) {
  EXPECT_EQ(list_real(0.1f), "  0.100000001");
  EXPECT_EQ(list_real(0.001f), "  0.00100000005");
  EXPECT_EQ(list_real(-0.5f), " -0.5");
  EXPECT_EQ(list_real(10.24f), "  10.2399998");
}

TEST(ListReal, AlwaysShowsAPoint) {
  EXPECT_EQ(list_real(-0.0f), "  0.");
  EXPECT_EQ(list_real(30.0f), "  30.");
  EXPECT_EQ(list_real(2.0e10f), "  2.E+10");
}

TEST(ListReal, ExponentFormOutsideMinusFourToEightAfterRounding) {
  EXPECT_EQ(list_real(1.0e-5f), "  9.99999975E-06");
  EXPECT_EQ(list_real(1.0e-4f), "  9.99999975E-05");  // just below 0.0001
  EXPECT_EQ(list_real(0.00012f), "  0.000119999997");
  EXPECT_EQ(list_real(123456789.0f), "  123456792.");
  EXPECT_EQ(list_real(1.0e9f), "  1.E+09");
}

TEST(ListReal, NamesNonFiniteValues) {
  EXPECT_EQ(list_real(-inf), " -Infinity");
  EXPECT_EQ(list_real(nan), "  NaN");
}

TEST(RecordBuffer, LongRecordsStayWholeAndTheBufferIsReusable) {
  record_buffer b;
  const std::string head(250, 'a');
  b.append(head);
  b.append(10, 'b');
  EXPECT_EQ(b.view(), head + std::string(10, 'b'));
  b.clear();
  b.append("short");
  EXPECT_EQ(b.view(), "short");
}

}  // namespace
}  // namespace sitewave::textfmt
