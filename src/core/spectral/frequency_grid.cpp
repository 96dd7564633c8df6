// Transform size, frequency grid and forward spectra of a record.
#include "core/spectral/frequency_grid.hpp"

#include <cmath>
#include <cstdio>

#include "core/spectral/wvfast.hpp"

namespace sitewave {

std::optional<transform_size> transform_size_for(long long nt, int max_exponent) {
  long long nf = 2;
  for (int e = 2; e <= max_exponent; ++e) {
    nf *= 2;
    if (nf >= nt) return transform_size{static_cast<int>(nf), e};
  }
  return std::nullopt;
}

frequency_grid grid_of(int nf, float dt) {
  frequency_grid g;
  g.dur = static_cast<float>(nf) * dt;
  g.dom = two_pi / g.dur;
  g.nom = nf / 2 + 1;
  g.eom = static_cast<float>(g.nom) * g.dom;
  return g;
}

std::optional<std::string> record_problem(long long nt, float dt) {
  if (nt < 2) {
    return "it has " + std::to_string(nt) +
           " complete rows, at least 2 are needed to give the time step";
  }
  if (!std::isfinite(dt) || dt <= 0.0f) {
    char value[32];
    std::snprintf(value, sizeof value, "%.9G", static_cast<double>(dt));
    return std::string("the time step (time of row 2 minus time of row 1) is ") + value +
           "; it must be positive";
  }
  return std::nullopt;
}

void forward_spectrum(std::span<const float> samples, int nf, float dt, std::span<cplx> spectrum) {
  const auto n = static_cast<std::size_t>(nf);
  for (std::size_t k = 0; k < n; ++k) {
    spectrum[k] = k < samples.size() ? cplx{samples[k], 0.0f} : cplx{0.0f, 0.0f};
  }
  wvfast(nf, spectrum, -1);
  const cplx step{dt, 0.0f};
  for (std::size_t k = 0; k < n; ++k) spectrum[k] = spectrum[k] * step;
}

}  // namespace sitewave
