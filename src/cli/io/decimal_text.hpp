// Numbers of the clean result files: 9 significant digits in the shortest
// of fixed or exponent form, as printf's "%.9g" and std::to_chars' general
// format with precision 9 give them, at a fraction of their cost.
#pragma once

#include <cstddef>

namespace sitewave::cli {

// Longest text: sign, 9 digits, point, "e-308".
inline constexpr std::size_t max_decimal_text = 24;

// Writes v into out (at least max_decimal_text characters) and returns the
// end of the text. The digits are those of v rounded to 9 significant digits,
// ties to even, from its exact binary value.
// NaN is "nan" whatever its sign bit.
char* decimal_text(double v, char* out);

// The shortest text that reads back to the same single-precision value
// ("0.02"), "nan" for NaN; at least max_decimal_text characters of room.
char* single_text(float v, char* out);

}  // namespace sitewave::cli
