// Time of one SH and one P-SV table for the largest run: 16385 grid
// frequencies (a 32768-point transform) through a table of 50 rows, that is
// 49 interfaces per frequency.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/ground/amplification.hpp"

namespace sitewave::ground {
namespace {

constexpr int nom = 16385;
constexpr float dt = 0.01f;
constexpr float dom = 6.2831855f / (32768.0f * dt);
constexpr float theta = 0.5235988f;

// Soft rows over stiffer ones, damping rising with frequency in every row so
// that no rule takes a shortcut.
layer_table deep_stack() {
  layer_table t;
  t.nl = ml;
  for (int l = 1; l <= ml; ++l) {
    const float depth_step = static_cast<float>(l - 1);
    t.dns(l) = 1.6f + 0.02f * depth_step;
    t.vs(l) = 120.0f + 25.0f * depth_step;
    t.vp(l) = 2.2f * t.vs(l);
    t.qs(l) = 8.0f + depth_step;
    t.qp(l) = 12.0f + depth_step;
    t.fs(l) = 0.5f;
    t.fp(l) = 0.3f;
    t.thk(l) = 2.0f + 0.5f * depth_step;
  }
  return t;
}

void run(benchmark::State& state, void (*fill)(float, float, int, const layer_table&, float,
                                               amp_columns, const work_control&)) {
  const layer_table layers = deep_stack();
  auto amp = std::make_unique<amp_table>(nom);
  for (auto _ : state) {
    fill(0.0f, dom, nom, layers, theta, amp->columns(), {});
    benchmark::DoNotOptimize(amp->operator()(nom, 1));
    benchmark::ClobberMemory();
  }
  state.counters["interface_steps/s"] = benchmark::Counter(
      static_cast<double>(nom - 1) * (ml - 1), benchmark::Counter::kIsIterationInvariantRate);
}

void sh_table(benchmark::State& state) {
  run(state, sbshml);
}
void psv_table(benchmark::State& state) {
  run(state, sbudml);
}

BENCHMARK(sh_table)->Unit(benchmark::kMillisecond);
BENCHMARK(psv_table)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sitewave::ground
