// Vertical slowness of a plane wave in a row, on the branch that makes every
// wave either travel in its stated direction or decay away from its source,
// and the factor a wave picks up in crossing the row.
#pragma once

#include <complex>

namespace sitewave::exact {

// η = √(1/v² − p²) with Im η < 0, or Im η = 0 and Re η ≥ 0. With the time
// factor e^(+iωt) and z downwards the down-going wave e^(−iωηz) then decays
// downwards and the up-going wave e^(+iωηz) upwards; an undamped row with
// p > 1/v gives η = −i·√(p² − 1/v²).
std::complex<double> vertical_slowness(std::complex<double> v, double p);

// e^(−iωηh) for omega ≥ 0: on that branch its modulus never exceeds 1.
std::complex<double> crossing(std::complex<double> eta, double omega, double h);

}  // namespace sitewave::exact
