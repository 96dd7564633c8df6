// The transform size that holds a record and the frequency grid it gives:
// grid index i (counted from 1) stands for the angular frequency (i − 1)·dom,
// index 1 being zero frequency and index nom the Nyquist frequency.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "core/spectral/cplx.hpp"

namespace sitewave {

// 2π as the single-precision value every grid and band of a run uses.
inline constexpr float two_pi = 6.2831855f;

struct transform_size {
  int nf = 0;        // a power of two, at least 4
  int exponent = 0;  // nf = 2^exponent
};

// The smallest power of two of at least 4 that holds nt samples; nothing when
// that would exceed 2^max_exponent.
std::optional<transform_size> transform_size_for(long long nt, int max_exponent);

struct frequency_grid {
  float dur = 0.0f;  // nf·dt, the duration of the zero-padded record, s
  float dom = 0.0f;  // angular frequency step 2π/dur, rad/s
  int nom = 0;       // grid frequencies from zero to Nyquist, nf/2 + 1
  float eom = 0.0f;  // nom·dom, one step above Nyquist
};

frequency_grid grid_of(int nf, float dt);

// Why a record of nt complete rows with time step dt (time of row 2 minus
// time of row 1) cannot be analysed, or nothing when it can.
std::optional<std::string> record_problem(long long nt, float dt);

// The spectrum of one record component: its nt samples zero-padded to nf,
// transformed forward and scaled by dt, so that it approximates the
// continuous Fourier transform. spectrum holds at least nf entries.
void forward_spectrum(std::span<const float> samples, int nf, float dt, std::span<cplx> spectrum);

}  // namespace sitewave
