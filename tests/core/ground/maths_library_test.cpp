// The exponentials of a layer step take cos(−y) and sin(−y) from one cosine
// and one sine of y. That holds bit for bit only in a maths library whose
// sine is odd and cosine even for every argument; a library without it must
// be caught here, not through changed figures.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace sitewave::ground {
namespace {

TEST(MathsLibrary, SineIsOddAndCosineEvenBitForBitOnFloatArguments) {
  int checked = 0;
  // Every 997th non-negative finite float: all binades, dense and sparse.
  for (std::uint32_t bits = 0; bits < 0x7f800000u; bits += 997u) {
    const double y = std::bit_cast<float>(bits);
    const double c = std::cos(y), s = std::sin(y);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(std::cos(-y)), std::bit_cast<std::uint64_t>(c)) << y;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(std::sin(-y)), std::bit_cast<std::uint64_t>(-s)) << y;
    ++checked;
  }
  EXPECT_GT(checked, 2000000);
}

}  // namespace
}  // namespace sitewave::ground
