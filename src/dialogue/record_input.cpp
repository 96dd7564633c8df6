// The opening dialogue and the wave record: the file name prompt, the title
// line and rows of time, H1, H2, V1, the transform size, the forward
// transforms scaled by the time step, and the frequency grid.
#include <span>
#include <string>

#include "core/spectral/frequency_grid.hpp"
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
  if (const auto problem = record_problem(s.nt, s.dt)) {
    textio::refuse(record_name(s) + ": record refused: " + *problem);
  }
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

  const auto size = transform_size_for(s.nt, max_if1);
  if (!size) {
    textio::write_list(console_out, " NT>2**15 !!!!!");
    textio::end_run(1);  // nothing was computed: not a success
  }
  s.nf = size->nf;
  s.if1 = size->exponent;
  textio::write_list(console_out);
  textio::write_list(console_out, " IF1,NF=", s.if1, s.nf);
}

void transform_record(run_storage& s) {
  const auto samples = [&s](array1<float, mom>& column) {
    return std::span<const float>(column.all()).first(static_cast<std::size_t>(s.nt));
  };
  forward_spectrum(samples(s.xr1), s.nf, s.dt, s.fx1.all());
  forward_spectrum(samples(s.yr1), s.nf, s.dt, s.fy1.all());
  forward_spectrum(samples(s.zr1), s.nf, s.dt, s.fz1.all());

  const frequency_grid grid = grid_of(s.nf, s.dt);
  s.dur = grid.dur;
  s.dom = grid.dom;
  s.iom = 1;
  s.nom = grid.nom;
  s.eom = grid.eom;
  textio::write_list(console_out);
  textio::write_list(console_out, " DUR,DOM,NOM,EOM=", s.dur, s.dom, s.nom, s.eom);
  textio::write_list(console_out, " Highest Frequency (hz)=", s.eom / two_pi);
}

}  // namespace sitewave::dialogue
