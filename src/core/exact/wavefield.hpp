// The SH wave field of the layered ground at one frequency, kept as each
// row's down- and up-going wave amplitudes per unit incident wave, so that
// the motion, strain and stress at any depth, and the input references, are
// one cheap call on the stored state instead of another pass.
#pragma once

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

#include "core/exact/damping.hpp"

namespace sitewave::exact {

// What an input record is: the incident wave alone at the top of the
// half-space, the total motion there (a borehole record), or the motion the
// incident wave gives at a free surface of the half-space (an outcrop record,
// twice the incident wave for SH at any angle).
enum class input_kind { incident, within, outcrop };

// A row as SH waves of horizontal slowness p see it. When the damping does not
// depend on frequency these hold for every frequency, so a caller sweeping a
// grid forms them once.
struct sh_layer {
  std::complex<double> eta;      // vertical slowness, on the branch of vertical_slowness
  std::complex<double> modulus;  // μ* = ρ·v*², the complex shear modulus
  double thickness;
};

sh_layer sh_layer_of(const damped_row& row, double p);

// The field at one point, per unit incident wave at the top of the
// half-space, time factor e^(+iωt), z downwards, x the direction the wave
// travels horizontally.
struct sh_point {
  std::complex<double> displacement;  // u, the total (within) motion
  std::complex<double> strain_yz;     // γyz = ∂u/∂z
  std::complex<double> strain_xy;     // γxy = ∂u/∂x = −iωp·u
  std::complex<double> stress_yz;     // τyz = μ*·γyz
  std::complex<double> outcrop;       // 2 × the up-going wave: the motion a free surface there shows
};

// A depth as a row and a depth below that row's top.
struct row_depth {
  std::size_t row;
  double z;
};

// Row and depth within it of a depth below the surface (m, ≥ 0): a depth on an
// interface belongs to the row below it, a depth below the last interface to
// the half-space. Throws std::invalid_argument for a negative or non-finite
// depth.
row_depth locate(std::span<const layer_row> rows, double depth);

class sh_wavefield {
 public:
  sh_wavefield() = default;

  // rows are damped at the frequency of omega (≥ 0), the last is the
  // half-space; p is the horizontal slowness, the same in every row.
  sh_wavefield(std::span<const damped_row> rows, double p, double omega) { solve(rows, p, omega); }

  // One pass from the free surface down and back. The down-going wave of a
  // row is referred to its top and the up-going one to its bottom (both to
  // the top in the half-space), so that every factor carried is e^(−iωηh),
  // of modulus at most 1: thick, strongly damped or evanescent rows drive the
  // amplitudes above them to zero, never to infinity. The storage is kept for
  // the next call with as many rows.
  void solve(std::span<const damped_row> rows, double p, double omega);
  void solve(std::span<const sh_layer> layers, double p, double omega);

  std::size_t rows() const { return rows_.size(); }
  double omega() const { return omega_; }
  double slowness() const { return p_; }

  // The wave amplitudes of a row: the down-going wave at its top, the
  // up-going wave at its bottom (at its top for the half-space, where the
  // up-going wave is the incident one, 1).
  std::complex<double> down(std::size_t row) const { return rows_[row].down; }
  std::complex<double> up(std::size_t row) const { return rows_[row].up; }

  // The field at depth z below the top of a row, 0 ≤ z ≤ its thickness (any
  // z ≥ 0 in the half-space, where the incident wave grows with depth as a
  // damped wave coming from below must: by e^(ωz·|Im η|), which overflows
  // only kilometres down at high frequency). Throws std::invalid_argument
  // outside.
  sh_point at(std::size_t row, double z) const;
  sh_point at(row_depth where) const { return at(where.row, where.z); }
  // The same at a depth below the surface, located as `locate` does.
  sh_point at_depth(double depth) const;

  // The same at the top and at the mid-depth of a row, from factors kept by
  // the pass (the half-space's "middle" is its top).
  sh_point top(std::size_t row) const;
  sh_point middle(std::size_t row) const;

  // The motion an input record of this kind stands for, per unit incident
  // wave: divide any field value by it to refer the field to the record.
  std::complex<double> reference(input_kind kind) const;

 private:
  struct row_state {
    std::complex<double> eta, modulus;
    double thickness;
    std::complex<double> half;  // e^(−iωηh/2)
    std::complex<double> cross;  // e^(−iωηh)
    std::complex<double> down, up;
  };

  sh_point point(const row_state& r, std::complex<double> down, std::complex<double> up) const;

  std::vector<row_state> rows_;
  double omega_ = 0.0;
  double p_ = 0.0;
};

}  // namespace sitewave::exact
