// Impedance ratios and vertical slownesses of the interfaces, line by line,
// from the damped velocities of the rows; the powers of frequency of the
// damping rule are formed once per block for each distinct coefficient, and
// rows with frequency-independent damping take terms formed once per table.
#include "core/ground/interface_terms.hpp"

#include <algorithm>

#include "core/ground/block_complex.hpp"
#include "core/ground/damping.hpp"

namespace sitewave::ground {

namespace {

constexpr cplx one{1.0f, 0.0f};

// Vertical slowness of a row of complex velocity v1: sqrt(1/v1² − cinv2).
void slowness_lines(const complex_lines& v1, cplx cinv2, complex_lines& slowness) {
  complex_lines v21;
  for (std::size_t j = 0; j < block_lines; ++j) v21.set(j, v1.at(j) * v1.at(j));
  complex_lines inverse;
  quotient(complex_lines::filled(one), v21, inverse);
  complex_lines radicand;
  for (std::size_t j = 0; j < block_lines; ++j) radicand.set(j, inverse.at(j) - cinv2);
  square_root(radicand, slowness);
}

// (dns1 · v1) / (dns2 · v2).
void impedance_lines(float dns1, const complex_lines& v1, float dns2, const complex_lines& v2,
                     complex_lines& am) {
  complex_lines upper;
  complex_lines lower;
  for (std::size_t j = 0; j < block_lines; ++j) {
    upper.set(j, dns1 * v1.at(j));
    lower.set(j, dns2 * v2.at(j));
  }
  quotient(upper, lower, am);
}

bool all_equal(const line_values& values, float v) {
  return std::all_of(values.begin(), values.end(), [v](float x) { return x == v; });
}

}  // namespace

interface_terms::interface_terms(const layer_table& layers, const wave_model& model, cplx cinv2)
    : layers_(layers), model_(model), cinv2_(cinv2) {
  const auto rows = static_cast<std::size_t>(std::max(layers.nl, 0)) + 1;
  for (auto& index : growth_index_) index.assign(rows, -1);
  upper_fixed_.assign(rows, false);
  lower_may_be_fixed_.assign(rows, false);
  for (per_row* terms : {&upper_v_, &lower_v_, &fixed_slowness_, &fixed_am_}) {
    terms->assign(rows, cplx{});
  }
  add_coefficients();
  form_fixed_terms();
}

void interface_terms::add_coefficients() {
  const int nl = layers_.nl;
  for (int l = 1; l < nl; ++l) {
    upper_fixed_[static_cast<std::size_t>(l)] = true;
    for (std::size_t w = 0; w < model_.waves.size(); ++w) {
      const float f = (*model_.waves[w].f)(l);
      int& index = growth_index_[w][static_cast<std::size_t>(l)];
      if (f == 0.0f) {
        // freq^±0 is exactly 1 at every frequency, whatever the library.
        index = -1;
        continue;
      }
      upper_fixed_[static_cast<std::size_t>(l)] = false;
      const auto found = std::find(coefficients_.begin(), coefficients_.end(), f);
      index = static_cast<int>(found - coefficients_.begin());
      if (found == coefficients_.end()) coefficients_.push_back(f);
    }
  }
}

void interface_terms::form_fixed_terms() {
  const int nl = layers_.nl;
  const std::size_t waves = model_.waves.size();
  std::array<complex_lines, max_waves> damped;
  complex_lines v;
  for (int l = 1; l <= nl; ++l) {
    const auto row = static_cast<std::size_t>(l);
    bool lower_fixed = l > 1;
    for (std::size_t w = 0; w < waves; ++w) {
      const wave_columns& c = model_.waves[w];
      lower_fixed = lower_fixed && (*c.f)(l) == 0.0f && (*c.q0)(l) > 0.0f;
    }
    lower_may_be_fixed_[row] = lower_fixed;
    if (upper_fixed_[row]) {
      for (std::size_t w = 0; w < waves; ++w) {
        const wave_columns& c = model_.waves[w];
        const float q = upper_q((*c.q0)(l), (*c.f)(l), 1.0f);
        damped[w] = complex_lines::filled(damped_velocity((*c.v)(l), q));
      }
      model_.velocity(std::span(damped).first(waves), v);
      upper_v_[row] = v.at(0);
    }
    if (lower_fixed) {
      for (std::size_t w = 0; w < waves; ++w) {
        const wave_columns& c = model_.waves[w];
        damped[w] = complex_lines::filled(damped_velocity((*c.v)(l), (*c.q0)(l)));
      }
      model_.velocity(std::span(damped).first(waves), v);
      lower_v_[row] = v.at(0);
    }
  }
  complex_lines term;
  for (int il = 1; il < nl; ++il) {
    const auto upper = static_cast<std::size_t>(il);
    if (!upper_fixed_[upper]) continue;
    const complex_lines v1 = complex_lines::filled(upper_v_[upper]);
    slowness_lines(v1, cinv2_, term);
    fixed_slowness_[upper] = term.at(0);
    if (!lower_may_be_fixed_[upper + 1]) continue;
    impedance_lines(layers_.dns(il), v1, layers_.dns(il + 1),
                    complex_lines::filled(lower_v_[upper + 1]), term);
    fixed_am_[upper] = term.at(0);
  }
}

void interface_terms::start_block(const line_values& freq, block_powers& powers) const {
  powers.freq = freq;
  powers.growth.resize(coefficients_.size());
  for (std::size_t k = 0; k < coefficients_.size(); ++k) {
    growth_lines(coefficients_[k], freq, powers.growth[k]);
  }
}

void interface_terms::upper_velocity(int l, const block_powers& powers, complex_lines& v) const {
  static constexpr line_values unit_growth = [] {
    line_values ones{};
    ones.fill(1.0f);
    return ones;
  }();
  const std::size_t waves = model_.waves.size();
  std::array<complex_lines, max_waves> damped;
  line_values q;
  for (std::size_t w = 0; w < waves; ++w) {
    const wave_columns& c = model_.waves[w];
    const int index = growth_index_[w][static_cast<std::size_t>(l)];
    upper_q_lines((*c.q0)(l),
                  index < 0 ? unit_growth : powers.growth[static_cast<std::size_t>(index)], q);
    damped_velocity_lines((*c.v)(l), q, damped[w]);
  }
  model_.velocity(std::span(damped).first(waves), v);
}

bool interface_terms::lower_velocity(int l, const block_powers& powers, complex_lines& v) const {
  const std::size_t waves = model_.waves.size();
  std::array<line_values, max_waves> q;
  bool fixed = lower_may_be_fixed_[static_cast<std::size_t>(l)];
  for (std::size_t w = 0; w < waves; ++w) {
    const wave_columns& c = model_.waves[w];
    lower_q_lines((*c.q0)(l), (*c.f)(l), powers.freq, q[w]);
    fixed = fixed && all_equal(q[w], (*c.q0)(l));
  }
  if (fixed) return true;
  std::array<complex_lines, max_waves> damped;
  for (std::size_t w = 0; w < waves; ++w) {
    damped_velocity_lines((*model_.waves[w].v)(l), q[w], damped[w]);
  }
  model_.velocity(std::span(damped).first(waves), v);
  return false;
}

void interface_terms::at_interface(int il, const block_powers& powers, interface_lines& out) const {
  const auto upper = static_cast<std::size_t>(il);
  complex_lines v1;
  complex_lines v2;
  const bool upper_fixed = upper_fixed_[upper];
  if (upper_fixed) {
    out.slowness = complex_lines::filled(fixed_slowness_[upper]);
  } else {
    upper_velocity(il, powers, v1);
    slowness_lines(v1, cinv2_, out.slowness);
  }
  const bool lower_fixed = lower_velocity(il + 1, powers, v2);
  if (upper_fixed && lower_fixed) {
    out.am = complex_lines::filled(fixed_am_[upper]);
    return;
  }
  if (upper_fixed) v1 = complex_lines::filled(upper_v_[upper]);
  if (lower_fixed) v2 = complex_lines::filled(lower_v_[upper + 1]);
  impedance_lines(layers_.dns(il), v1, layers_.dns(il + 1), v2, out.am);
}

}  // namespace sitewave::ground
