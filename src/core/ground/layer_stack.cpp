// The layer recursion over blocks of frequency lines: the frequency grid and
// its zero-frequency entry, the layer matrix of each row multiplied into the
// stack matrix on every line, and the two entries each line stores. Every
// line keeps the operations of the single-line recursion in their order.
#include "core/ground/layer_stack.hpp"

#include <algorithm>

#include "core/ground/block_complex.hpp"
#include "core/ground/interface_terms.hpp"

namespace sitewave::ground {

namespace {

constexpr float two_pi = 6.2831855f;
constexpr cplx one{1.0f, 0.0f};
constexpr cplx unit_i{0.0f, 1.0f};

// The displacement at the free surface, where U = D = 1.
constexpr float sf = 2.0f;

cplx half(cplx a) {
  return {a.re / 2.0f, a.im / 2.0f};
}

// Carries the up- and down-going amplitudes (U, D) = (1, 1) at the free
// surface to the pair at the top of the current row, on every line; starts
// as the identity.
struct stack_lines {
  complex_lines a11 = complex_lines::filled(one);
  complex_lines a12{};
  complex_lines a21{};
  complex_lines a22 = complex_lines::filled(one);
};

bool is_layer_stack(const layer_table& layers) {
  return layers.nl >= 1 && layers.nl <= layers.capacity();
}

// Sets the zero-frequency entry when the grid starts at exactly zero (there
// the stack is transparent: 2 at the surface, 1 over the base) and returns
// the first entry left to compute.
int first_computed_entry(float fom, amp_columns amp) {
  if (fom != 0.0f || amp.length() < 1) return 1;
  amp(1, 1) = {sf, 0.0f};
  amp(1, 2) = {1.0f, 0.0f};
  return 2;
}

int last_computed_entry(int nom, amp_columns amp) {
  return std::min(nom, amp.length());
}

// Angular frequency of entry io.
float grid_omega(int io, float fom, float dom) {
  const float steps = static_cast<float>(io - 1);
  const float om = steps * dom + fom;
  return om;
}

// Adds the row of thickness thk above an interface, with its terms t, to
// the stack a on every line.
void add_row(stack_lines& a, const interface_lines& t, const line_values& om, float thk) {
  complex_lines wnd;
  for (std::size_t j = 0; j < block_lines; ++j) {
    const cplx wn = om[j] * t.slowness.at(j);
    wnd.set(j, thk * (unit_i * wn));
  }
  complex_lines ex1;
  complex_lines ex2;
  exponential_pair(wnd, ex1, ex2);
  for (std::size_t j = 0; j < block_lines; ++j) {
    const cplx am = t.am.at(j);
    const cplx sb11 = half((one + am) * ex1.at(j));
    const cplx sb12 = half((one - am) * ex2.at(j));
    const cplx sb21 = half((one - am) * ex1.at(j));
    const cplx sb22 = half((one + am) * ex2.at(j));
    const cplx sa11 = a.a11.at(j), sa12 = a.a12.at(j), sa21 = a.a21.at(j), sa22 = a.a22.at(j);
    a.a11.set(j, sa11 * sb11 + sa12 * sb21);
    a.a12.set(j, sa11 * sb12 + sa12 * sb22);
    a.a21.set(j, sa21 * sb11 + sa22 * sb21);
    a.a22.set(j, sa21 * sb12 + sa22 * sb22);
  }
}

// Stores, for the first `count` lines, the surface motion over the incident
// wave (column 1) and over the total motion at the top of the half-space
// (column 2); line j is entry io + j.
void store_entries(const stack_lines& a, int io, std::size_t count, amp_columns amp) {
  complex_lines top_upgoing;
  complex_lines top_total;
  for (std::size_t j = 0; j < block_lines; ++j) {
    const cplx up = a.a11.at(j) + a.a12.at(j);
    top_upgoing.set(j, up);
    top_total.set(j, up + a.a21.at(j) + a.a22.at(j));
  }
  const complex_lines surface = complex_lines::filled({sf, 0.0f});
  complex_lines column1;
  complex_lines column2;
  quotient(surface, top_upgoing, column1);
  quotient(surface, top_total, column2);
  for (std::size_t j = 0; j < count; ++j) {
    const int entry = io + static_cast<int>(j);
    amp(entry, 1) = column1.at(j);
    amp(entry, 2) = column2.at(j);
  }
}

}  // namespace

void fill_table(float fom, float dom, int nom, const layer_table& layers, float theta,
                amp_columns amp, const work_control& control, const wave_model& model) {
  if (!is_layer_stack(layers)) return;
  const cplx cinv2 = model.slowness_squared(layers, theta);
  const int first = first_computed_entry(fom, amp);
  const int last = last_computed_entry(nom, amp);
  if (last < first) return;
  const interface_terms terms(layers, model, cinv2);
  const auto lines = static_cast<std::size_t>(last - first + 1);
  for_each_block(lines, block_lines, control, [&](std::size_t begin, std::size_t end) {
    // A short last block repeats its last line; those copies are not stored.
    line_values om;
    line_values freq;
    for (std::size_t j = 0; j < block_lines; ++j) {
      const int io = first + static_cast<int>(std::min(begin + j, end - 1));
      om[j] = grid_omega(io, fom, dom);
      freq[j] = om[j] / two_pi;
    }
    interface_terms::block_powers powers;
    terms.start_block(freq, powers);
    stack_lines a;
    interface_lines t;
    for (int il = layers.nl - 1; il >= 1; --il) {
      terms.at_interface(il, powers, t);
      add_row(a, t, om, layers.thk(il));
    }
    store_entries(a, first + static_cast<int>(begin), end - begin, amp);
  });
}

}  // namespace sitewave::ground
