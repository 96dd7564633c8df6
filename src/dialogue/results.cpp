// What the user gets besides the amplification table: the Fourier spectrum
// file amp1.csv, the summary of the output waveforms on the console, the
// closing notices and the waveform file wave1.csv.
#include <cmath>

#include "dialogue/steps.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/write.hpp"
#include "textfmt/result_rows.hpp"

namespace sitewave::dialogue {

namespace {

using textio::console_out;

constexpr int spectrum_unit = 10;
constexpr int wave_unit = 11;
using textfmt::spectrum_row;
using textfmt::wave_row;

// Extremes of one waveform, starting from 0 rather than its first sample.
struct extremes {
  float max = 0.0f;
  float min = 0.0f;

  void take(float v) {
    if (v > max) max = v;
    if (v < min) min = v;
  }
};

void print_summary(const run_storage& s) {
  extremes x, y, z;
  for (int i = 1; i <= s.nf; ++i) {
    x.take(s.xr1(i));
    y.take(s.yr1(i));
    z.take(s.zr1(i));
  }
  float amax = x.max;
  if (y.max > amax) amax = y.max;
  if (z.max > amax) amax = z.max;
  float amin = x.min;
  if (y.min < amin) amin = y.min;
  if (z.min < amin) amin = z.min;
  float aamax = amax;
  if (std::fabs(amin) > aamax) aamax = std::fabs(amin);

  textio::write_list(console_out);
  textio::write_list(console_out, " Nmber of data points    =", s.nf);
  textio::write_list(console_out, " Duration and Delta Time =", s.dur, s.dt);
  textio::write_list(console_out, " Initial and final times =", 0.0f, s.dur - s.dt);
  textio::write_list(console_out);
  textio::write_list(console_out, " Min X, Y and Z          =", x.min, y.min, z.min);
  textio::write_list(console_out, " Max X, Y abd Z          =", x.max, y.max, z.max);
  textio::write_list(console_out, " Min and Max amplitudes  =", amin, amax);
  textio::write_list(console_out, " Absolute Max amplitude  =", aamax);
}

void print_closing_notices() {
  textio::write_list(console_out);
  textio::write_list(console_out, "Output data are stored in \"wave1.csv\"");
  textio::write_list(console_out, "You can plot the waveform using \"wave.m\" for Matlab");
  textio::write_list(console_out);
}

// Rows past the record carry times that continue it at the time step.
void extend_time_column(run_storage& s) {
  for (int i = s.nt + 1; i <= s.nf; ++i) {
    const float offset = static_cast<float>(i - s.nt) * s.dt;
    s.time(i) = s.time(s.nt) + offset;
  }
}

void write_wave_file(run_storage& s) {
  extend_time_column(s);
  textio::open(wave_unit, textfmt::wave_file, textio::open_status::unknown);
  textio::write_list(wave_unit, s.head1, ",", s.head2, ",", s.head3, ",", s.head4);
  for (int i = 1; i <= s.nf; ++i) {
    textio::write_formatted(wave_unit, wave_row, s.time(i), s.xr1(i) - s.xr1(1),
                            s.yr1(i) - s.yr1(1), s.zr1(i) - s.zr1(1));
  }
  textio::close(wave_unit);
}

}  // namespace

void write_spectrum_file(run_storage& s) {
  textio::write_list(console_out);
  textio::write_list(console_out, "The Fourier Spectrum data are stored in \"amp1.csv\"");
  textio::open(spectrum_unit, textfmt::spectrum_file, textio::open_status::unknown);
  textio::write_list(spectrum_unit, textfmt::spectrum_title, s.head2, ",", s.head3, ",", s.head4);
  for (int k = 2; k <= s.nom; ++k) {
    const float om = static_cast<float>(k - 1) * s.dom;
    const float f = om / s.pi2;
    textio::write_formatted(spectrum_unit, spectrum_row, f, cmod(s.fx1(k)), cmod(s.fy1(k)),
                            cmod(s.fz1(k)));
  }
  textio::close(spectrum_unit);
}

void write_results(run_storage& s) {
  print_summary(s);
  print_closing_notices();
  write_wave_file(s);
}

}  // namespace sitewave::dialogue
