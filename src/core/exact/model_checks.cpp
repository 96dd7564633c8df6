// The limits a row must keep for the exact physics: positive density,
// velocities and quality factors, a positive bulk modulus, a thickness of
// zero or more above the half-space, and an angle short of grazing.
#include "core/exact/model_checks.hpp"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <string>

namespace sitewave::exact {

namespace {

std::string shown(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

[[noreturn]] void refuse(const std::string& what) {
  throw std::invalid_argument("exact transfer: " + what);
}

void require(bool ok, const std::string& where, const char* title, double value,
             const char* expected) {
  if (!ok) refuse(where + title + " " + shown(value) + ": " + expected);
}

void check_row(const layer_row& r, std::size_t number, bool half_space) {
  const std::string where = "layer row " + std::to_string(number) + ", ";
  constexpr const char* finite_positive = "a finite value above zero is expected";
  require(std::isfinite(r.density) && r.density > 0.0, where, "density", r.density,
          finite_positive);
  require(std::isfinite(r.vs) && r.vs > 0.0, where, "Vs", r.vs, finite_positive);
  // Below Vs·√(4/3) the bulk modulus would be negative: no solid is like that.
  require(std::isfinite(r.vp) && 3.0 * r.vp * r.vp > 4.0 * r.vs * r.vs, where, "Vp", r.vp,
          "a finite value above Vs·√(4/3) (a positive bulk modulus) is expected");
  // An infinite base factor stands for an undamped row.
  constexpr const char* positive = "a value above zero (or infinity for no damping) is expected";
  require(r.qp > 0.0, where, "Qp", r.qp, positive);
  require(r.qs > 0.0, where, "Qs", r.qs, positive);
  require(std::isfinite(r.fp), where, "Fp", r.fp, "a finite number is expected");
  require(std::isfinite(r.fs), where, "Fs", r.fs, "a finite number is expected");
  if (!half_space) {
    require(std::isfinite(r.thickness) && r.thickness >= 0.0, where, "thickness", r.thickness,
            "a finite value of zero or more is expected");
  }
}

}  // namespace

void check_model(std::span<const layer_row> rows, double theta) {
  if (rows.empty()) refuse("no layer rows: at least the half-space is expected");
  for (std::size_t i = 0; i < rows.size(); ++i) check_row(rows[i], i + 1, i + 1 == rows.size());
  // At grazing incidence the incident wave has no vertical motion to refer to.
  if (!(theta >= 0.0 && theta < std::numbers::pi / 2.0)) {
    refuse("incidence angle " + shown(theta) +
           " rad: a value of at least 0 and below π/2 (90 degrees) is expected");
  }
}

}  // namespace sitewave::exact
