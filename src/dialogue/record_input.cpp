// The opening dialogue and the wave record: the file name prompt, the title
// line and rows of time, H1, H2, V1, the transform size, the forward
// transforms scaled by the time step, and the frequency grid.
#include <cmath>
#include <cstdio>
#include <string>

#include "core/spectral/wvfast.hpp"
#include "dialogue/steps.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/failure.hpp"
#include "dialogue/textio/list_read.hpp"
#include "dialogue/textio/write.hpp"

namespace sitewave::dialogue {

namespace {

using textio::console_in;
using textio::console_out;

constexpr int record_unit = 11;
constexpr int max_if1 = 15;  // nf never exceeds 2**15

constexpr textio::layout prompt{"(/,1X,'Enter Wave Data (H1,H2,V1; e.g., wave.csv)')"};

// Reads the rows to the end of the file; rows past the capacity are counted
// but not kept, so the count shown is the true one.
int read_rows(run_storage& s) {
  int k = 1;
  for (;; ++k) {
    if (k <= mom) {
      if (!textio::read_list_or_end(record_unit, s.time(k), s.xr1(k), s.yr1(k), s.zr1(k))) break;
    } else {
      float t = 0.0f, x = 0.0f, y = 0.0f, z = 0.0f;
      if (!textio::read_list_or_end(record_unit, t, x, y, z)) break;
    }
  }
  return k - 1;
}

std::string record_name(const run_storage& s) {
  return std::string(textfmt::trimmed(s.infile1));
}

// A record that cannot give a time step refuses the run.
void refuse_unusable_record(const run_storage& s) {
  if (s.nt < 2) {
    textio::refuse(record_name(s) + ": record refused: it has " + std::to_string(s.nt) +
                   " complete rows, at least 2 are needed to give the time step");
  }
  if (!std::isfinite(s.dt) || s.dt <= 0.0f) {
    char value[32];
    std::snprintf(value, sizeof value, "%.9G", static_cast<double>(s.dt));
    textio::refuse(record_name(s) +
                   ": record refused: the time step (time of row 2 minus time of row 1) is " +
                   value + "; it must be positive");
  }
}

// The smallest power of two from 4 that holds nt rows; false above 2**15.
bool fix_transform_size(run_storage& s) {
  s.nf = 2;
  for (int e = 2; e <= max_if1; ++e) {
    s.nf *= 2;
    if (s.nf >= s.nt) {
      s.if1 = e;
      return true;
    }
  }
  return false;
}

void fill_spectrum(array1<cplx, mom>& f, const array1<float, mom>& samples, int nt, int nf) {
  for (int k = 1; k <= nt; ++k) f(k) = cplx{samples(k), 0.0f};
  for (int k = nt + 1; k <= nf; ++k) f(k) = cplx{0.0f, 0.0f};
}

}  // namespace

void ask_record_name(run_storage& s) {
  textio::write_list(console_out);
  textio::write_list(console_out, " : Soil Data must be \"soil_dat.csv\"");
  textio::write_formatted(console_out, prompt);
  textio::read_field(console_in, s.infile1);
}

void read_record(run_storage& s) {
  textio::open(record_unit, std::string_view(s.infile1.data(), s.infile1.size()),
               textio::open_status::old);
  textio::read_list(record_unit, s.head1, s.head2, s.head3, s.head4);
  s.nt = read_rows(s);
  textio::close(record_unit);
  s.dt = s.time(2) - s.time(1);
  textio::write_list(console_out, "NT and DT=", s.nt, s.dt);
  refuse_unusable_record(s);

  if (!fix_transform_size(s)) {
    textio::write_list(console_out, " NT>2**15 !!!!!");
    textio::end_run(1);  // nothing was computed: not a success
  }
  textio::write_list(console_out);
  textio::write_list(console_out, " IF1,NF=", s.if1, s.nf);
}

void transform_record(run_storage& s) {
  fill_spectrum(s.fx1, s.xr1, s.nt, s.nf);
  fill_spectrum(s.fy1, s.yr1, s.nt, s.nf);
  fill_spectrum(s.fz1, s.zr1, s.nt, s.nf);
  wvfast(s.nf, s.fx1.all(), -1);
  wvfast(s.nf, s.fy1.all(), -1);
  wvfast(s.nf, s.fz1.all(), -1);

  s.dur = static_cast<float>(s.nf) * s.dt;
  const cplx step{s.dt, 0.0f};
  for (int k = 1; k <= s.nf; ++k) {
    s.fx1(k) = s.fx1(k) * step;
    s.fy1(k) = s.fy1(k) * step;
    s.fz1(k) = s.fz1(k) * step;
  }

  s.dom = two_pi / s.dur;
  s.iom = 1;
  s.nom = s.nf / 2 + 1;
  s.eom = static_cast<float>(s.nom) * s.dom;
  textio::write_list(console_out);
  textio::write_list(console_out, " DUR,DOM,NOM,EOM=", s.dur, s.dom, s.nom, s.eom);
  textio::write_list(console_out, " Highest Frequency (hz)=", s.eom / two_pi);
}

}  // namespace sitewave::dialogue
