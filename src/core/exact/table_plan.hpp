// How the lines of an exact table are formed from the rows: what every line
// shares is worked out once. Rows whose damping is the same at every
// frequency keep their vertical slownesses and impedances for the whole
// table and take their crossing factors as a product of two kept ones; rows
// whose quality factors grow with frequency share one power per line for
// each distinct coefficient.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <span>
#include <vector>

#include "core/exact/exact_transfer.hpp"
#include "core/exact/psv_recursion.hpp"
#include "core/exact/sh_recursion.hpp"

namespace sitewave::exact {

class table_plan {
 public:
  // Lines k of the table stand for the angular frequency k·dom; theta as
  // for exact_transfer. Rows and theta are not checked here.
  table_plan(std::span<const layer_row> rows, double theta, double dom);

  // Working values of one thread, reused from line to line.
  class scratch {
    friend class table_plan;
    std::vector<double> powers;  // hertz^coefficient, one per distinct coefficient
    // Row j of line l at j·lines + l, and what the recursions give.
    std::vector<sh_terms> sh;
    std::vector<psv_terms> psv;
    std::vector<double> quality_p, quality_s;  // growing rows, as sh and psv
    std::array<double, max_interleaved_lines> omega{};
    std::array<sh_columns, max_interleaved_lines> sh_out;
    std::array<psv_motion, max_interleaved_lines> psv_out, alone_out;
    // Crossing factors at the first line of the current group, fixed rows.
    std::vector<std::complex<double>> group_sh, group_p, group_s;
    std::size_t group = static_cast<std::size_t>(-1);
  };
  scratch make_scratch() const;

  // The columns of `part` at lines first, first + 1, ... into out (at most
  // max_interleaved_lines of them).
  void lines(std::size_t first, transfer_part part, scratch& s, std::span<transfer_at> out) const;

 private:
  // Lines come in groups of this many, from a multiple of it: the crossing
  // factor of a fixed row at line g·n + j is its factor at line g·n times its
  // factor at line j.
  static constexpr std::size_t group_lines = 16;

  // A row as planned: its index into the distinct coefficients (or −1 when
  // its factor does not grow) for each wave type, and its kept terms.
  struct planned_row {
    int p_power = -1, s_power = -1;
    bool sh_fixed = false, psv_fixed = false;
    std::complex<double> sh_eta{};
    sh_terms sh{};
    psv_terms psv{};
    // Crossing factors of lines 0..group_lines−1, fixed rows only.
    std::vector<std::complex<double>> sh_steps, p_steps, s_steps;
  };

  // Row i's quality factors at the current line, kept at s.quality_*[at].
  void keep_qualities(std::size_t i, std::size_t at, scratch& s) const;
  void start_group(std::size_t group, scratch& s) const;
  // The terms of the fixed rows at line k, the l-th of `lines`, and the
  // quality factors of the growing rows there.
  void sh_line(std::size_t k, std::size_t l, std::size_t lines, bool with_psv, scratch& s) const;
  void psv_line(std::size_t k, std::size_t l, std::size_t lines, scratch& s) const;
  // The terms of the growing rows at every line, the lines side by side.
  void growing_rows(transfer_part part, std::size_t lines, scratch& s) const;

  std::span<const layer_row> rows_;
  double dom_;
  double p_sh_, p_psv_;
  std::vector<double> coefficients_;
  std::vector<planned_row> planned_;
};

}  // namespace sitewave::exact
