// Time of the exact SH and P-SV tables for the largest run, side by side with
// the legacy tables: 16385 grid frequencies (a 32768-point transform) through
// the same 50-row stack, 30 degrees, one thread.
#include <benchmark/benchmark.h>

#include <memory>
#include <numbers>
#include <vector>

#include "bench/largest_run.hpp"
#include "core/exact/damping.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/exact/psv_recursion.hpp"
#include "core/exact/sh_recursion.hpp"
#include "core/ground/amplification.hpp"

namespace sitewave::exact {
namespace {

using ground::layer_table;
using ground::ml;

using bench::deep_stack;
using bench::dom;
using bench::nom;
using bench::theta;

void count_steps(benchmark::State& state) {
  state.counters["interface_steps/s"] = benchmark::Counter(
      static_cast<double>(nom - 1) * (ml - 1), benchmark::Counter::kIsIterationInvariantRate);
}

void legacy_table(benchmark::State& state,
                  void (*fill)(float, float, int, const layer_table&, float, ground::amp_columns,
                               const work_control&)) {
  const layer_table layers = deep_stack();
  auto amp = std::make_unique<ground::amp_table>(nom);
  for (auto _ : state) {
    fill(0.0f, dom, nom, layers, theta, amp->columns(), {});
    benchmark::DoNotOptimize(amp->operator()(nom, 1));
    benchmark::ClobberMemory();
  }
  count_steps(state);
}

void legacy_sh_table(benchmark::State& state) {
  legacy_table(state, ground::sbshml);
}
void legacy_psv_table(benchmark::State& state) {
  legacy_table(state, ground::sbudml);
}

// One table of a single wave type: the rows damped at every frequency, then
// the recursion of that type.
template <class Line>
void exact_table(benchmark::State& state, Line line) {
  const std::vector<layer_row> rows = rows_of(deep_stack());
  std::vector<damped_row> damped(rows.size());
  std::vector<std::complex<double>> out(nom);
  for (auto _ : state) {
    for (int k = 0; k < nom; ++k) {
      const double omega = static_cast<double>(k) * static_cast<double>(dom);
      for (std::size_t i = 0; i < rows.size(); ++i) {
        damped[i] = damp(rows[i], omega / (2.0 * std::numbers::pi));
      }
      out[static_cast<std::size_t>(k)] = line(rows, damped, omega);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  count_steps(state);
}

void exact_sh_table(benchmark::State& state) {
  exact_table(state, [](const std::vector<layer_row>& rows, std::span<const damped_row> damped,
                        double omega) {
    const double p = std::sin(static_cast<double>(theta)) / rows.back().vs;
    return sh_response(damped, p, omega).incident;
  });
}

// The P-SV line as the front end needs it: the stack and the outcrop
// reference of the half-space alone.
void exact_psv_table(benchmark::State& state) {
  exact_table(state, [](const std::vector<layer_row>& rows, std::span<const damped_row> damped,
                        double omega) {
    const double p = std::sin(static_cast<double>(theta)) / rows.back().vp;
    const psv_motion m = psv_response(damped, p, omega, incident_wave::p);
    const psv_motion alone = psv_response(damped.last(1), p, omega, incident_wave::p);
    return m.surface.z / m.incident.z + alone.surface.z;
  });
}

// Every column of transfer_at, through the public entry point.
void exact_transfer_table(benchmark::State& state) {
  const std::vector<layer_row> rows = rows_of(deep_stack());
  std::vector<transfer_at> out(nom);
  for (auto _ : state) {
    exact_transfer(rows, static_cast<double>(theta), static_cast<double>(dom), out, {.threads = 1});
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  count_steps(state);
}

BENCHMARK(legacy_sh_table)->Unit(benchmark::kMillisecond);
BENCHMARK(legacy_psv_table)->Unit(benchmark::kMillisecond);
BENCHMARK(exact_sh_table)->Unit(benchmark::kMillisecond);
BENCHMARK(exact_psv_table)->Unit(benchmark::kMillisecond);
BENCHMARK(exact_transfer_table)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sitewave::exact
