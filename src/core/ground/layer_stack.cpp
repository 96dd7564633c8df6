// One step of the layer recursion: the impedance ratio and vertical
// wavenumber of a row, its layer matrix of up- and down-going plane waves,
// and the stack matrix grown by that row; plus the frequency grid and the
// table entries that frame the recursion.
#include "core/ground/layer_stack.hpp"

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

}  // namespace

cplx csquare(cplx a) {
  return a * a;
}

bool is_layer_stack(const layer_table& layers) {
  return layers.nl >= 1 && layers.nl <= ml;
}

int first_computed_entry(float fom, amp_columns amp) {
  if (fom != 0.0f || amp.length() < 1) return 1;
  amp(1, 1) = {sf, 0.0f};
  amp(1, 2) = {1.0f, 0.0f};
  return 2;
}

int last_computed_entry(int nom, amp_columns amp) {
  return nom < amp.length() ? nom : amp.length();
}

float grid_omega(int io, float fom, float dom) {
  const float steps = static_cast<float>(io - 1);
  const float om = steps * dom + fom;
  return om;
}

float hertz(float om) {
  const float freq = om / two_pi;
  return freq;
}

stack_matrix add_row(const stack_matrix& sa, const interface_rows& rows, float om, cplx cinv2) {
  const cplx am = cdiv(rows.dns1 * rows.v1, rows.dns2 * rows.v2);
  const cplx v21 = csquare(rows.v1);
  const cplx slowness = csqrt(cdiv(one, v21) - cinv2);
  const cplx wn = om * slowness;
  const cplx wnd = rows.thk * (unit_i * wn);
  const cplx ex1 = cexp(wnd);
  const cplx ex2 = cexp(-wnd);

  const cplx sb11 = half((one + am) * ex1);
  const cplx sb12 = half((one - am) * ex2);
  const cplx sb21 = half((one - am) * ex1);
  const cplx sb22 = half((one + am) * ex2);

  return {
      .a11 = sa.a11 * sb11 + sa.a12 * sb21,
      .a12 = sa.a11 * sb12 + sa.a12 * sb22,
      .a21 = sa.a21 * sb11 + sa.a22 * sb21,
      .a22 = sa.a21 * sb12 + sa.a22 * sb22,
  };
}

void store_entry(int io, const stack_matrix& a, amp_columns amp) {
  const cplx top_upgoing = a.a11 + a.a12;
  const cplx top_total = top_upgoing + a.a21 + a.a22;
  amp(io, 1) = cdiv({sf, 0.0f}, top_upgoing);
  amp(io, 2) = cdiv({sf, 0.0f}, top_total);
}

}  // namespace sitewave::ground
