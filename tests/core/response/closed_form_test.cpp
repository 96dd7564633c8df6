// Response spectra against closed forms: sines at and off resonance with and
// without damping, a step, the free vibration after the record (which begins
// once the ground acceleration has gone linearly to zero over one more step,
// as for the record followed by zeros), and the two
// limits (a stiff oscillator follows the ground acceleration, a soft one
// stays put while the ground moves under it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/response/response_spectrum.hpp"

namespace sitewave::response {
namespace {

constexpr double pi = std::numbers::pi;

double psa_of(const std::vector<double>& accel, double dt, double period, double damping) {
  const double periods[] = {period};
  double psa[] = {-1.0};
  pseudo_spectral_acceleration(accel, dt, periods, damping, psa);
  return psa[0];
}

std::vector<double> sine(double amplitude, double frequency, double dt, std::size_t samples) {
  std::vector<double> a(samples);
  for (std::size_t i = 0; i < samples; ++i)
    a[i] = amplitude * std::sin(2.0 * pi * frequency * static_cast<double>(i) * dt);
  return a;
}

// The state (u, u') of u'' + 2 zeta w u' + w^2 u = -a after the ground
// acceleration goes linearly from a0 to zero over h, from (u0, v0), and the
// largest |u| on the way (every h / 64).
struct ramp_end {
  double u, v, top;
};

ramp_end ramp_to_rest(double u0, double v0, double a0, double h, double omega, double zeta) {
  const double beta = a0 / (h * omega * omega);
  const double alpha = (-a0 - 2.0 * zeta * omega * beta) / (omega * omega);
  const double wd = omega * std::sqrt(1.0 - zeta * zeta);
  const double c = u0 - alpha;
  const double d = (v0 - beta + zeta * omega * c) / wd;
  auto u = [&](double s) {
    return alpha + beta * s + std::exp(-zeta * omega * s) * (c * std::cos(wd * s) + d * std::sin(wd * s));
  };
  double top = 0.0;
  for (int k = 0; k <= 64; ++k) top = std::max(top, std::abs(u(h * k / 64.0)));
  const double v = beta + std::exp(-zeta * omega * h) *
                              ((-zeta * omega * c + wd * d) * std::cos(wd * h) +
                               (-zeta * omega * d - wd * c) * std::sin(wd * h));
  return {u(h), v, top};
}

// w^2 max |u| of u'' + 2 zeta w u' + w^2 u = -A sin(W t) from rest over
// [0, t_end], then down to rest over one step h, then in free vibration: the
// closed-form solution evaluated every `fine` seconds, the free part for two
// periods after the end.
double sine_response_peak(double amplitude, double forcing, double omega, double zeta, double t_end,
                          double h, double fine) {
  const double d =
      std::pow(omega * omega - forcing * forcing, 2) + std::pow(2.0 * zeta * omega * forcing, 2);
  const double ps = -amplitude * (omega * omega - forcing * forcing) / d;  // steady sin part
  const double pc = amplitude * 2.0 * zeta * omega * forcing / d;          // steady cos part
  const double wd = omega * std::sqrt(1.0 - zeta * zeta);
  const double c1 = -pc;
  const double c2 = (zeta * omega * c1 - ps * forcing) / wd;
  auto u = [&](double t) {
    return ps * std::sin(forcing * t) + pc * std::cos(forcing * t) +
           std::exp(-zeta * omega * t) * (c1 * std::cos(wd * t) + c2 * std::sin(wd * t));
  };
  auto v = [&](double t) {
    const double e = std::exp(-zeta * omega * t);
    return forcing * (ps * std::cos(forcing * t) - pc * std::sin(forcing * t)) +
           e * ((-zeta * omega * c1 + wd * c2) * std::cos(wd * t) +
                (-zeta * omega * c2 - wd * c1) * std::sin(wd * t));
  };
  double top = 0.0;
  for (double t = 0.0; t <= t_end; t += fine) top = std::max(top, std::abs(u(t)));
  const ramp_end r =
      ramp_to_rest(u(t_end), v(t_end), amplitude * std::sin(forcing * t_end), h, omega, zeta);
  top = std::max(top, r.top);
  for (double tau = 0.0; tau <= 4.0 * pi / omega; tau += fine) {
    const double free =
        std::exp(-zeta * omega * tau) *
        (r.u * std::cos(wd * tau) + (r.v + zeta * omega * r.u) / wd * std::sin(wd * tau));
    top = std::max(top, std::abs(free));
  }
  return omega * omega * top;
}

TEST(ClosedForm, UndampedResonanceGrowsByPiPerCycle) {
  // From rest, N whole cycles at resonance end on a peak of pi N times the
  // input amplitude, which the free vibration afterwards keeps.
  const double period = 0.5, amplitude = 2.5, dt = period / 4000.0;
  for (int cycles : {1, 4, 10}) {
    const auto a = sine(amplitude, 1.0 / period, dt, 4000u * cycles + 1);
    EXPECT_NEAR(psa_of(a, dt, period, 0.0) / (pi * cycles * amplitude), 1.0, 1e-6) << cycles;
  }
}

TEST(ClosedForm, SineAtAndOffResonanceMatchesExactSolution) {
  const double period = 1.0, omega = 2.0 * pi / period, dt = period / 4000.0;
  for (double zeta : {0.0, 0.02, 0.05, 0.2}) {
    for (double ratio : {0.5, 1.0, 1.7}) {        // forcing / natural frequency
      if (zeta == 0.0 && ratio == 1.0) continue;  // covered above
      const double t_end = 8.0;                   // an end in mid-swing for every ratio
      const auto a = sine(1.0, ratio / period, dt, static_cast<std::size_t>(t_end / dt) + 1);
      const double exact = sine_response_peak(1.0, ratio * omega, omega, zeta, t_end, dt, dt / 8.0);
      EXPECT_NEAR(psa_of(a, dt, period, zeta) / exact, 1.0, 1e-6)
          << "damping " << zeta << ", frequency ratio " << ratio;
    }
  }
}

TEST(ClosedForm, DampedSineSettlesOnSteadyAmplitude) {
  // A long resonant input: the transient has died away (exp(-zeta w t) ~ 1e-9),
  // and the peak is the steady amplitude A / (2 zeta).
  const double period = 0.2, zeta = 0.05, dt = period / 2000.0;
  const auto a = sine(1.0, 1.0 / period, dt, 2000u * 70 + 1);
  EXPECT_NEAR(psa_of(a, dt, period, zeta) * 2.0 * zeta, 1.0, 1e-6);
}

TEST(ClosedForm, StepOvershootsByDampedFactor) {
  // A sudden constant acceleration A: the oscillator overshoots to
  // A (1 + exp(-pi zeta / sqrt(1 - zeta^2))) at t = pi / w_d, a sample here.
  const double period = 0.8, omega = 2.0 * pi / period;
  for (double zeta : {0.0, 0.05, 0.3}) {
    const double wd = omega * std::sqrt(1.0 - zeta * zeta);
    const double dt = pi / wd / 500.0;
    const std::vector<double> a(3000, -1.5);
    const double expected = 1.5 * (1.0 + std::exp(-pi * zeta / std::sqrt(1.0 - zeta * zeta)));
    EXPECT_NEAR(psa_of(a, dt, period, zeta) / expected, 1.0, 1e-12) << zeta;
  }
}

TEST(ClosedForm, PeakAfterTheRecordEndsCounts) {
  // A constant acceleration A for a quarter period leaves an undamped
  // oscillator at u = -A/w^2 moving at -A/w: with the ground at rest it
  // would swing to sqrt(2) A/w^2, though inside the record it never passed
  // A/w^2; the step down to rest after the last sample adds a little.
  const double period = 2.0, dt = period / 4000.0, omega = 2.0 * pi / period, a0 = 3.0;
  const std::vector<double> a(1001, a0);  // 1000 steps: a quarter period
  const ramp_end r = ramp_to_rest(-a0 / (omega * omega), -a0 / omega, a0, dt, omega, 0.0);
  const double swing = omega * omega * std::hypot(r.u, r.v / omega);
  EXPECT_GT(swing, a0 * std::sqrt(2.0));
  EXPECT_NEAR(psa_of(a, dt, period, 0.0) / swing, 1.0, 1e-12);
}

TEST(ClosedForm, StiffOscillatorFollowsGroundAcceleration) {
  const double dt = 0.001;
  const auto a = sine(0.37, 1.0, dt, 2001);  // two cycles of a 1 Hz sine
  // Relative error (W/w)^2 ~ 1e-6 at a 1 ms period.
  EXPECT_NEAR(psa_of(a, dt, 0.001, 0.05) / 0.37, 1.0, 2e-6);
  EXPECT_EQ(psa_of(a, dt, 0.0, 0.05), *std::max_element(a.begin(), a.end()));
}

// Ground displacement under a piecewise-linear acceleration, at the samples.
double peak_ground_displacement(const std::vector<double>& a, double dt) {
  double v = 0.0, d = 0.0, top = 0.0;
  for (std::size_t i = 0; i + 1 < a.size(); ++i) {
    d += v * dt + (2.0 * a[i] + a[i + 1]) * dt * dt / 6.0;
    v += (a[i] + a[i + 1]) * dt / 2.0;
    top = std::max(top, std::abs(d));
  }
  return top;
}

TEST(ClosedForm, SoftOscillatorDisplacementIsPeakGroundDisplacement) {
  // A pulse a = A (sin x - 2 sin 2x), x = 2 pi t / P, over P = 2 s: it starts
  // and ends at rest, and so do the velocity A P/(2 pi) (cos 2x - cos x) and
  // the displacement A (P/(2 pi))^2 (sin 2x / 2 - sin x), whose peak is
  // 3 sqrt(3)/4 A (P/(2 pi))^2 at x = 2 pi / 3. Spectral displacement
  // PSA / w^2 of a very long period tends to the peak ground displacement;
  // damping leaves an error of order zeta w t_pulse.
  const double dt = 0.001, pulse = 2.0, displacement = 0.1;
  const double scale = pulse / (2.0 * pi);
  const double amplitude = displacement / (scale * scale * 3.0 * std::sqrt(3.0) / 4.0);
  std::vector<double> a(static_cast<std::size_t>(pulse / dt) + 1);
  for (std::size_t i = 0; i < a.size(); ++i) {
    const double x = 2.0 * pi * static_cast<double>(i) * dt / pulse;
    a[i] = amplitude * (std::sin(x) - 2.0 * std::sin(2.0 * x));
  }
  const double pgd = peak_ground_displacement(a, dt);
  EXPECT_NEAR(pgd / displacement, 1.0, 1e-5);  // linear steps: an error of order (w dt)^2
  const double period = 1e4, omega = 2.0 * pi / period;
  EXPECT_NEAR(psa_of(a, dt, period, 0.0) / (omega * omega) / pgd, 1.0, 1e-6);
  EXPECT_NEAR(psa_of(a, dt, period, 0.05) / (omega * omega) / pgd, 1.0, 1e-4);
}

}  // namespace
}  // namespace sitewave::response
