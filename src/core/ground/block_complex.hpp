// The complex quotient, principal square root and exponentials of the layer
// recursion, line by line over a block. Each line gets exactly the value of
// the single-line helper (cdiv, csqrt, cexp): the same double-precision
// operations in the same order, rounded once; only the branches are replaced
// by choices between values, so the lines can run side by side.
#pragma once

#include "core/ground/line_block.hpp"

namespace sitewave::ground {

// q = a / b on every line.
void quotient(const complex_lines& a, const complex_lines& b, complex_lines& q);

// r = principal square root of a on every line.
void square_root(const complex_lines& a, complex_lines& r);

// plus = e^w and minus = e^(−w) on every line. The two share one cosine and
// one sine: cos(−y) is cos y and sin(−y) is −sin y, bit for bit, in the
// maths library this program is built with (a test watches that).
void exponential_pair(const complex_lines& w, complex_lines& plus, complex_lines& minus);

}  // namespace sitewave::ground
