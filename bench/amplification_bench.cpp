// Time of one SH and one P-SV table for the largest run: 16385 grid
// frequencies (a 32768-point transform) through a table of 50 rows, that is
// 49 interfaces per frequency. Three damping profiles: one coefficient shared
// by every row, a coefficient of its own in every row (no power can be
// shared), and damping that does not depend on frequency.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/largest_run.hpp"
#include "core/ground/amplification.hpp"

namespace sitewave::ground {
namespace {

using bench::damping;
using bench::deep_stack;
using bench::dom;
using bench::nom;
using bench::theta;

using routine = void (*)(float, float, int, const layer_table&, float, amp_columns,
                         const work_control&);

void run(benchmark::State& state, routine fill, damping kind) {
  const layer_table layers = deep_stack(kind);
  auto amp = std::make_unique<amp_table>(nom);
  const work_control control{.threads = static_cast<int>(state.range(0))};
  for (auto _ : state) {
    fill(0.0f, dom, nom, layers, theta, amp->columns(), control);
    benchmark::DoNotOptimize(amp->operator()(nom, 1));
    benchmark::ClobberMemory();
  }
  state.counters["interface_steps/s"] = benchmark::Counter(
      static_cast<double>(nom - 1) * (ml - 1), benchmark::Counter::kIsIterationInvariantRate);
}

struct table_case {
  const char* name;  // sh_table and psv_table as in earlier versions, to compare by name
  routine fill;
  damping kind;
};

constexpr table_case cases[] = {
    {"sh_table", sbshml, damping::shared_coefficient},
    {"psv_table", sbudml, damping::shared_coefficient},
    {"sh_table_own_coefficients", sbshml, damping::own_coefficients},
    {"psv_table_own_coefficients", sbudml, damping::own_coefficients},
    {"sh_table_frequency_independent", sbshml, damping::frequency_independent},
    {"psv_table_frequency_independent", sbudml, damping::frequency_independent},
};

}  // namespace
}  // namespace sitewave::ground

int main(int argc, char** argv) {
  using namespace sitewave::ground;
  for (const table_case& c : cases) {
    // The argument is the thread count; wall-clock time, since threads share it.
    benchmark::RegisterBenchmark(c.name, run, c.fill, c.kind)
        ->Arg(1)
        ->Arg(2)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
