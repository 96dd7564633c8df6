// Time of one equivalent-linear run (17 rows, a 4096-point transform, 8
// analyses, one horizontal component, 30 degrees, one thread) beside one
// linear exact analysis of the same rows: the exact transfer over the same
// lines plus one forward and one inverse transform. Their ratio is the cost
// of the loop in linear analyses; eight would be the count of analyses.
#include <benchmark/benchmark.h>

#include <numbers>
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/response/fourier.hpp"
#include "tests/core/response/synthetic_record.hpp"

namespace sitewave::eql {
namespace {

constexpr std::size_t n = 4096;
constexpr double dt = 0.01;
constexpr double theta = std::numbers::pi / 6.0;
constexpr int analyses = 8;

// Sixteen soils stiffening with depth over a half-space; every soil softens
// on a hyperbolic curve (made-up constants).
std::vector<soil_layer> profile() {
  std::vector<soil_layer> layers;
  for (int l = 0; l < 16; ++l) {
    const double step = static_cast<double>(l);
    const double reference = 3e-4 + 1e-4 * step;
    layers.push_back({.thickness = 2.0 + 0.5 * step,
                      .density = 1.7 + 0.02 * step,
                      .vs = 140.0 + 30.0 * step,
                      .vp = 2.2 * (140.0 + 30.0 * step),
                      .damping = 0.02,
                      .modulus_ratio = [reference](double g) { return 1.0 / (1.0 + g / reference); },
                      .damping_ratio = [reference](double g) {
                        return 0.02 + 0.2 * (1.0 - 1.0 / (1.0 + g / reference));
                      },
                      .below_water_table = l >= 4});
  }
  layers.push_back({.density = 2.3, .vs = 1200.0, .vp = 2600.0, .damping = 0.01});
  return layers;
}

const std::vector<double> record = response::testing::broadband_record(3000, dt, 11);

record_input input() {
  return {.acceleration = record,
          .dt = dt,
          .transform_size = n,
          .kind = exact::input_kind::outcrop,
          .theta = theta};
}

void eql_eight_analyses(benchmark::State& state) {
  const std::vector<soil_layer> layers = profile();
  // A tolerance no run reaches: exactly `analyses` analyses.
  const eql_settings settings{.tolerance = 1e-300, .max_iterations = analyses};
  for (auto _ : state) {
    const eql_result r = equivalent_linear(layers, input(), settings, {}, {.threads = 1});
    benchmark::DoNotOptimize(r.profile.layers.data());
  }
  state.counters["analyses"] = analyses;
}

// One linear exact analysis of the same rows and record.
void linear_exact_analysis(benchmark::State& state) {
  const std::vector<soil_layer> layers = profile();
  const layer_profile small = linear_response(layers, input());
  const std::vector<exact::layer_row>& rows = small.rows;
  const response::fourier_transform fft(n);
  std::vector<exact::transfer_at> lines(n / 2 + 1);
  std::vector<double> re(n), im(n);
  const double dom = 2.0 * std::numbers::pi / (static_cast<double>(n) * dt);
  for (auto _ : state) {
    std::fill(re.begin(), re.end(), 0.0);
    std::fill(im.begin(), im.end(), 0.0);
    std::copy(record.begin(), record.end(), re.begin());
    fft.forward(re, im);
    exact::exact_transfer(rows, theta, dom, lines, {.threads = 1});
    for (std::size_t k = 1; k <= n / 2; ++k) {
      const std::complex<double> y = std::complex<double>(re[k], im[k]) * lines[k].sh_incident * 0.5;
      re[k] = y.real();
      im[k] = y.imag();
      re[n - k] = y.real();
      im[n - k] = -y.imag();
    }
    fft.inverse(re, im);
    benchmark::DoNotOptimize(re.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(eql_eight_analyses)->Unit(benchmark::kMillisecond);
BENCHMARK(linear_exact_analysis)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sitewave::eql
