// The layer recursion shared by the SH and P-SV amplification: the stack
// matrix carried from the free surface down through the rows, one interface
// at a time, and the two table entries it yields at the top of the half-space.
#pragma once

#include "core/ground/amp_table.hpp"
#include "core/ground/layer_table.hpp"
#include "core/parallel/work_control.hpp"
#include "core/spectral/cplx.hpp"

namespace sitewave::ground {

// Carries the up- and down-going amplitudes (U, D) = (1, 1) at the free
// surface to the pair at the top of the current row; starts as the identity.
struct stack_matrix {
  cplx a11{1.0f, 0.0f};
  cplx a12{};
  cplx a21{};
  cplx a22{1.0f, 0.0f};
};

// The two rows meeting at an interface: their densities and the complex
// velocities that set the impedance ratio and the wavenumber of the row above.
struct interface_rows {
  float dns1;  // density of the row above
  cplx v1;     // its complex velocity
  float dns2;  // density of the row below
  cplx v2;     // its complex velocity
  float thk;   // thickness of the row above
};

// Square of a complex velocity. Every such square of the recursion goes
// through here so that the way it is evaluated can be changed in one place.
cplx csquare(cplx a);

// True when nl rows fit the table and include a half-space; no other count
// describes a layer stack the recursion can read.
bool is_layer_stack(const layer_table& layers);

// Sets the zero-frequency entry when the grid starts at exactly zero (there
// the stack is transparent: 2 at the surface, 1 over the base) and returns
// the first entry left to compute.
int first_computed_entry(float fom, amp_columns amp);

// Last entry to compute: nom, or the table length if nom exceeds it.
int last_computed_entry(int nom, amp_columns amp);

// Angular frequency of entry io, and the same in hertz.
float grid_omega(int io, float fom, float dom);
float hertz(float om);

// Adds the row above an interface to the stack sa at angular frequency om;
// cinv2 is the squared horizontal slowness, the same in every row.
stack_matrix add_row(const stack_matrix& sa, const interface_rows& rows, float om, cplx cinv2);

// Stores the surface motion over the incident wave (column 1) and over the
// total motion at the top of the half-space (column 2).
void store_entry(int io, const stack_matrix& a, amp_columns amp);

// Fills entries 1..nom of both columns, entry io standing for the angular
// frequency fom + (io − 1)·dom. slowness_squared() gives the squared
// horizontal slowness, the same in every row; rows_at(il, freq) gives the rows
// of interface il damped at freq hertz; interfaces are added from the deepest
// up. A row count that is no layer stack would send the recursion outside the
// layer table: the table is then left as it stands.
template <class Slowness, class RowsAt>
void fill_table(float fom, float dom, int nom, const layer_table& layers, amp_columns amp,
                const work_control& control, Slowness slowness_squared, RowsAt rows_at) {
  if (!is_layer_stack(layers)) return;
  const cplx cinv2 = slowness_squared();
  const int first = first_computed_entry(fom, amp);
  const int last = last_computed_entry(nom, amp);
  if (last < first) return;
  constexpr std::size_t lines_per_block = 64;
  for_each_block(static_cast<std::size_t>(last - first + 1), lines_per_block, control,
                 [&](std::size_t begin, std::size_t end) {
                   for (std::size_t line = begin; line < end; ++line) {
                     const int io = first + static_cast<int>(line);
                     const float om = grid_omega(io, fom, dom);
                     const float freq = hertz(om);
                     stack_matrix a;
                     for (int il = layers.nl - 1; il >= 1; --il) {
                       a = add_row(a, rows_at(il, freq), om, cinv2);
                     }
                     store_entry(io, a, amp);
                   }
                 });
}

}  // namespace sitewave::ground
