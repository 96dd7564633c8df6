// Where the results of an analysis stop being numbers, and why.
#include "cli/analysis/finite_checks.hpp"

#include <cmath>
#include <cstdio>
#include <limits>

namespace sitewave::cli {

namespace {

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::optional<std::size_t> first_not_finite(const std::vector<std::complex<double>>& v) {
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (!std::isfinite(v[i].real()) || !std::isfinite(v[i].imag())) return i;
  }
  return std::nullopt;
}

std::string cause_of(const analysis& a, physics_kind physics, bool amplification_finite) {
  if (!std::isfinite(a.grid.dom) || !std::isfinite(static_cast<double>(a.grid.dom) * a.grid.nom)) {
    return "the time step " + number(a.dt) +
           " s puts the frequencies of the grid beyond single precision";
  }
  if (amplification_finite) {
    return "the record's values, amplified, exceed single precision (3.4e38) in the transforms; "
           "a smaller --scale is needed";
  }
  if (physics == physics_kind::legacy) {
    return "the model overflows the single-precision layer recursion of the legacy physics; "
           "--physics exact does not";
  }
  return "the exact recursion overflowed: the model's layers or damping are beyond what it "
         "can carry";
}

}  // namespace

std::string not_finite_results::what() const {
  std::string text;
  if (transfer_from_hz) text = "the amplification from " + number(*transfer_from_hz) + " Hz";
  std::string components;
  std::optional<double> from;
  for (std::size_t c = 0; c < 3; ++c) {
    if (!surface_from_s[c]) continue;
    if (!components.empty()) components += ", ";
    components += component_names[c];
    from = from ? std::min(*from, *surface_from_s[c]) : *surface_from_s[c];
  }
  if (from) {
    if (!text.empty()) text += "; ";
    text.append("the surface ").append(components).append(" from ").append(number(*from));
    text += " s (and their spectra)";
  }
  return text;
}

not_finite_results find_not_finite(const analysis& a, physics_kind physics) {
  not_finite_results r;
  const double df = 1.0 / (static_cast<double>(a.nf) * a.dt);
  std::optional<std::size_t> line = first_not_finite(a.sh);
  for (const auto* v : {&a.sh_h2, &a.psv, &a.radial}) {
    const auto other = first_not_finite(*v);
    if (other && (!line || *other < *line)) line = other;
  }
  if (line) r.transfer_from_hz = static_cast<double>(*line) * df;
  for (std::size_t c = 0; c < a.components; ++c) {
    const auto& s = a.surface[c];
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (std::isfinite(s[i])) continue;
      r.surface_from_s[c] = static_cast<double>(i) * a.dt;
      break;
    }
  }
  const bool any_surface = r.surface_from_s[0] || r.surface_from_s[1] || r.surface_from_s[2];
  if (r.transfer_from_hz || any_surface) r.cause = cause_of(a, physics, !r.transfer_from_hz);
  return r;
}

}  // namespace sitewave::cli
