// The frequency grid of the exact physics: lines equal single evaluations
// whatever the thread count, a stop request leaves lines alone, negative
// frequencies mirror positive ones, and models that cannot be computed are
// refused with a message naming the row.
#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "close_values.hpp"
#include "core/exact/exact_transfer.hpp"

namespace sitewave::exact {
namespace {

const std::vector<layer_row> model{
    {1.7, 400.0, 15.0, 0.3, 150.0, 10.0, 0.5, 5.0},
    {1.9, 800.0, 25.0, 0.3, 300.0, 20.0, 0.5, 15.0},
    {2.3, 2000.0, 60.0, 0.3, 900.0, 50.0, 0.5, 0.0},
};

constexpr transfer_at sentinel{{-7.0, 7.0}, {}, {}, {}, {}, {}, {}};

TEST(ExactTransferGrid, LinesEqualSingleEvaluationsForAnyThreadCount) {
  const double theta = radians(30.0), dom = 0.37;
  std::vector<transfer_at> one(300, sentinel), two(300, sentinel);
  exact_transfer(model, theta, dom, one, {.threads = 1});
  exact_transfer(model, theta, dom, two, {.threads = 2});
  EXPECT_EQ(one, two);
  for (std::size_t k = 0; k < one.size(); ++k) {
    ASSERT_EQ(one[k], exact_transfer_at(model, theta, static_cast<double>(k) * dom)) << k;
  }
}

TEST(ExactTransferGrid, StopRequestLeavesLinesAlone) {
  const std::atomic<bool> stop{true};
  std::vector<transfer_at> out(300, sentinel);
  exact_transfer(model, 0.2, 0.37, out, {.threads = 2, .stop = &stop});
  EXPECT_EQ(out, std::vector<transfer_at>(300, sentinel));
}

TEST(ExactTransferGrid, NegativeFrequencyGivesConjugate) {
  const transfer_at plus = exact_transfer_at(model, 0.4, 7.0);
  const transfer_at minus = exact_transfer_at(model, 0.4, -7.0);
  EXPECT_EQ(minus.vertical_incident, std::conj(plus.vertical_incident));
  EXPECT_EQ(minus.radial_within, std::conj(plus.radial_within));
  EXPECT_EQ(minus.sh_incident, std::conj(plus.sh_incident));
}

struct refusal {
  std::size_t row;  // 0-based row to spoil
  layer_row values;
  double theta;
  const char* message;
};

TEST(ExactTransferGrid, RefusesWhatCannotBeComputed) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  const layer_row good = model[1];
  const auto with = [&good](auto change) {
    layer_row r = good;
    change(r);
    return r;
  };
  const std::vector<refusal> cases{
      {1, with([](layer_row& r) { r.density = 0.0; }), 0.1, "layer row 2, density 0"},
      {1, with([](layer_row& r) { r.vs = -1.0; }), 0.1, "layer row 2, Vs -1"},
      {0, with([](layer_row& r) { r.vp = 330.0; }), 0.1, "layer row 1, Vp 330"},
      {1, with([](layer_row& r) { r.qs = 0.0; }), 0.1, "layer row 2, Qs 0"},
      {2, with([](layer_row& r) { r.qp = nan; }), 0.1, "layer row 3, Qp nan"},
      {1, with([](layer_row& r) { r.fs = nan; }), 0.1, "layer row 2, Fs nan"},
      {1, with([](layer_row& r) { r.thickness = -2.0; }), 0.1, "layer row 2, thickness -2"},
      {1, good, 1.5707963267948966, "incidence angle 1.5708"},
      {1, good, -0.1, "incidence angle -0.1"},
  };
  for (const refusal& c : cases) {
    std::vector<layer_row> rows = model;
    rows[c.row] = c.values;
    std::vector<transfer_at> out(4, sentinel);
    try {
      exact_transfer(rows, c.theta, 0.37, out, {});
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_EQ(out, std::vector<transfer_at>(4, sentinel)) << c.message;
    EXPECT_THROW(exact_transfer_at(rows, c.theta, 3.0), std::invalid_argument) << c.message;
  }
  // The half-space's thickness is never used; an infinite Q0 means no damping.
  std::vector<layer_row> rows = model;
  rows.back().thickness = nan;
  rows.front().qs = std::numeric_limits<double>::infinity();
  EXPECT_NO_THROW(exact_transfer_at(rows, 0.1, 3.0));
  EXPECT_THROW(exact_transfer_at({}, 0.1, 3.0), std::invalid_argument);
  EXPECT_THROW(exact_transfer(model, 0.1, -1.0, {}, {}), std::invalid_argument);
}

TEST(ExactTransferGrid, RowsOfLegacyTableKeepEveryColumn) {
  ground::layer_table t;
  t.nl = 2;
  for (int l = 1; l <= 2; ++l) {
    t.dns(l) = 1.5f * l;
    t.vp(l) = 500.0f * l;
    t.qp(l) = 20.0f * l;
    t.fp(l) = 0.25f * l;
    t.vs(l) = 200.0f * l;
    t.qs(l) = 10.0f * l;
    t.fs(l) = 0.5f * l;
    t.thk(l) = 7.5f * l;
  }
  const std::vector<layer_row> rows = rows_of(t);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].density, 3.0);
  EXPECT_EQ(rows[1].vp, 1000.0);
  EXPECT_EQ(rows[1].qp, 40.0);
  EXPECT_EQ(rows[1].fp, 0.5);
  EXPECT_EQ(rows[1].vs, 400.0);
  EXPECT_EQ(rows[1].qs, 20.0);
  EXPECT_EQ(rows[1].fs, 1.0);
  EXPECT_EQ(rows[1].thickness, 15.0);
  for (const int nl : {0, ground::ml + 1}) {
    t.nl = nl;
    EXPECT_THROW(rows_of(t), std::invalid_argument) << nl;
  }
}

}  // namespace
}  // namespace sitewave::exact
