// Nine significant digits without the general conversion machinery: the
// value is scaled by an exact power of ten, and one rounding of the product
// (at most 2^-53 of it, 1.2e-7 below 1e9) cannot move it across a rounding
// boundary of its ninth digit unless it lies within a hair of one; those
// rare values, and values outside the exact powers, take std::to_chars.
#include "cli/io/decimal_text.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace sitewave::cli {

namespace {

// 10^0 .. 10^22 are exact in double precision.
constexpr int max_exact_power = 22;

constexpr std::array<double, max_exact_power + 1> powers_of_ten = [] {
  std::array<double, max_exact_power + 1> p{};
  double v = 1.0;
  for (auto& x : p) {
    x = v;
    v *= 10.0;
  }
  return p;
}();

char* fallback(double v, char* out) {
  return std::to_chars(out, out + max_decimal_text, v, std::chars_format::general, 9).ptr;
}

// |v| scaled so that its first significant digit is the 10^8 digit, when the
// power of ten is exact.
bool scaled(double magnitude, int exponent, double& result) {
  const int k = 8 - exponent;
  if (k > max_exact_power || -k > max_exact_power) return false;
  result = k >= 0 ? magnitude * powers_of_ten[static_cast<std::size_t>(k)]
                  : magnitude / powers_of_ten[static_cast<std::size_t>(-k)];
  return true;
}

// floor(log10(magnitude)) to within one, from the binary exponent alone:
// log10(2) is close to 1233 / 4096.
// (Subnormal values give a low estimate, which the scaling corrects or hands
// to the exact conversion.)
int decimal_exponent_estimate(double magnitude) {
  const auto biased = static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff);
  return ((biased - 1023) * 1233) >> 12;
}

// The nine digits and the decimal exponent of the first one, or false when
// only the exact conversion can tell.
bool nine_digits(double magnitude, std::uint32_t& digits, int& exponent) {
  exponent = decimal_exponent_estimate(magnitude);
  double s = 0.0;
  if (!scaled(magnitude, exponent, s)) return false;
  if (s < 1e8) {
    if (!scaled(magnitude, --exponent, s)) return false;
  } else if (s >= 1e9) {
    if (!scaled(magnitude, ++exponent, s)) return false;
  }
  const auto whole = static_cast<std::uint64_t>(s);  // below 1e9: exact truncation
  const double fraction = s - static_cast<double>(whole);
  // The product was rounded once, by far less than this margin: a fraction
  // this close to one half may be a tie or not, and only exact digits tell.
  if (std::fabs(fraction - 0.5) < 0x1p-20) return false;
  std::uint64_t n = whole + (fraction > 0.5 ? 1 : 0);
  if (n == 1000000000u) {
    n = 100000000u;
    ++exponent;
  }
  digits = static_cast<std::uint32_t>(n);
  return true;
}

char* write_digits(std::uint32_t digits, int count, char* out) {
  for (int i = count - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  return out + count;
}

char* not_a_number(char* out) {
  return std::copy_n("nan", 3, out);
}

}  // namespace

char* single_text(float v, char* out) {
  if (std::isnan(v)) return not_a_number(out);
  return std::to_chars(out, out + max_decimal_text, v).ptr;
}

char* decimal_text(double v, char* out) {
  if (std::isnan(v)) return not_a_number(out);
  if (v == 0.0 || !std::isfinite(v)) return fallback(v, out);
  std::uint32_t digits = 0;
  int exponent = 0;
  if (!nine_digits(std::fabs(v), digits, exponent)) return fallback(v, out);
  if (v < 0) *out++ = '-';
  // Trailing zeros go, as in the general format.
  int count = 9;
  while (digits % 10 == 0) {
    digits /= 10;
    --count;
  }
  std::array<char, 9> d{};
  write_digits(digits, count, d.data());
  if (exponent < -4 || exponent >= 9) {
    *out++ = d[0];
    if (count > 1) {
      *out++ = '.';
      out = std::copy(d.begin() + 1, d.begin() + count, out);
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int e = exponent < 0 ? -exponent : exponent;
    if (e < 10) *out++ = '0';
    return std::to_chars(out, out + 4, e).ptr;
  }
  if (exponent < 0) {
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > exponent; --i) *out++ = '0';
    return std::copy(d.begin(), d.begin() + count, out);
  }
  const int before_point = exponent + 1;
  for (int i = 0; i < before_point; ++i) *out++ = i < count ? d[static_cast<std::size_t>(i)] : '0';
  if (count > before_point) {
    *out++ = '.';
    out = std::copy(d.begin() + before_point, d.begin() + count, out);
  }
  return out;
}

}  // namespace sitewave::cli
