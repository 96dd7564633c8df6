// Time of the response spectra and the smoothed Fourier spectra of one run at
// its largest size: 100 periods at 5 % damping for 3 components of 2 motions
// (input and surface) of 32768 samples at 0.01 s, on one thread, and the
// Konno-Ohmachi smoothing of their 6 spectra of 16385 lines. Apart, the two
// parts of the spectra: the interpolation of the 6 records to 16 samples a
// step, and the oscillators of the finest step (32 samples a step), on each
// vector path.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/response/band_limited.hpp"
#include "core/response/konno_ohmachi.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/response_spectrum.hpp"

namespace sitewave::response {
namespace {

constexpr std::size_t samples = 32768;
constexpr std::size_t lines = samples / 2 + 1;
constexpr double dt = 0.01;

// Noise through a resonance near 3 Hz under a build-up and decay envelope:
// a record whose oscillators swing as in an earthquake.
std::vector<double> record(std::uint32_t seed) {
  std::vector<double> a(samples);
  double y1 = 0.0, y2 = 0.0;
  const double r = 0.97, theta = 2.0 * 3.14159265358979 * 3.0 * dt;
  for (std::size_t i = 0; i < samples; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
    const double y = noise + 2.0 * r * std::cos(theta) * y1 - r * r * y2;
    y2 = y1;
    y1 = y;
    const double t = static_cast<double>(i) / samples;
    a[i] = y * t * t * std::exp(-12.0 * t);
  }
  return a;
}

void response_spectra(benchmark::State& state) {
  std::vector<std::vector<double>> records;
  for (std::uint32_t m = 0; m < 6; ++m) records.push_back(record(m + 1));
  const std::vector<double> periods = default_periods();
  std::vector<double> psa(periods.size());
  for (auto _ : state) {
    for (const auto& a : records) {
      pseudo_spectral_acceleration(a, dt, periods, 0.05, psa, {.threads = 1});
      benchmark::DoNotOptimize(psa.data());
    }
    benchmark::ClobberMemory();
  }
}

void interpolation(benchmark::State& state) {
  std::vector<std::vector<double>> records;
  for (std::uint32_t m = 0; m < 6; ++m) records.push_back(record(m + 1));
  for (auto _ : state) {
    for (const auto& a : records) {
      const auto fine = band_limited_interpolation(a, 16);
      benchmark::DoNotOptimize(fine.data());
    }
    benchmark::ClobberMemory();
  }
}

// The periods below 0.04 s, which take 32 samples a step at 0.01 s.
void finest_oscillators(benchmark::State& state) {
  const auto path = static_cast<simd_path>(state.range(0));
  if (!runs_on_this_machine(path)) {
    state.SkipWithError("this machine cannot run the path");
    return;
  }
  constexpr int finest = 32;
  const auto fine = band_limited_interpolation(record(1), finest);
  std::vector<oscillator> bank;
  for (double t : default_periods())
    if (interpolation_factor(t, dt) == finest)
      bank.push_back(make_oscillator(t, 0.05, dt / finest));
  std::vector<double> peaks(bank.size());
  for (auto _ : state) {
    for (int motion = 0; motion < 6; ++motion) {
      peak_pseudo_accelerations(fine, bank, peaks, path);
      benchmark::DoNotOptimize(peaks.data());
    }
    benchmark::ClobberMemory();
  }
}

void smoothed_spectra(benchmark::State& state) {
  std::vector<std::vector<double>> spectra;
  for (std::uint32_t m = 0; m < 6; ++m) {
    auto a = record(m + 11);
    a.resize(lines);
    for (double& v : a) v = std::abs(v);
    spectra.push_back(a);
  }
  std::vector<double> smoothed(lines);
  for (auto _ : state) {
    for (const auto& a : spectra) {
      konno_ohmachi(a, 1.0 / (samples * dt), konno_ohmachi_bandwidth, smoothed);
      benchmark::DoNotOptimize(smoothed.data());
    }
    benchmark::ClobberMemory();
  }
}

BENCHMARK(response_spectra)->Unit(benchmark::kMillisecond);
BENCHMARK(interpolation)->Unit(benchmark::kMillisecond);
BENCHMARK(finest_oscillators)
    ->Arg(static_cast<int>(simd_path::baseline))
    ->Arg(static_cast<int>(simd_path::avx2))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(smoothed_spectra)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sitewave::response
