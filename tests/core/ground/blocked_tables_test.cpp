// The blocked, threaded routines against the plain line-by-line recursion,
// entry by entry and bit for bit: random ground models with damping that
// grows with frequency, that does not, or a mix; several angles and grids;
// and any number of threads.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "core/ground/amplification.hpp"
#include "reference_tables.hpp"

namespace sitewave::ground {
namespace {

constexpr int mom = 700;

// How the frequency coefficients of a random model are drawn.
enum class coefficients { all_zero, one_shared, own_per_row, mixed };

layer_table random_model(std::mt19937& rng, int nl, coefficients kind) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  const float shared_s = 0.1f + unit(rng), shared_p = 0.1f + unit(rng);
  auto coefficient = [&](float shared) {
    switch (kind) {
      case coefficients::all_zero:
        return 0.0f;
      case coefficients::one_shared:
        return shared;
      case coefficients::own_per_row:
        return 0.05f + 1.2f * unit(rng);
      case coefficients::mixed:
        break;
    }
    const float pick = unit(rng);
    return pick < 0.4f ? 0.0f : pick < 0.5f ? -0.0f : pick < 0.8f ? shared : 1.5f * unit(rng);
  };
  layer_table t;
  t.nl = nl;
  for (int l = 1; l <= nl; ++l) {
    t.dns(l) = 1.5f + unit(rng);
    t.vs(l) = 80.0f + 40.0f * static_cast<float>(l) + 600.0f * unit(rng);
    t.vp(l) = t.vs(l) * (1.5f + 1.5f * unit(rng));
    t.qs(l) = 2.0f + 60.0f * unit(rng);
    t.qp(l) = 2.0f + 90.0f * unit(rng);
    t.fs(l) = coefficient(shared_s);
    t.fp(l) = coefficient(shared_p);
    t.thk(l) = 40.0f * unit(rng);
  }
  return t;
}

std::unique_ptr<amp_table> filled_with(float value) {
  auto amp = std::make_unique<amp_table>(mom);
  for (int k = 1; k <= 2; ++k) {
    for (int i = 1; i <= mom; ++i) (*amp)(i, k) = {value, -value};
  }
  return amp;
}

// Equal bits, or a not-a-number on both sides.
bool same(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

void expect_same_tables(amp_table& got, amp_table& want, const std::string& what) {
  for (int k = 1; k <= 2; ++k) {
    for (int i = 1; i <= mom; ++i) {
      const cplx g = got(i, k), w = want(i, k);
      ASSERT_TRUE(same(g.re, w.re) && same(g.im, w.im))
          << what << ": entry " << i << " column " << k << std::hexfloat << " got " << g.re << ","
          << g.im << " want " << w.re << "," << w.im;
    }
  }
}

using routine = void (*)(float, float, int, const layer_table&, float, amp_columns,
                         const work_control&);
using reference_routine = void (*)(float, float, int, const layer_table&, float, amp_table&);

struct table_kind {
  const char* name;
  routine blocked;
  reference_routine plain;
};
constexpr table_kind sh{"SH", sbshml, reference::sh};
constexpr table_kind psv{"P-SV", sbudml, reference::psv};

void expect_matches_reference(const table_kind& kind, const layer_table& t, float fom, float dom,
                              int nom, float theta, int threads, const std::string& what) {
  auto got = filled_with(-3.0f);
  auto want = filled_with(-3.0f);
  kind.blocked(fom, dom, nom, t, theta, got->columns(), {.threads = threads});
  kind.plain(fom, dom, nom, t, theta, *want);
  expect_same_tables(*got, *want, std::string(kind.name) + ", " + what);
}

TEST(BlockedTables, MatchPlainRecursionOnRandomModels) {
  std::mt19937 rng(20261208);
  const coefficients kinds[] = {coefficients::all_zero, coefficients::one_shared,
                                coefficients::own_per_row, coefficients::mixed};
  const float angles[] = {0.0f, 0.3f, 0.5235988f, 1.2f};
  int n = 0;
  for (const coefficients kind : kinds) {
    for (const int nl : {1, 2, 3, 7, 50}) {
      const layer_table t = random_model(rng, nl, kind);
      const float theta = angles[n % 4];
      // Grids from zero and from a nonzero start; line counts that leave a
      // short last block.
      const float fom = n % 3 == 0 ? 0.37f : 0.0f;
      const int nom = nl == 50 ? 61 : 203 + n;
      const std::string what = "model " + std::to_string(n) + " (" + std::to_string(nl) + " rows)";
      expect_matches_reference(sh, t, fom, 0.21f, nom, theta, 1, what);
      expect_matches_reference(psv, t, fom, 0.21f, nom, theta, 1, what);
      ++n;
    }
  }
}

// Where the lower row's damping is frequency-independent only up to some
// frequency (its base factor times the frequency overflows above it), the
// reuse must give way to the general path line by line.
TEST(BlockedTables, ReuseGivesWayWhereTheLowerRuleStopsGivingTheBase) {
  std::mt19937 rng(7);
  layer_table t = random_model(rng, 4, coefficients::all_zero);
  t.qs(3) = 1.0e38f;
  t.qp(3) = 2.0e38f;
  t.qs(2) = -5.0f;  // a factor below zero never equals its base in the lower rule
  for (const table_kind& kind : {sh, psv}) {
    expect_matches_reference(kind, t, 0.0f, 0.21f, 300, 0.4f, 1, "overflowing base factor");
    expect_matches_reference(kind, t, 0.0f, -0.21f, 300, 0.4f, 1, "falling grid");
  }
}

TEST(BlockedTables, SameBitsForAnyThreadCount) {
  std::mt19937 rng(99);
  for (const coefficients kind : {coefficients::mixed, coefficients::own_per_row}) {
    const layer_table t = random_model(rng, 12, kind);
    for (const table_kind& k : {sh, psv}) {
      auto single = filled_with(0.0f);
      k.blocked(0.0f, 0.05f, mom, t, 0.6f, single->columns(), {.threads = 1});
      for (const int threads : {2, 3, 8}) {
        auto shared = filled_with(0.0f);
        k.blocked(0.0f, 0.05f, mom, t, 0.6f, shared->columns(), {.threads = threads});
        expect_same_tables(*shared, *single,
                           std::string(k.name) + ", " + std::to_string(threads) + " threads");
      }
    }
  }
}

TEST(BlockedTables, RaisedStopLeavesTableUntouched) {
  std::mt19937 rng(3);
  const layer_table t = random_model(rng, 10, coefficients::mixed);
  const std::atomic<bool> stop{true};
  for (const table_kind& k : {sh, psv}) {
    auto amp = filled_with(5.0f);
    k.blocked(0.5f, 0.05f, mom, t, 0.6f, amp->columns(), {.threads = 2, .stop = &stop});
    EXPECT_EQ((*amp)(1, 1), (cplx{5.0f, -5.0f})) << k.name;
    EXPECT_EQ((*amp)(mom, 2), (cplx{5.0f, -5.0f})) << k.name;
  }
}

}  // namespace
}  // namespace sitewave::ground
