// The lines of an exact table from the planned rows: kept terms for rows of
// fixed damping, shared powers for the others, and the SH and P-SV
// recursions with the surface motion referred to the half-space's motions.
#include "core/exact/table_plan.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/exact/line_arithmetic.hpp"
#include "core/exact/row_lines.hpp"
#include "core/exact/vertical_slowness.hpp"

namespace sitewave::exact {

namespace {

using zd = std::complex<double>;

constexpr double two_pi = 2.0 * std::numbers::pi;

// Index of coefficient c in the list, added when new.
int coefficient_index(std::vector<double>& list, double c) {
  const auto at = std::find(list.begin(), list.end(), c);
  if (at != list.end()) return static_cast<int>(at - list.begin());
  list.push_back(c);
  return static_cast<int>(list.size() - 1);
}

// The row with its base quality factors, as the waves see it at any
// frequency when its damping does not grow.
damped_row undamped_growth(const layer_row& r) {
  return {r.density, damped_velocity(r.vp, r.qp), damped_velocity(r.vs, r.qs), r.thickness};
}

}  // namespace

table_plan::table_plan(std::span<const layer_row> rows, double theta, double dom)
    : rows_(rows), dom_(dom) {
  const double s = std::sin(theta);
  p_sh_ = s / rows.back().vs;
  p_psv_ = s / rows.back().vp;
  planned_.resize(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const layer_row& r = rows[i];
    planned_row& row = planned_[i];
    const bool p_fixed = quality_is_fixed(r.qp, r.fp);
    const bool s_fixed = quality_is_fixed(r.qs, r.fs);
    row.p_power = p_fixed ? -1 : coefficient_index(coefficients_, r.fp);
    row.s_power = s_fixed ? -1 : coefficient_index(coefficients_, r.fs);
    row.sh_fixed = s_fixed;
    row.psv_fixed = p_fixed && s_fixed;
    const damped_row d = undamped_growth(r);
    const bool crossed = i + 1 < rows.size();
    const auto steps = [&](zd eta) {
      std::vector<zd> out(crossed ? group_lines : 0);
      for (std::size_t j = 0; j < out.size(); ++j) {
        out[j] = crossing(eta, static_cast<double>(j) * dom, r.thickness);
      }
      return out;
    };
    if (row.sh_fixed) {
      row.sh_eta = vertical_slowness(d.vs, p_sh_);
      row.sh = sh_impedance(d, row.sh_eta);
      row.sh_steps = steps(row.sh_eta);
    }
    if (row.psv_fixed) {
      row.psv = {psv_row_of(d, p_psv_), 1.0, 1.0};
      row.p_steps = steps(row.psv.row.eta_p);
      row.s_steps = steps(row.psv.row.eta_s);
    }
  }
}

table_plan::scratch table_plan::make_scratch() const {
  scratch s;
  const std::size_t n = rows_.size();
  s.powers.resize(coefficients_.size());
  s.sh.resize(n * max_interleaved_lines);
  s.psv.resize(n * max_interleaved_lines);
  s.quality_p.resize(n * max_interleaved_lines);
  s.quality_s.resize(n * max_interleaved_lines);
  s.group_sh.resize(n);
  s.group_p.resize(n);
  s.group_s.resize(n);
  return s;
}

void table_plan::keep_qualities(std::size_t i, std::size_t at, scratch& s) const {
  const layer_row& r = rows_[i];
  const planned_row& row = planned_[i];
  // A factor that does not grow is its base value at every frequency.
  const auto quality = [&](double q0, int power) {
    return power < 0 ? q0 : quality_with(q0, s.powers[static_cast<std::size_t>(power)]);
  };
  s.quality_p[at] = quality(r.qp, row.p_power);
  s.quality_s[at] = quality(r.qs, row.s_power);
}

void table_plan::start_group(std::size_t group, scratch& s) const {
  s.group = group;
  const double omega = static_cast<double>(group * group_lines) * dom_;
  for (std::size_t i = 0; i + 1 < rows_.size(); ++i) {
    const planned_row& row = planned_[i];
    const double h = rows_[i].thickness;
    if (row.sh_fixed) s.group_sh[i] = crossing(row.sh_eta, omega, h);
    if (row.psv_fixed) {
      s.group_p[i] = crossing(row.psv.row.eta_p, omega, h);
      s.group_s[i] = crossing(row.psv.row.eta_s, omega, h);
    }
  }
}

void table_plan::sh_line(std::size_t k, std::size_t l, std::size_t lines, bool with_psv,
                         scratch& s) const {
  const std::size_t j = k % group_lines;
  const std::size_t last = rows_.size() - 1;
  for (std::size_t i = 0; i <= last; ++i) {
    const planned_row& row = planned_[i];
    sh_terms& terms = s.sh[i * lines + l];
    if (row.sh_fixed) {
      terms = row.sh;
      if (i < last) terms.crossing = s.group_sh[i] * row.sh_steps[j];
      continue;
    }
    if (!with_psv) keep_qualities(i, i * lines + l, s);  // else psv_line keeps them
  }
}

void table_plan::psv_line(std::size_t k, std::size_t l, std::size_t lines, scratch& s) const {
  const std::size_t j = k % group_lines;
  const std::size_t last = rows_.size() - 1;
  for (std::size_t i = 0; i <= last; ++i) {
    const planned_row& row = planned_[i];
    psv_terms& terms = s.psv[i * lines + l];
    if (row.psv_fixed) {
      terms = row.psv;
      if (i < last) {
        terms.crossing_p = s.group_p[i] * row.p_steps[j];
        terms.crossing_s = s.group_s[i] * row.s_steps[j];
      }
      continue;
    }
    keep_qualities(i, i * lines + l, s);
  }
}

void table_plan::growing_rows(transfer_part part, std::size_t lines, scratch& s) const {
  const std::span<const double> omega = std::span(s.omega).first(lines);
  const std::size_t last = rows_.size() - 1;
  for (std::size_t i = 0; i <= last; ++i) {
    const planned_row& row = planned_[i];
    const row_at_lines at{rows_[i], std::span(s.quality_p).subspan(i * lines, lines),
                          std::span(s.quality_s).subspan(i * lines, lines), omega};
    if (part != transfer_part::psv && !row.sh_fixed)
      sh_terms_of_lines(at, p_sh_, i < last, std::span(s.sh).subspan(i * lines, lines));
    if (part != transfer_part::sh && !row.psv_fixed)
      psv_terms_of_lines(at, p_psv_, i < last, std::span(s.psv).subspan(i * lines, lines));
  }
}

void table_plan::lines(std::size_t first, transfer_part part, scratch& s,
                       std::span<transfer_at> out) const {
  const std::size_t lines = out.size();
  const std::size_t n = rows_.size();
  for (std::size_t l = 0; l < lines; ++l) {
    const std::size_t k = first + l;
    const double omega = static_cast<double>(k) * dom_;
    const double hertz = omega / two_pi;
    for (std::size_t g = 0; g < coefficients_.size(); ++g) {
      s.powers[g] = std::pow(hertz, coefficients_[g]);
    }
    if (k / group_lines != s.group) start_group(k / group_lines, s);
    s.omega[l] = omega;
    if (part != transfer_part::psv) sh_line(k, l, lines, part != transfer_part::sh, s);
    if (part != transfer_part::sh) psv_line(k, l, lines, s);
  }
  growing_rows(part, lines, s);
  if (part != transfer_part::psv) {
    sh_through_lines(std::span(s.sh).first(n * lines), std::span(s.sh_out).first(lines));
    for (std::size_t l = 0; l < lines; ++l) {
      out[l].sh_incident = s.sh_out[l].incident;
      out[l].sh_within = s.sh_out[l].within;
    }
  }
  if (part == transfer_part::sh) return;
  const std::span<const psv_terms> terms = std::span(s.psv).first(n * lines);
  psv_through_lines(terms, incident_wave::p, std::span(s.psv_out).first(lines));
  psv_through_lines(terms.last(lines), incident_wave::p, std::span(s.alone_out).first(lines));
  for (std::size_t l = 0; l < lines; ++l) {
    const psv_motion& psv = s.psv_out[l];
    const psv_motion& alone = s.alone_out[l];
    transfer_at& t = out[l];
    // The radial columns divide by vertical motion counted upwards.
    t.vertical_incident = quotient(psv.surface.z, psv.incident.z);
    t.vertical_within = quotient(psv.surface.z, psv.base.z);
    t.radial_incident = quotient(psv.surface.x, -psv.incident.z);
    t.radial_within = quotient(psv.surface.x, -psv.base.z);
    t.vertical_free_surface = quotient(alone.surface.z, alone.incident.z);
  }
}

}  // namespace sitewave::exact
