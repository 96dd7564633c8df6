// Time of the exact SH and P-SV tables for the largest run, side by side with
// the way they were computed before and with the legacy tables: 16385 grid
// frequencies (a 32768-point transform) through the same 50-row stack, 30
// degrees, one thread. The argument is the damping: 0 quality factors growing
// with frequency by one shared coefficient per wave type, 1 by every row's
// own coefficient, 2 not depending on frequency.
#include <benchmark/benchmark.h>

#include <memory>
#include <numbers>
#include <vector>

#include "bench/largest_run.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/ground/amplification.hpp"
#include "reference/exact_before.hpp"

namespace sitewave::exact {
namespace {

using ground::layer_table;
using ground::ml;

using bench::deep_stack;
using bench::dom;
using bench::nom;
using bench::theta;

bench::damping damping_of(const benchmark::State& state) {
  return static_cast<bench::damping>(state.range(0));
}

void count_steps(benchmark::State& state) {
  state.counters["interface_steps/s"] = benchmark::Counter(
      static_cast<double>(nom - 1) * (ml - 1), benchmark::Counter::kIsIterationInvariantRate);
}

void legacy_table(benchmark::State& state,
                  void (*fill)(float, float, int, const layer_table&, float, ground::amp_columns,
                               const work_control&)) {
  const layer_table layers = deep_stack(damping_of(state));
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

// The tables as they were: the rows damped at every frequency, then the
// recursion of one wave type.
template <class Line>
void before_table(benchmark::State& state, Line line) {
  const std::vector<layer_row> rows = rows_of(deep_stack(damping_of(state)));
  std::vector<exact_before::damped_row> damped(rows.size());
  std::vector<std::complex<double>> out(nom);
  for (auto _ : state) {
    for (int k = 0; k < nom; ++k) {
      const double omega = static_cast<double>(k) * static_cast<double>(dom);
      for (std::size_t i = 0; i < rows.size(); ++i) {
        damped[i] = exact_before::damp(rows[i], omega / (2.0 * std::numbers::pi));
      }
      out[static_cast<std::size_t>(k)] = line(rows, damped, omega);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  count_steps(state);
}

void before_sh_table(benchmark::State& state) {
  before_table(state, [](const std::vector<layer_row>& rows,
                         std::span<const exact_before::damped_row> damped, double omega) {
    const double p = std::sin(static_cast<double>(theta)) / rows.back().vs;
    return exact_before::sh_response(damped, p, omega).incident;
  });
}

// The P-SV line as the front end needs it: the stack and the outcrop
// reference of the half-space alone.
void before_psv_table(benchmark::State& state) {
  before_table(state, [](const std::vector<layer_row>& rows,
                         std::span<const exact_before::damped_row> damped, double omega) {
    const double p = std::sin(static_cast<double>(theta)) / rows.back().vp;
    const psv_motion m = exact_before::psv_response(damped, p, omega, incident_wave::p);
    const psv_motion alone =
        exact_before::psv_response(damped.last(1), p, omega, incident_wave::p);
    return m.surface.z / m.incident.z + alone.surface.z;
  });
}

void before_transfer_table(benchmark::State& state) {
  const std::vector<layer_row> rows = rows_of(deep_stack(damping_of(state)));
  std::vector<transfer_at> out(nom);
  for (auto _ : state) {
    exact_before::exact_transfer(rows, static_cast<double>(theta), static_cast<double>(dom), out,
                                 {.threads = 1});
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  count_steps(state);
}

// The present tables through the public entry point: the SH columns, the
// P-SV ones, or all.
void exact_table(benchmark::State& state, transfer_part part) {
  const std::vector<layer_row> rows = rows_of(deep_stack(damping_of(state)));
  std::vector<transfer_at> out(nom);
  for (auto _ : state) {
    exact_transfer(rows, static_cast<double>(theta), static_cast<double>(dom), out,
                   {.threads = 1}, part);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  count_steps(state);
}

void exact_sh_table(benchmark::State& state) {
  exact_table(state, transfer_part::sh);
}
void exact_psv_table(benchmark::State& state) {
  exact_table(state, transfer_part::psv);
}
void exact_transfer_table(benchmark::State& state) {
  exact_table(state, transfer_part::all);
}

// Every table for each kind of damping.
void damping_kinds(benchmark::internal::Benchmark* b) {
  b->ArgName("damping")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
}

BENCHMARK(legacy_sh_table)->Apply(damping_kinds);
BENCHMARK(legacy_psv_table)->Apply(damping_kinds);
BENCHMARK(before_sh_table)->Apply(damping_kinds);
BENCHMARK(exact_sh_table)->Apply(damping_kinds);
BENCHMARK(before_psv_table)->Apply(damping_kinds);
BENCHMARK(exact_psv_table)->Apply(damping_kinds);
BENCHMARK(before_transfer_table)->Apply(damping_kinds);
BENCHMARK(exact_transfer_table)->Apply(damping_kinds);

}  // namespace
}  // namespace sitewave::exact
