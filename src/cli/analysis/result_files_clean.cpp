// The clean result files: one header row naming every column, then rows of
// values with 9 significant digits, comma-separated, no trailing comma, so
// that spreadsheet and data-frame readers take them as they are.
#include <charconv>
#include <cmath>
#include <numbers>

#include "cli/analysis/result_files.hpp"
#include "cli/io/decimal_text.hpp"

namespace sitewave::cli {

void append_value(std::string& out, double v) {
  char buf[max_decimal_text];
  out.append(buf, decimal_text(v, buf));
}

void append_single(std::string& out, float v) {
  char buf[max_decimal_text];
  out.append(buf, single_text(v, buf));
}

namespace {

// The components present, in the order H1, H2, V1.
std::vector<std::size_t> present_components(const analysis& a) {
  std::vector<std::size_t> present;
  for (std::size_t c = 0; c < a.components; ++c) present.push_back(c);
  return present;
}

double phase_deg(std::complex<double> z) {
  return std::arg(z) / radians_per_degree;
}

void append_complex(std::string& out, std::complex<double> z) {
  for (const double v : {z.real(), z.imag(), std::abs(z), phase_deg(z)}) {
    out.push_back(',');
    append_value(out, v);
  }
}

// Frequency of grid line i (from 0) in hertz: i / (nf·dt).
double line_hz(const analysis& a, std::size_t i) {
  return static_cast<double>(i) / (static_cast<double>(a.nf) * a.dt);
}

}  // namespace

void transfer_csv(const analysis& a, text_sink& sink) {
  const bool radial = !a.radial.empty() && a.vertical;
  const bool own_h2 = !a.sh_h2.empty();  // H2 through its own strain-compatible rows
  std::string& out = sink.text;
  out += "freq_hz,sh_re,sh_im,sh_abs,sh_phase_deg";
  if (own_h2) out += ",sh_H2_re,sh_H2_im,sh_H2_abs,sh_H2_phase_deg";
  if (a.vertical) out += ",psv_re,psv_im,psv_abs,psv_phase_deg";
  if (radial) out += ",radial_re,radial_im,radial_abs,radial_phase_deg";
  out += '\n';
  for (std::size_t i = 0; i < a.sh.size(); ++i) {
    append_value(out, line_hz(a, i));
    append_complex(out, a.sh[i]);
    if (own_h2) append_complex(out, a.sh_h2[i]);
    if (a.vertical) append_complex(out, a.psv[i]);
    if (radial) append_complex(out, a.radial[i]);
    out.push_back('\n');
    sink.row_end();
  }
}

std::array<std::vector<double>, 6> fourier_amplitudes(const analysis& a) {
  std::array<std::vector<double>, 6> amplitudes;
  for (std::size_t c = 0; c < 3; ++c) {
    for (const cplx v : a.input_spectrum[c]) amplitudes[c].push_back(cmod_d(v.re, v.im));
    for (const cplx v : a.shaped[c]) amplitudes[c + 3].push_back(cmod_d(v.re, v.im));
  }
  return amplitudes;
}

void spectra_csv(const analysis& a, const std::array<std::vector<double>, 6>& smoothed,
                 text_sink& sink) {
  const std::vector<std::size_t> present = present_components(a);
  std::string& out = sink.text;
  out += "freq_hz";
  for (const char* suffix : {"", "_smooth"}) {
    for (const char* side : {",in_", ",out_"}) {
      for (const std::size_t c : present)
        out.append(side).append(component_names[c]).append(suffix);
    }
  }
  out.push_back('\n');
  for (std::size_t i = 1; i < static_cast<std::size_t>(a.grid.nom); ++i) {
    append_value(out, line_hz(a, i));
    // The raw amplitudes as fourier_amplitudes takes them, line by line.
    for (const auto* spectra : {&a.input_spectrum, &a.shaped}) {
      for (const std::size_t c : present) {
        const cplx v = (*spectra)[c][i];
        out.push_back(',');
        append_value(out, cmod_d(v.re, v.im));
      }
    }
    for (const std::size_t side : {0, 3}) {
      for (const std::size_t c : present) {
        out.push_back(',');
        append_value(out, smoothed[side + c][i]);
      }
    }
    out.push_back('\n');
    sink.row_end();
  }
}

void surface_csv(const analysis& a, const record& r, text_sink& sink) {
  const std::vector<std::size_t> present = present_components(a);
  std::string& out = sink.text;
  out += "time_s";
  for (const char* side : {",", ",in_"}) {
    for (const std::size_t c : present) out.append(side).append(component_names[c]);
  }
  out.push_back('\n');
  for (std::size_t i = 0; i < static_cast<std::size_t>(a.nf); ++i) {
    append_single(out, sample_time(r, a, static_cast<int>(i)));
    for (const std::size_t c : present) {
      out.push_back(',');
      append_single(out, a.surface[c][i]);
    }
    for (const std::size_t c : present) {
      out.push_back(',');
      append_single(out, i < static_cast<std::size_t>(a.nt) ? r.samples[c][i] : 0.0f);
    }
    out.push_back('\n');
    sink.row_end();
  }
}

}  // namespace sitewave::cli
