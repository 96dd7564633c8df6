// Fixed-length texts: exactly L characters, blank-padded on the right, as
// the titles and the typed file name are kept.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace sitewave::textfmt {

template <std::size_t L>
using text = std::array<char, L>;

// A text of length L filled with blanks.
template <std::size_t L>
constexpr text<L> blank_text() {
  text<L> t{};
  t.fill(' ');
  return t;
}

// A text of length L holding s, cut or blank-padded to L characters.
template <std::size_t L>
constexpr text<L> make_text(std::string_view s) {
  text<L> t = blank_text<L>();
  for (std::size_t i = 0; i < L && i < s.size(); ++i) t[i] = s[i];
  return t;
}

// The text without its trailing blanks (leading and inner blanks stay).
template <std::size_t L>
constexpr std::string_view trimmed(const text<L>& t) {
  std::size_t n = L;
  while (n > 0 && t[n - 1] == ' ') --n;
  return std::string_view(t.data(), n);
}

}  // namespace sitewave::textfmt
