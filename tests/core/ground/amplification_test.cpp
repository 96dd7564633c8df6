// SH and P-SV amplification of the layer stack: worked values, the frequency
// grid and its zero-frequency entry, closed forms for one layer over the
// half-space, and invariances that need no reference data.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <initializer_list>
#include <memory>
#include <string>

#include "core/ground/amplification.hpp"

namespace sitewave::ground {
namespace {

using zd = std::complex<double>;

constexpr float one_hz = 6.2831855f;  // grid step that makes entry k stand for k − 1 Hz
constexpr cplx sentinel{-7.0f, 7.0f};

struct row {
  float dns, vp, qp, fp, vs, qs, fs, thk;
};

layer_table stack_of(std::initializer_list<row> rows) {
  layer_table t;
  for (const row& r : rows) {
    ++t.nl;
    t.dns(t.nl) = r.dns;
    t.vp(t.nl) = r.vp;
    t.qp(t.nl) = r.qp;
    t.fp(t.nl) = r.fp;
    t.vs(t.nl) = r.vs;
    t.qs(t.nl) = r.qs;
    t.fs(t.nl) = r.fs;
    t.thk(t.nl) = r.thk;
  }
  return t;
}

// Entries per column of the tables under test: room for the longest grid a
// test reads back (1001 lines).
constexpr int mom = 1100;

// Every entry holds the sentinel, so untouched entries can be told apart.
std::unique_ptr<amp_table> sentinel_table() {
  auto amp = std::make_unique<amp_table>(mom);
  for (int k = 1; k <= 2; ++k) {
    for (int i = 1; i <= mom; ++i) (*amp)(i, k) = sentinel;
  }
  return amp;
}

// A figure written with d decimals holds to half a unit of its last digit,
// widened by two single-precision steps for the rounding of the figure itself.
void expect_figure(float got, const std::string& figure) {
  const auto dot = figure.find('.');
  const int decimals = static_cast<int>(figure.size() - dot - 1);
  const double want = std::stod(figure);
  const double ulp = std::nextafter(std::fabs(static_cast<float>(want)), INFINITY) -
                     std::fabs(static_cast<float>(want));
  EXPECT_NEAR(got, want, 0.5 * std::pow(10.0, -decimals) + 2.0 * ulp) << figure;
}

void expect_entry(cplx got, const std::string& re, const std::string& im) {
  expect_figure(got.re, re);
  expect_figure(got.im, im);
}

void expect_close(cplx got, zd want, double rel, const char* what, int entry) {
  const double err = std::abs(zd(got.re, got.im) - want);
  EXPECT_LE(err, rel * std::max(1.0, std::abs(want)))
      << what << " at entry " << entry << ": got " << got.re << "," << got.im << " want " << want;
}

bool untouched(amp_table& amp, int from) {
  for (int k = 1; k <= 2; ++k) {
    for (int i = from; i <= mom; ++i) {
      if (!(amp(i, k) == sentinel)) return false;
    }
  }
  return true;
}

const layer_table soft_layer = stack_of({
    {1.8f, 500.0f, 20.0f, 0.0f, 200.0f, 20.0f, 0.0f, 10.0f},
    {2.2f, 2000.0f, 50.0f, 0.0f, 800.0f, 50.0f, 0.0f, 0.0f},
});

const layer_table two_layers = stack_of({
    {1.7f, 400.0f, 15.0f, 0.3f, 150.0f, 10.0f, 0.5f, 5.0f},
    {1.9f, 800.0f, 25.0f, 0.3f, 300.0f, 20.0f, 0.5f, 15.0f},
    {2.3f, 2000.0f, 60.0f, 0.3f, 900.0f, 50.0f, 0.5f, 0.0f},
});

constexpr float thirty_degrees = 0.5235988f;

TEST(AmplificationWorked, ShMatchesWorkedValues) {
  auto amp = sentinel_table();
  sbshml(0.0f, one_hz, 6, soft_layer, 0.0f, amp->columns());
  expect_entry((*amp)(2, 1), "2.0915", "-0.14422");
  expect_entry((*amp)(2, 2), "1.0514", "-0.0026794");
  expect_entry((*amp)(6, 1), "-0.069889", "-8.1965");  // quarter-wavelength frequency
  expect_entry((*amp)(6, 2), "0.6368", "-25.458");

  // The middle row enters its upper interface by the linear rule and its lower
  // interface by the power rule; the power rule throughout would give
  // 4.1055 − 3.6449i and 3.6153 − 0.25953i.
  sbshml(0.0f, one_hz, 4, two_layers, thirty_degrees, amp->columns());
  expect_entry((*amp)(4, 1), "4.0979", "-3.6411");
  expect_entry((*amp)(4, 2), "3.6141", "-0.26558");
}

TEST(AmplificationWorked, PsvMatchesWorkedValues) {
  auto amp = sentinel_table();
  sbudml(0.0f, one_hz, 6, soft_layer, 0.0f, amp->columns());
  expect_entry((*amp)(6, 1), "2.7926", "-0.68858");
  expect_entry((*amp)(6, 2), "1.4818", "-0.033687");
  sbudml(0.0f, one_hz, 4, two_layers, thirty_degrees, amp->columns());
  expect_entry((*amp)(4, 1), "2.5171", "-0.53719");
  expect_entry((*amp)(4, 2), "1.3163", "-0.014273");
}

using routine = void (*)(float, float, int, const layer_table&, float, amp_columns,
                         const work_control&);
constexpr std::array<routine, 2> both_routines{sbshml, sbudml};

TEST(AmplificationGrid, ZeroFrequencyEntryIsSetWithoutEvaluation) {
  for (const routine fill : both_routines) {
    for (const int nom : {0, 1}) {
      for (const float fom : {0.0f, -0.0f}) {
        auto amp = sentinel_table();
        fill(fom, one_hz, nom, two_layers, thirty_degrees, amp->columns(), {});
        EXPECT_EQ((*amp)(1, 1), (cplx{2.0f, 0.0f}));
        EXPECT_EQ((*amp)(1, 2), (cplx{1.0f, 0.0f}));
        EXPECT_TRUE(untouched(*amp, 2)) << "nom " << nom;
      }
    }
  }
}

TEST(AmplificationGrid, NonzeroStartComputesFirstEntryAtThatFrequency) {
  for (const routine fill : both_routines) {
    auto from_zero = sentinel_table();
    fill(0.0f, one_hz, 8, two_layers, thirty_degrees, from_zero->columns(), {});
    auto from_five_hz = sentinel_table();
    const float five_hz = 5.0f * one_hz;
    fill(five_hz, one_hz, 1, two_layers, thirty_degrees, from_five_hz->columns(), {});
    EXPECT_EQ((*from_five_hz)(1, 1), (*from_zero)(6, 1));
    EXPECT_EQ((*from_five_hz)(1, 2), (*from_zero)(6, 2));
    EXPECT_TRUE(untouched(*from_five_hz, 2));
  }
}

TEST(AmplificationGrid, EntriesAboveNomAreLeftAlone) {
  for (const routine fill : both_routines) {
    auto amp = sentinel_table();
    fill(0.0f, one_hz, 40, two_layers, thirty_degrees, amp->columns(), {});
    EXPECT_FALSE((*amp)(40, 2) == sentinel);
    EXPECT_TRUE(untouched(*amp, 41));
  }
}

TEST(AmplificationGrid, HalfSpaceAloneGivesTwoAndOneEverywhere) {
  const layer_table half_space =
      stack_of({{2.2f, 2000.0f, 50.0f, 0.3f, 800.0f, 50.0f, 0.5f, 0.0f}});
  for (const routine fill : both_routines) {
    for (const float fom : {0.0f, 3.5f}) {
      auto amp = sentinel_table();
      fill(fom, 0.7f, 300, half_space, thirty_degrees, amp->columns(), {});
      for (int i = 1; i <= 300; ++i) {
        ASSERT_EQ((*amp)(i, 1), (cplx{2.0f, 0.0f})) << i;
        ASSERT_EQ((*amp)(i, 2), (cplx{1.0f, 0.0f})) << i;
      }
      EXPECT_TRUE(untouched(*amp, 301));
    }
  }
}

TEST(AmplificationGrid, CountsThatAreNoLayerStackLeaveTableAlone) {
  for (const routine fill : both_routines) {
    for (const int nl : {0, -3, ml + 1}) {
      layer_table odd = two_layers;
      odd.nl = nl;
      auto amp = sentinel_table();
      fill(0.0f, one_hz, 10, odd, 0.0f, amp->columns(), {});
      EXPECT_TRUE(untouched(*amp, 1)) << nl;
    }
  }
}

TEST(AmplificationGrid, NomBeyondTableStopsAtItsEnd) {
  const layer_table half_space =
      stack_of({{2.2f, 2000.0f, 50.0f, 0.3f, 800.0f, 50.0f, 0.5f, 0.0f}});
  for (const routine fill : both_routines) {
    auto amp = sentinel_table();
    fill(0.0f, 0.01f, mom + 100, half_space, 0.0f, amp->columns(), {});
    EXPECT_EQ((*amp)(mom, 1), (cplx{2.0f, 0.0f}));
    EXPECT_EQ((*amp)(mom, 2), (cplx{1.0f, 0.0f}));
  }
}

// One layer of thickness h over the half-space: with k the layer's vertical
// wavenumber, column 1 is 2 / (cos kh + i·am·sin kh) and column 2 is 1 / cos kh.
struct one_layer_case {
  float dns1, v1, q1, dns2, v2, q2, h, theta;
};

zd damped(double v, double q) {
  return v * zd(1.0, 0.5 / q);
}

void expect_one_layer_form(amp_table& amp, float dom, int nom, zd vel1, zd vel2, double dns1,
                           double dns2, double h, double cinv2) {
  const zd am = dns1 * vel1 / (dns2 * vel2);
  for (int i = 2; i <= nom; ++i) {
    const double om = static_cast<double>(static_cast<float>(i - 1) * dom);
    const zd kh = om * std::sqrt(1.0 / (vel1 * vel1) - cinv2) * h;
    const zd col1 = 2.0 / (std::cos(kh) + zd(0.0, 1.0) * am * std::sin(kh));
    const zd col2 = 1.0 / std::cos(kh);
    expect_close(amp(i, 1), col1, 2e-5, "column 1", i);
    expect_close(amp(i, 2), col2, 2e-5, "column 2", i);
  }
}

constexpr std::array<one_layer_case, 4> one_layer_cases{{
    {1.8f, 200.0f, 20.0f, 2.2f, 800.0f, 50.0f, 10.0f, 0.0f},
    {1.8f, 200.0f, 20.0f, 2.2f, 800.0f, 50.0f, 10.0f, 0.7f},
    {2.0f, 450.0f, 8.0f, 2.4f, 1500.0f, 80.0f, 37.5f, 0.3f},
    // The layer is faster than the apparent horizontal velocity: its field is
    // evanescent.
    {2.1f, 1000.0f, 30.0f, 2.3f, 800.0f, 50.0f, 12.0f, 1.2f},
}};

TEST(AmplificationClosedForm, ShOneLayerOverHalfSpace) {
  for (const one_layer_case& c : one_layer_cases) {
    const layer_table t = stack_of({
        {c.dns1, 0.0f, 0.0f, 0.0f, c.v1, c.q1, 0.0f, c.h},
        {c.dns2, 0.0f, 0.0f, 0.0f, c.v2, c.q2, 0.0f, 0.0f},
    });
    auto amp = sentinel_table();
    const float dom = 0.37f;
    sbshml(0.0f, dom, 200, t, c.theta, amp->columns());
    const double tsin = std::sin(static_cast<double>(c.theta));
    const double cinv2 = tsin * tsin / (static_cast<double>(c.v2) * static_cast<double>(c.v2));
    expect_one_layer_form(*amp, dom, 200, damped(c.v1, c.q1), damped(c.v2, c.q2), c.dns1, c.dns2,
                          c.h, cinv2);
  }
}

zd combined(zd vs, zd vp) {
  return vs * std::sqrt(3.0 / (1.0 - vs * vs / (vp * vp)));
}

TEST(AmplificationClosedForm, PsvOneLayerUsesCombinedVelocities) {
  for (const one_layer_case& c : one_layer_cases) {
    // P velocities of 2.5 and 1.9 times the S velocities, with their own damping.
    const float vp1 = 2.5f * c.v1, vp2 = 1.9f * c.v2, qp1 = 2.0f * c.q1, qp2 = 1.5f * c.q2;
    const layer_table t = stack_of({
        {c.dns1, vp1, qp1, 0.0f, c.v1, c.q1, 0.0f, c.h},
        {c.dns2, vp2, qp2, 0.0f, c.v2, c.q2, 0.0f, 0.0f},
    });
    auto amp = sentinel_table();
    const float dom = 0.37f;
    sbudml(0.0f, dom, 200, t, c.theta, amp->columns());
    const double tsin = std::sin(static_cast<double>(c.theta));
    const double half_space = std::real(combined(zd(c.v2), zd(vp2)));
    const double cinv2 = tsin * tsin / (half_space * half_space);
    expect_one_layer_form(*amp, dom, 200, combined(damped(c.v1, c.q1), damped(vp1, qp1)),
                          combined(damped(c.v2, c.q2), damped(vp2, qp2)), c.dns1, c.dns2, c.h,
                          cinv2);
  }
}

// Equal impedance on both sides: the layer only delays and attenuates the
// incident wave, 2·e^(−ikh), and never amplifies it beyond the free-surface 2.
TEST(AmplificationPhysics, MatchedImpedanceReflectsNothing) {
  const layer_table matched = stack_of({
      {2.0f, 0.0f, 0.0f, 0.0f, 100.0f, 25.0f, 0.0f, 8.0f},
      {1.0f, 0.0f, 0.0f, 0.0f, 200.0f, 25.0f, 0.0f, 0.0f},
  });
  auto amp = sentinel_table();
  sbshml(0.0f, one_hz, 60, matched, 0.0f, amp->columns());
  const zd v1 = damped(100.0, 25.0);
  for (int i = 2; i <= 60; ++i) {
    const double om = static_cast<double>(static_cast<float>(i - 1) * one_hz);
    const zd delay = std::exp(zd(0.0, -1.0) * (om / v1) * 8.0);
    expect_close((*amp)(i, 1), 2.0 * delay, 2e-5, "column 1", i);
    EXPECT_LT(cmod((*amp)(i, 1)), 2.0f) << i;
  }
}

// A nearly undamped layer of velocity v and thickness h resonates at v/(4h):
// column 1 reaches 2/am there and column 2 grows without bound.
TEST(AmplificationPhysics, UndampedLayerResonatesAtQuarterWavelength) {
  const layer_table t = stack_of({
      {1.8f, 0.0f, 0.0f, 0.0f, 200.0f, 1e7f, 0.0f, 10.0f},
      {2.2f, 0.0f, 0.0f, 0.0f, 800.0f, 1e7f, 0.0f, 0.0f},
  });
  auto amp = sentinel_table();
  sbshml(0.0f, one_hz, 6, t, 0.0f, amp->columns());  // entry 6 is 5 Hz = 200 / (4 · 10)
  const float am = (1.8f * 200.0f) / (2.2f * 800.0f);
  EXPECT_NEAR(cmod((*amp)(6, 1)), 2.0f / am, 1e-3f);
  EXPECT_GT(cmod((*amp)(6, 2)), 1e4f);
}

TEST(AmplificationPhysics, DampedPeakSitsNearQuarterWavelength) {
  auto amp = sentinel_table();
  const float dom = one_hz / 100.0f;  // 0.01 Hz steps
  const int nom = 1001;               // up to 10 Hz
  sbshml(0.0f, dom, nom, soft_layer, 0.0f, amp->columns());
  int peak = 1;
  for (int i = 2; i <= nom; ++i) {
    if (cmod((*amp)(i, 2)) > cmod((*amp)(peak, 2))) peak = i;
  }
  const double peak_hz = (peak - 1) * 0.01;
  EXPECT_NEAR(peak_hz, 5.0, 0.05);
  EXPECT_LT(cmod((*amp)(peak, 2)), 100.0f);  // damping keeps the resonance finite
}

// With vp = 2·vs and the same damping for both wave types the combined
// velocity of every row is its P velocity.
TEST(AmplificationPhysics, PsvWithVpTwiceVsIsShWithVp) {
  const layer_table psv = stack_of({
      {1.7f, 300.0f, 10.0f, 0.5f, 150.0f, 10.0f, 0.5f, 5.0f},
      {1.9f, 600.0f, 20.0f, 0.5f, 300.0f, 20.0f, 0.5f, 15.0f},
      {2.0f, 1100.0f, 35.0f, 0.2f, 550.0f, 35.0f, 0.2f, 22.0f},
      {2.3f, 1800.0f, 50.0f, 0.5f, 900.0f, 50.0f, 0.5f, 0.0f},
  });
  layer_table sh = psv;
  sh.vs = psv.vp;
  auto from_psv = sentinel_table();
  auto from_sh = sentinel_table();
  sbudml(0.0f, 0.9f, 150, psv, 0.6f, from_psv->columns());
  sbshml(0.0f, 0.9f, 150, sh, 0.6f, from_sh->columns());
  for (int i = 1; i <= 150; ++i) {
    ASSERT_EQ((*from_psv)(i, 1), (*from_sh)(i, 1)) << i;
    ASSERT_EQ((*from_psv)(i, 2), (*from_sh)(i, 2)) << i;
  }
}

}  // namespace
}  // namespace sitewave::ground
