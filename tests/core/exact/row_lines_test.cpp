// A row's terms formed for several lines at once have the bits of the terms
// formed line by line: ordinary rows, damping strong enough to turn the
// division the other way, evanescent undamped rows, sizes that leave the plain
// range (and so take the library's forms), for one to four lines.
#include "core/exact/row_lines.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <vector>

#include "core/exact/vertical_slowness.hpp"

namespace sitewave::exact {
namespace {

bool same_bits(std::complex<double> a, std::complex<double> b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

struct row_case {
  const char* what;
  double density, vp, qp, vs, qs, thickness, p;
};

const row_case cases[] = {
    {"soft soil", 1.8, 400.0, 12.0, 180.0, 8.0, 3.0, 1.0 / 900.0},
    {"strong damping", 1.6, 300.0, 0.9, 120.0, 0.7, 2.0, 1.0 / 500.0},
    {"beyond critical", 2.4, 2600.0, 1e9, 1500.0, 1e9, 40.0, 1.0 / 900.0},
    {"vertical", 2.0, 1000.0, 40.0, 500.0, 40.0, 0.0, 0.0},
    {"tiny velocities", 2.0, 1e-160, 10.0, 1e-160, 10.0, 1.0, 0.0},
    {"huge velocities", 2.0, 1e160, 10.0, 1e160, 10.0, 1.0, 0.0},
};

// A row at several lines: the quality factors grow from line to line.
struct lines_of_row {
  layer_row row;
  std::vector<double> qp, qs, omega;
  explicit lines_of_row(const row_case& c, std::size_t lines)
      : row{c.density, c.vp, c.qp, 0.0, c.vs, c.qs, 0.0, c.thickness} {
    for (std::size_t l = 0; l < lines; ++l) {
      const double grow = 1.0 + 0.37 * static_cast<double>(l);
      qp.push_back(c.qp * grow);
      qs.push_back(c.qs * grow);
      omega.push_back(3.1 + 57.0 * static_cast<double>(l));
    }
  }
  row_at_lines at() const { return {row, qp, qs, omega}; }
};

// The row at line l damped as the tables did it before, from its own
// quality factors.
damped_row damp_at(const lines_of_row& r, std::size_t l) {
  return {r.row.density, damped_velocity(r.row.vp, r.qp[l]), damped_velocity(r.row.vs, r.qs[l]),
          r.row.thickness};
}

TEST(RowLines, ShTermsHaveTheBitsOfOneLineAtATime) {
  for (const row_case& c : cases) {
    for (std::size_t lines = 1; lines <= max_interleaved_lines; ++lines) {
      for (const bool crossed : {true, false}) {
        const lines_of_row r(c, lines);
        std::vector<sh_terms> together(lines);
        sh_terms_of_lines(r.at(), c.p, crossed, together);
        for (std::size_t l = 0; l < lines; ++l) {
          const damped_row d = damp_at(r, l);
          const sh_terms one = crossed ? sh_terms_of(d, c.p, r.omega[l])
                                       : sh_impedance(d, vertical_slowness(d.vs, c.p));
          EXPECT_TRUE(same_bits(together[l].impedance, one.impedance)) << c.what << " " << l;
          EXPECT_TRUE(same_bits(together[l].inv_impedance, one.inv_impedance)) << c.what << " " << l;
          EXPECT_TRUE(same_bits(together[l].crossing, one.crossing)) << c.what << " " << l;
        }
      }
    }
  }
}

TEST(RowLines, PsvTermsHaveTheBitsOfOneLineAtATime) {
  for (const row_case& c : cases) {
    for (std::size_t lines = 1; lines <= max_interleaved_lines; ++lines) {
      for (const bool crossed : {true, false}) {
        const lines_of_row r(c, lines);
        std::vector<psv_terms> together(lines);
        psv_terms_of_lines(r.at(), c.p, crossed, together);
        for (std::size_t l = 0; l < lines; ++l) {
          const damped_row d = damp_at(r, l);
          const psv_terms one = crossed ? psv_terms_of(d, c.p, r.omega[l])
                                        : psv_terms{psv_row_of(d, c.p), 1.0, 1.0};
          const psv_row& a = together[l].row;
          const psv_row& b = one.row;
          EXPECT_EQ(a.p, b.p);
          EXPECT_EQ(a.inv_density, b.inv_density);
          for (const auto& [x, y] : {std::pair{a.eta_p, b.eta_p}, {a.eta_s, b.eta_s},
                                     {a.inv_eta_p, b.inv_eta_p}, {a.inv_eta_s, b.inv_eta_s},
                                     {a.gamma, b.gamma}, {a.two_b2p, b.two_b2p},
                                     {a.shear_p, b.shear_p}, {a.shear_s, b.shear_s},
                                     {together[l].crossing_p, one.crossing_p},
                                     {together[l].crossing_s, one.crossing_s}})
            EXPECT_TRUE(same_bits(x, y)) << c.what << " line " << l << ": " << x << " vs " << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace sitewave::exact

namespace sitewave::exact {
namespace {

// The recursions of four lines side by side in lanes against each line alone
// (the language's arithmetic where plain products meet a NaN): a stack of the
// rows above, so that evanescent, strongly damped and out-of-range rows all
// take part, at lines from zero frequency up.
struct stack_lines {
  std::vector<sh_terms> sh;    // row j of line l at j * lines + l
  std::vector<psv_terms> psv;
  std::size_t lines = 0, rows = 0;
};

stack_lines stack_at(std::span<const double> omega, std::span<const row_case> rows_used) {
  stack_lines s;
  s.lines = omega.size();
  s.rows = rows_used.size();
  const double p = 1.0 / 1200.0;
  for (std::size_t j = 0; j < s.rows; ++j) {
    const bool half_space = j + 1 == s.rows;
    for (std::size_t l = 0; l < s.lines; ++l) {
      const damped_row r = damp_at(lines_of_row(rows_used[j], l + 1), l);
      s.sh.push_back(half_space ? sh_impedance(r, vertical_slowness(r.vs, p))
                                : sh_terms_of(r, p, omega[l]));
      s.psv.push_back(half_space ? psv_terms{psv_row_of(r, p), 1.0, 1.0}
                                 : psv_terms_of(r, p, omega[l]));
    }
  }
  return s;
}

template <class T>
std::vector<T> line_of(const std::vector<T>& all, std::size_t lines, std::size_t l) {
  std::vector<T> one;
  for (std::size_t j = l; j < all.size(); j += lines) one.push_back(all[j]);
  return one;
}

TEST(RowLines, RecursionsOfLinesTogetherHaveTheBitsOfEachAlone) {
  const std::vector<std::vector<row_case>> stacks = {
      {cases[0], cases[1], cases[2], cases[3]},
      {cases[1], cases[0], cases[3]},
      {cases[0], cases[4], cases[5], cases[3]},
      {cases[3]},
  };
  const double omegas_used[] = {0.0, 0.7, 31.0, 480.0};
  for (const auto& rows_used : stacks) {
    for (std::size_t lines = 2; lines <= max_interleaved_lines; ++lines) {
      const stack_lines s = stack_at(std::span(omegas_used).first(lines), rows_used);
      std::vector<sh_columns> sh(lines);
      sh_through_lines(s.sh, sh);
      std::vector<psv_motion> psv(lines);
      psv_through_lines(s.psv, incident_wave::p, psv);
      for (std::size_t l = 0; l < lines; ++l) {
        const sh_columns alone = sh_through(line_of(s.sh, lines, l));
        EXPECT_TRUE(same_bits(sh[l].incident, alone.incident)) << rows_used.size() << " " << l;
        EXPECT_TRUE(same_bits(sh[l].within, alone.within)) << rows_used.size() << " " << l;
        const psv_motion m = psv_through(line_of(s.psv, lines, l), incident_wave::p);
        for (const auto& [x, y] : {std::pair{psv[l].surface.x, m.surface.x}, {psv[l].surface.z, m.surface.z},
                                   {psv[l].base.x, m.base.x}, {psv[l].base.z, m.base.z},
                                   {psv[l].incident.x, m.incident.x}, {psv[l].incident.z, m.incident.z}})
          EXPECT_TRUE(same_bits(x, y)) << rows_used.size() << " rows, line " << l << ": " << x << " vs " << y;
      }
    }
  }
}

}  // namespace
}  // namespace sitewave::exact
