// The loop against a brute-force equivalent-linear analysis at vertical
// incidence written here the plain way, in long double: a direct DFT of the
// record, layer propagator matrices from the surface down for the motion and
// stress at every depth asked, direct inverse sums for each history, and the
// same rule for the properties of the next analysis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "eql_cases.hpp"

namespace sitewave::eql {
namespace {

using zl = std::complex<long double>;
constexpr long double pi = std::numbers::pi_v<long double>;

struct reference_result {
  std::vector<iteration_step> history;
  std::vector<layer_result> layers;
};

class brute_force {
 public:
  brute_force(std::vector<soil_layer> layers, std::vector<double> record, double dt, std::size_t n,
              exact::input_kind kind)
      : layers_(std::move(layers)), dt_(dt), n_(n), kind_(kind), spectrum_(n / 2 + 1) {
    for (std::size_t m = 0; m < n; ++m) {
      const long double angle = 2.0L * pi * static_cast<long double>(m) / static_cast<long double>(n);
      circle_.emplace_back(std::cos(angle), std::sin(angle));
    }
    for (std::size_t k = 0; k <= n / 2; ++k) {
      for (std::size_t j = 0; j < record.size(); ++j) spectrum_[k] += static_cast<long double>(record[j]) * turn(j * k, -1);
    }
  }

  reference_result run(const eql_settings& s) const {
    const std::size_t rows = layers_.size();
    std::vector<long double> ratio(rows, 1.0L), damping(rows);
    for (std::size_t j = 0; j < rows; ++j) damping[j] = layers_[j].damping;
    reference_result out;
    for (int it = 1;; ++it) {
      const auto found = analyse(ratio, damping);
      iteration_step step;
      std::vector<long double> next_ratio = ratio, next_damping = damping;
      for (std::size_t j = 0; j + 1 < rows; ++j) {
        if (!layers_[j].modulus_ratio) continue;
        const double strain = s.strain_ratio * static_cast<double>(peak(found.strain[j]));
        next_ratio[j] = layers_[j].modulus_ratio(strain);
        next_damping[j] = layers_[j].damping_ratio(strain);
        const auto change = [](long double a, long double b) {
          return static_cast<double>(std::abs(a - b) / std::max(a, b));
        };
        step.modulus_change = std::max(step.modulus_change, change(next_ratio[j], ratio[j]));
        step.damping_change = std::max(step.damping_change, change(next_damping[j], damping[j]));
      }
      out.history.push_back(step);
      const bool agreed = step.modulus_change < s.tolerance && step.damping_change < s.tolerance;
      if (agreed || it == s.max_iterations) {
        for (std::size_t j = 0; j < rows; ++j) {
          out.layers.push_back({.modulus_ratio = static_cast<double>(ratio[j]),
                                .damping = static_cast<double>(damping[j]),
                                .max_strain = static_cast<double>(peak(found.strain[j])),
                                .max_stress = static_cast<double>(peak(found.stress[j])),
                                .pga = static_cast<double>(peak(found.acceleration[j]))});
        }
        return out;
      }
      ratio = next_ratio;
      damping = next_damping;
    }
  }

 private:
  // e^(±2πi·m/N)
  zl turn(std::size_t m, int sign) const {
    const zl c = circle_[m % n_];
    return sign > 0 ? c : std::conj(c);
  }

  struct spectra {
    std::vector<std::vector<zl>> strain, stress, acceleration;  // [row][line]
  };

  // Strain and stress at the mid-depth of each layer (the half-space: its
  // top), acceleration at each top, per line, for the record.
  spectra lines(const std::vector<long double>& ratio, const std::vector<long double>& damping) const {
    const std::size_t rows = layers_.size();
    spectra s{std::vector<std::vector<zl>>(rows, std::vector<zl>(n_ / 2 + 1)),
              std::vector<std::vector<zl>>(rows, std::vector<zl>(n_ / 2 + 1)),
              std::vector<std::vector<zl>>(rows, std::vector<zl>(n_ / 2 + 1))};
    for (std::size_t k = 1; k <= n_ / 2; ++k) {
      const long double omega = 2.0L * pi * k / (n_ * dt_);
      zl u = 1.0L, tau = 0.0L;  // at the surface, per unit surface motion
      std::vector<zl> strain(rows), stress(rows), top(rows);
      zl kb, gb;
      for (std::size_t j = 0; j < rows; ++j) {
        const soil_layer& l = layers_[j];
        const zl v = static_cast<long double>(l.vs) * std::sqrt(ratio[j]) * zl(1.0L, damping[j]);
        const zl g = static_cast<long double>(l.density) * v * v;
        const zl kz = omega / v;
        top[j] = u;
        const auto propagate = [&](long double z, zl& uz, zl& tz) {
          uz = u * std::cos(kz * z) + tau * std::sin(kz * z) / (kz * g);
          tz = -u * kz * g * std::sin(kz * z) + tau * std::cos(kz * z);
        };
        if (j + 1 == rows) {
          stress[j] = tau;
          strain[j] = tau / g;
          kb = kz;
          gb = g;
          break;
        }
        zl um, tm;
        propagate(l.thickness / 2.0L, um, tm);
        stress[j] = tm;
        strain[j] = tm / g;
        propagate(l.thickness, um, tm);
        u = um;
        tau = tm;
      }
      // The up-going wave at the top of the half-space: u = D + U, τ = ikG(U − D).
      const zl incident = (u - zl(0.0L, 1.0L) * tau / (kb * gb)) / 2.0L;
      const zl reference = kind_ == exact::input_kind::incident ? incident
                           : kind_ == exact::input_kind::outcrop ? 2.0L * incident
                                                                 : u;
      const zl a = spectrum_[k] / reference;
      for (std::size_t j = 0; j < rows; ++j) {
        s.strain[j][k] = -strain[j] * a / (omega * omega);
        s.stress[j][k] = -stress[j] * a / (omega * omega);
        s.acceleration[j][k] = top[j] * a;
      }
    }
    return s;
  }

  struct histories {
    std::vector<std::vector<long double>> strain, stress, acceleration;
  };

  // x(t_j) = (1/N)·Σ over all N lines, the mirror lines the conjugates.
  std::vector<long double> history(const std::vector<zl>& line) const {
    std::vector<long double> x(n_);
    for (std::size_t j = 0; j < n_; ++j) {
      long double sum = line[n_ / 2].real() * ((j % 2 == 0) ? 1.0L : -1.0L);
      for (std::size_t k = 1; k < n_ / 2; ++k) sum += 2.0L * (line[k] * turn(j * k, 1)).real();
      x[j] = sum / n_;
    }
    return x;
  }

  histories analyse(const std::vector<long double>& ratio,
                    const std::vector<long double>& damping) const {
    const spectra s = lines(ratio, damping);
    histories h;
    for (std::size_t j = 0; j < layers_.size(); ++j) {
      h.strain.push_back(history(s.strain[j]));
      h.stress.push_back(history(s.stress[j]));
      h.acceleration.push_back(history(s.acceleration[j]));
    }
    return h;
  }

  static long double peak(const std::vector<long double>& x) {
    long double p = 0.0L;
    for (const long double v : x) p = std::max(p, std::abs(v));
    return p;
  }

  std::vector<soil_layer> layers_;
  double dt_;
  std::size_t n_;
  exact::input_kind kind_;
  std::vector<zl> spectrum_;
  std::vector<zl> circle_;  // e^(2πi·m/N), m < N
};

void expect_close(double got, double want, double rel, const std::string& what) {
  EXPECT_NEAR(got, want, rel * std::abs(want)) << what;
}

TEST(EqlBruteForce, VerticalIncidenceMatchesAPlainAnalysis) {
  constexpr std::size_t n = 512;
  constexpr double dt = 0.01;
  // Band-limited well below the Nyquist frequency, 400 samples padded to 512.
  const std::vector<double> record = testing::ricker(400, dt, 4.0, 1.0, 2.5);
  const std::vector<soil_layer> layers = testing::three_soils();
  const eql_settings settings{.strain_ratio = 0.6, .tolerance = 0.002, .max_iterations = 12};
  for (const exact::input_kind kind :
       {exact::input_kind::outcrop, exact::input_kind::incident, exact::input_kind::within}) {
    const reference_result want = brute_force(layers, record, dt, n, kind).run(settings);
    const eql_result got = equivalent_linear(
        layers, {.acceleration = record, .dt = dt, .transform_size = n, .kind = kind, .theta = 0.0},
        settings);
    const std::string name = "input kind " + std::to_string(static_cast<int>(kind));
    ASSERT_EQ(got.history.size(), want.history.size()) << name;
    EXPECT_GT(want.history.size(), 3u) << name;
    for (std::size_t i = 0; i < want.history.size(); ++i) {
      expect_close(got.history[i].modulus_change, want.history[i].modulus_change, 1e-8, name);
      expect_close(got.history[i].damping_change, want.history[i].damping_change, 1e-8, name);
    }
    for (std::size_t j = 0; j < layers.size(); ++j) {
      const layer_result &g = got.profile.layers[j], &w = want.layers[j];
      const std::string row = name + ", row " + std::to_string(j + 1);
      expect_close(g.modulus_ratio, w.modulus_ratio, 1e-10, row);
      expect_close(g.damping, w.damping, 1e-10, row);
      expect_close(g.max_strain, w.max_strain, 1e-10, row);
      expect_close(g.max_stress, w.max_stress, 1e-10, row);
      expect_close(g.pga, w.pga, 1e-10, row);
    }
    EXPECT_LT(got.profile.layers[0].modulus_ratio, 0.8) << name;
  }
}

}  // namespace
}  // namespace sitewave::eql
