// Everything one run works on, owned by the run driver and sized once:
// the record and its spectra, the amplification tables, the layer table and
// the scalars that describe the record and its frequency grid.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "core/ground/amp_table.hpp"
#include "core/ground/layer_table.hpp"
#include "core/spectral/array1.hpp"
#include "core/spectral/cplx.hpp"
#include "core/spectral/frequency_grid.hpp"
#include "textfmt/text.hpp"

namespace sitewave::dialogue {

// Length of every working array of the run and of each table column: room
// for the largest transform the dialogue accepts.
inline constexpr int mom = 32768;

// An amplification table of two columns of mom entries, in fixed storage.
struct fixed_amp_table {
  std::array<cplx, 2 * static_cast<std::size_t>(mom)> cells{};

  ground::amp_columns columns() {
    const std::span<cplx> all(cells);
    return {all.first(mom), all.subspan(mom)};
  }
  cplx& operator()(int i, int k) { return columns()(i, k); }
};

struct run_storage {
  textfmt::text<20> infile1 = textfmt::blank_text<20>();  // record file name as typed
  textfmt::text<10> head1 = textfmt::blank_text<10>();    // column titles of the record
  textfmt::text<10> head2 = textfmt::blank_text<10>();
  textfmt::text<10> head3 = textfmt::blank_text<10>();
  textfmt::text<10> head4 = textfmt::blank_text<10>();

  // The record (time, H1, H2, V1), finally the output waveforms.
  array1<float, mom> time, xr1, yr1, zr1;
  // Working spectra of H1, H2 and V1.
  array1<cplx, mom> fx1, fy1, fz1;

  fixed_amp_table samp;  // SH amplification
  fixed_amp_table pamp;  // P-SV amplification
  ground::layer_table layers;

  int nt = 0;          // rows of the record
  float dt = 0.0f;     // time step, s
  int nf = 0;          // transform size
  int if1 = 0;         // log2(nf)
  float dur = 0.0f;    // nf × dt, s
  float dom = 0.0f;    // angular frequency step, rad/s
  int iom = 1;         // index of the first grid frequency
  int nom = 0;         // grid frequencies from zero to Nyquist
  float eom = 0.0f;    // nom × dom, shown only
  float fom = 0.0f;    // first angular frequency of the tables
  float theta = 0.0f;  // incidence angle, rad
  int nin = 0;         // input wave type: selects the table column
  float pi2 = 0.0f;    // 2π as 8·atan(1)
};

}  // namespace sitewave::dialogue
