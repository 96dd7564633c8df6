// The fields and list items rendered through std::to_chars against the same
// renderings through the C library's printf conversions, over a large sample
// of floats in every width and decimal count the program writes, plus exact
// ties, overflowing widths, zeros, infinities and not-a-numbers.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "textfmt/render.hpp"

namespace sitewave::textfmt {
namespace {

// ---- the printf renderings ----

std::string printed(const char* format, int precision, double x) {
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, format, precision, x);
  return std::string(buf, static_cast<std::size_t>(n));
}

std::string in_field(const std::string& text, int width) {
  const auto w = static_cast<std::size_t>(width);
  return text.size() > w ? std::string(w, '*') : std::string(w - text.size(), ' ') + text;
}

std::string named(double x, int width) {
  return in_field(std::isnan(x) ? "NaN" : x < 0 ? "-Infinity" : "Infinity", width);
}

std::string printf_fixed(float value, int width, int decimals) {
  const double x = value;
  if (!std::isfinite(x)) return named(x, width);
  std::string text = printed("%#.*f", decimals, std::fabs(x));
  const bool negative = std::signbit(x) && text.find_first_of("123456789") != std::string::npos;
  if (text.size() + negative == static_cast<std::size_t>(width) + 1 && text[0] == '0') {
    text.erase(0, 1);
  }
  return in_field((negative ? "-" : "") + text, width);
}

std::string printf_exponent(float value, int width, int digits) {
  const double x = value;
  if (!std::isfinite(x)) return named(x, width);
  std::string mantissa(static_cast<std::size_t>(digits), '0');
  int exponent = 0;
  if (x != 0) {
    const std::string text = printed("%#.*E", digits - 1, std::fabs(x));
    const std::size_t e = text.find('E');
    mantissa = text.substr(0, 1) + text.substr(2, e - 2);
    exponent = std::stoi(text.substr(e + 1)) + 1;
  }
  char exponent_text[16];
  std::snprintf(exponent_text, sizeof exponent_text, "E%+.2d", exponent);
  const std::string tail = "." + mantissa + exponent_text;
  const std::string sign = x < 0 ? "-" : "";
  const auto w = static_cast<std::size_t>(width);
  if (sign.size() + tail.size() > w) return std::string(w, '*');
  if (sign.size() + tail.size() == w) return sign + tail;
  return in_field(sign + "0" + tail, width);
}

std::string printf_list_real(float value) {
  const double x = value;
  std::string item = x < 0 ? " -" : "  ";
  if (std::isnan(x)) return item.append("NaN");
  if (std::isinf(x)) return item.append("Infinity");
  if (x == 0) return item.append("0.");
  const std::string text = printed("%.*G", 9, std::fabs(x));
  const std::size_t e = std::min(text.find('E'), text.size());
  item.append(text, 0, e);
  if (text.find('.') == std::string::npos) item.push_back('.');
  return item.append(text, e);
}

// ---- the renderings under test ----

template <class Render, class... Args>
std::string rendered(Render render, Args... args) {
  record_buffer b;
  render(b, args...);
  return std::string(b.view());
}

// ---- the sample ----

std::vector<float> sample() {
  std::vector<float> out;
  // Every 65521st bit pattern: all binades, both signs.
  for (std::uint32_t bits = 0; bits < 0x7f800000u; bits += 65521u) {
    out.push_back(std::bit_cast<float>(bits));
    out.push_back(-std::bit_cast<float>(bits));
  }
  // The magnitudes the program's records carry, densely.
  std::mt19937 rng(4242);
  std::uniform_real_distribution<float> log_magnitude(-7.0f, 7.0f);
  for (int i = 0; i < 60000; ++i) {
    const float x = std::pow(10.0f, log_magnitude(rng));
    out.push_back(i % 3 == 0 ? -x : x);
  }
  // Short binary fractions: exact decimal ties at many places.
  for (int k = 0; k <= 14; ++k) {
    for (int j = 1; j <= 3000; j += 2) out.push_back(std::ldexp(static_cast<float>(j), -k));
  }
  for (const float x : {0.0f, -0.0f, std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity(), std::nanf(""), -std::nanf(""),
                        std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min(),
                        99999.5f, 9.99995f, 0.03125f, 2.5f, 0.5f, 1.0e9f, 123456789.0f}) {
    out.push_back(x);
    out.push_back(-x);
  }
  return out;
}

struct field_shape {
  int width, decimals;
};

// The fixed and exponent fields of the program's layouts, and a few more
// (no decimals, wide decimals, fields just too narrow).
constexpr field_shape fixed_shapes[] = {{8, 4},  {10, 5}, {9, 3}, {9, 2}, {7, 3},
                                        {12, 3}, {4, 0},  {1, 0}, {5, 4}, {40, 20}};
constexpr field_shape exponent_shapes[] = {{12, 4}, {10, 4},  {9, 4}, {8, 1},
                                           {6, 1},  {30, 20}, {5, 1}};

TEST(RenderConversion, FixedFieldsMatchPrintf) {
  for (const float x : sample()) {
    for (const field_shape f : fixed_shapes) {
      ASSERT_EQ(rendered(render_fixed_field, x, f.width, f.decimals),
                printf_fixed(x, f.width, f.decimals))
          << std::hexfloat << x << " F" << f.width << "." << f.decimals;
    }
  }
}

TEST(RenderConversion, ExponentFieldsMatchPrintf) {
  for (const float x : sample()) {
    for (const field_shape f : exponent_shapes) {
      ASSERT_EQ(rendered(render_exponent_field, x, f.width, f.decimals),
                printf_exponent(x, f.width, f.decimals))
          << std::hexfloat << x << " E" << f.width << "." << f.decimals;
    }
  }
}

TEST(RenderConversion, ListRealsMatchPrintf) {
  for (const float x : sample()) {
    ASSERT_EQ(rendered(render_list_real, x), printf_list_real(x)) << std::hexfloat << x;
  }
}

}  // namespace
}  // namespace sitewave::textfmt
