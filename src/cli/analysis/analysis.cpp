// The steps of one analysis in the order the dialogue takes them (forward
// spectra, amplification tables, amplification, shaping, synthesis), so
// that for the same inputs the command's legacy files match the dialogue's
// byte for byte.
#include "cli/analysis/analysis.hpp"

#include <algorithm>
#include <functional>
#include <future>
#include <limits>
#include <numbers>
#include <span>
#include <stdexcept>
#include <string>

#include "cli/io/errors.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/ground/amplification.hpp"
#include "core/synthesis/synthesis.hpp"

namespace sitewave::cli {

namespace {

// Transform sizes up to 2^30 samples; memory is the real limit long before.
constexpr int max_exponent = 30;

// The time step, rows and transform size of a record, checked.
struct record_grid {
  float dt;
  int nt;
  sitewave::transform_size size;
};

record_grid grid_of_record(const record& r, std::optional<long long> fft_size) {
  const long long nt = static_cast<long long>(r.rows());
  const float dt = nt >= 2 ? r.time[1] - r.time[0] : 0.0f;
  if (const auto problem = record_problem(nt, dt)) {
    throw input_error(r.paths.front() + ": record refused: " + *problem);
  }
  auto size = transform_size_for(nt, max_exponent);
  if (!size || nt > std::numeric_limits<int>::max()) {
    throw input_error(r.paths.front() + ": record refused: " + std::to_string(nt) +
                      " rows are more than this program can transform");
  }
  if (fft_size) {
    if (*fft_size < size->nf) {
      throw option_error({"fft-size", std::to_string(*fft_size),
                          "a transform of at least " + std::to_string(size->nf) +
                              " points is expected for the record's " + std::to_string(nt) +
                              " rows",
                          false});
    }
    while (size->nf < *fft_size) {
      size->nf *= 2;
      ++size->exponent;
    }
  }
  return {dt, static_cast<int>(nt), *size};
}

void fix_record_grid(const record& r, std::optional<long long> fft_size, analysis& a) {
  const record_grid g = grid_of_record(r, fft_size);
  a.dt = g.dt;
  a.nt = g.nt;
  a.nf = g.size.nf;
  a.exponent = g.size.exponent;
  a.grid = grid_of(a.nf, a.dt);
}

// An outcrop record is the motion a free surface of the half-space shows:
// twice the incident wave, so its factor is column 1 halved (exactly).
cplx applied_factor(cplx column1, cplx column2, input_kind input) {
  switch (input) {
    case input_kind::incident:
      return column1;
    case input_kind::within:
      return column2;
    case input_kind::outcrop:
      return cplx{column1.re * 0.5f, column1.im * 0.5f};
  }
  return column1;
}

using factor_columns = std::array<std::vector<cplx>, component_count>;  // H1, H2, V1

cplx rounded(std::complex<double> z) {
  return {static_cast<float>(z.real()), static_cast<float>(z.imag())};
}

std::complex<double> widened(cplx z) {
  return {z.re, z.im};
}

// The legacy tables: SH for the horizontal components, P-SV for the vertical,
// in single precision; the factors applied are their columns as they stand.
bool legacy_amplification(const ground_model& model, const analysis_settings& s, analysis& a,
                          factor_columns& applied) {
  const int nom = a.grid.nom;
  // The dialogue's conversion: degrees times the single-precision π/180.
  const float theta = s.angle_deg * ground::radians_per_degree_single;
  ground::amp_table sh(nom), psv(nom);
  ground::sbshml(0.0f, a.grid.dom, nom, model.layers, theta, sh.columns(), s.control);
  ground::sbudml(0.0f, a.grid.dom, nom, model.layers, theta, psv.columns(), s.control);
  if (s.control.stop_requested()) return false;
  const auto column = [nom](ground::amp_table& t, int k) {
    const auto c = t.columns().column(k);
    return std::vector<cplx>(c.begin(), c.begin() + nom);
  };
  a.columns = {column(sh, 1), column(sh, 2), column(psv, 1), column(psv, 2)};
  const auto& c = a.columns;
  for (std::size_t i = 0; i < static_cast<std::size_t>(nom); ++i) {
    applied[0].push_back(applied_factor(c.sh_incident[i], c.sh_within[i], s.input));
    applied[1].push_back(applied[0].back());
    applied[2].push_back(applied_factor(c.vertical_incident[i], c.vertical_within[i], s.input));
    a.sh.push_back(widened(applied[0].back()));
    a.psv.push_back(widened(applied[2].back()));
  }
  return true;
}

bool same_rows(std::span<const exact::layer_row> x, std::span<const exact::layer_row> y) {
  const auto same = [](const exact::layer_row& p, const exact::layer_row& q) {
    return p.density == q.density && p.vp == q.vp && p.qp == q.qp && p.fp == q.fp && p.vs == q.vs &&
           p.qs == q.qs && p.fs == q.fs && p.thickness == q.thickness;
  };
  return std::equal(x.begin(), x.end(), y.begin(), y.end(), same);
}

// The exact transfer functions of rows on the grid; empty when stopped.
std::vector<exact::transfer_at> exact_lines(std::span<const exact::layer_row> rows,
                                            const analysis_settings& s, const analysis& a) {
  const double theta = static_cast<double>(s.angle_deg) * radians_per_degree;
  const double dom = 2.0 * std::numbers::pi / (static_cast<double>(a.nf) * a.dt);
  std::vector<exact::transfer_at> lines(static_cast<std::size_t>(a.grid.nom));
  try {
    exact::exact_transfer(rows, theta, dom, lines, s.control);
  } catch (const std::invalid_argument& e) {
    throw input_error(ground_file(s.options) + ": the exact physics cannot take this model: " + e.what());
  }
  if (s.control.stop_requested()) lines.clear();
  return lines;
}

// The surface over the record, for each kind of record.
std::complex<double> sh_factor(const exact::transfer_at& t, input_kind input) {
  switch (input) {
    case input_kind::within:
      return t.sh_within;
    case input_kind::outcrop:
      return t.sh_incident / 2.0;
    case input_kind::incident:
      break;
  }
  return t.sh_incident;
}

std::pair<std::complex<double>, std::complex<double>> vertical_and_radial(
    const exact::transfer_at& t, input_kind input) {
  switch (input) {
    case input_kind::within:
      return {t.vertical_within, t.radial_within};
    case input_kind::outcrop:
      return {t.vertical_incident / t.vertical_free_surface,
              t.radial_incident / t.vertical_free_surface};
    case input_kind::incident:
      break;
  }
  return {t.vertical_incident, t.radial_incident};
}

// The exact amplification in double precision: the factor of the chosen
// input, then rounded once to multiply the single-precision spectra. Each
// component through its own rows when the settings give them (the
// strain-compatible rows of an equivalent-linear analysis), else all
// through the ground model's.
bool exact_amplification(const ground_model& model, const analysis_settings& s, analysis& a,
                         factor_columns& applied) {
  const std::vector<exact::layer_row> model_rows = exact::rows_of(model.layers);
  const component_rows* own = s.rows ? &*s.rows : nullptr;
  const std::span<const exact::layer_row> rows1 = own ? std::span(own->h1) : std::span(model_rows);
  const std::vector<exact::transfer_at> lines1 = exact_lines(rows1, s, a);
  std::vector<exact::transfer_at> lines2, lines3;
  if (own && !same_rows(own->h2, rows1)) lines2 = exact_lines(own->h2, s, a);
  if (own && !same_rows(own->vertical, rows1)) lines3 = exact_lines(own->vertical, s, a);
  if (s.control.stop_requested()) return false;
  const auto& vertical_lines = lines3.empty() ? lines1 : lines3;
  const auto nom = static_cast<std::size_t>(a.grid.nom);
  auto& c = a.columns;
  for (auto* column : {&c.sh_incident, &c.sh_within, &c.vertical_incident, &c.vertical_within}) {
    column->resize(nom);
  }
  for (std::size_t i = 0; i < nom; ++i) {
    const exact::transfer_at& t = lines1[i];
    const exact::transfer_at& v = vertical_lines[i];
    c.sh_incident[i] = rounded(t.sh_incident);
    c.sh_within[i] = rounded(t.sh_within);
    c.vertical_incident[i] = rounded(v.vertical_incident);
    c.vertical_within[i] = rounded(v.vertical_within);
    a.sh.push_back(sh_factor(t, s.input));
    if (!lines2.empty()) a.sh_h2.push_back(sh_factor(lines2[i], s.input));
    const auto [vertical, radial] = vertical_and_radial(v, s.input);
    a.psv.push_back(vertical);
    a.radial.push_back(radial);
    applied[0].push_back(rounded(a.sh.back()));
    applied[1].push_back(lines2.empty() ? applied[0].back() : rounded(a.sh_h2.back()));
    applied[2].push_back(rounded(a.psv.back()));
  }
  return true;
}

// The band-pass of --filter, or the whole band.
shaping::band band_of(const run_options& o) {
  if (!o.filter) return {};
  const auto& f = *o.filter;
  return shaping::trapezoid(f[0], f[1], f[2], f[3]);
}

int shaping_operation(motion_kind motion) {
  switch (motion) {
    case motion_kind::integrate:
      return shaping::integrate;
    case motion_kind::differentiate:
      return shaping::differentiate;
    case motion_kind::none:
      return 0;
  }
  return 0;
}

// Shapes a copy of the amplified spectrum and transforms it back.
std::vector<float> waveform_of(std::vector<cplx> spectrum, const analysis& a,
                               const shaping::band& band, motion_kind motion,
                               std::vector<cplx>* shaped) {
  shaping::shape(spectrum, a.grid.nom, a.grid.dom, band, shaping_operation(motion));
  if (shaped != nullptr) {
    *shaped = std::vector<cplx>(spectrum.begin(), spectrum.begin() + a.grid.nom);
  }
  std::vector<float> waveform(static_cast<std::size_t>(a.nf));
  synthesise(spectrum, a.nf, a.grid.dur, waveform);
  return waveform;
}

// Calls work(c) for each component: side by side when the run may use more
// than one thread (the components share nothing but what they read), else
// in turn (also when no thread can be started). Exceptions reach the caller
// either way.
void for_each_component(const work_control& control, const std::function<void(std::size_t)>& work) {
  if (control.threads <= 1) {
    for (std::size_t c = 0; c < component_count; ++c) work(c);
    return;
  }
  std::array<std::future<void>, component_count - 1> others;
  for (std::size_t c = 1; c < component_count; ++c)
    others[c - 1] = std::async(std::launch::async | std::launch::deferred, work, c);
  work(0);
  for (auto& other : others) other.get();
}

}  // namespace

int transform_size(const record& r, std::optional<long long> fft_size) {
  return grid_of_record(r, fft_size).size.nf;
}

analysis analyse(const record& r, const ground_model& model, const analysis_settings& s) {
  analysis a;
  a.components = r.components;
  a.vertical = model.vertical;
  fix_record_grid(r, s.options.fft_size, a);
  const auto nf = static_cast<std::size_t>(a.nf);
  const auto nom = static_cast<std::size_t>(a.grid.nom);

  std::array<std::vector<cplx>, component_count> spectra;
  for_each_component(s.control, [&](std::size_t c) {
    if (!r.has(c)) return;
    auto& spectrum = spectra[c];
    spectrum.resize(nf);
    forward_spectrum(r.samples[c], a.nf, a.dt, spectrum);
    a.input_spectrum[c].assign(spectrum.begin(),
                               spectrum.begin() + static_cast<std::ptrdiff_t>(nom));
  });

  factor_columns applied;
  const bool amplified = s.options.physics == physics_kind::exact
                             ? exact_amplification(model, s, a, applied)
                             : legacy_amplification(model, s, a, applied);
  if (!amplified) return a;  // stopped on request: the caller ends the run

  const shaping::band band = band_of(s.options);
  const motion_kind motion = s.options.motion;
  for_each_component(s.control, [&](std::size_t c) {
    if (!r.has(c)) return;
    std::vector<cplx>& spectrum = spectra[c];
    shaping::amplify(spectrum, applied[c]);
    a.surface[c] = waveform_of(spectrum, a, band, motion, &a.shaped[c]);
    a.surface_acceleration[c] = motion == motion_kind::none
                                    ? a.surface[c]
                                    : waveform_of(spectrum, a, band, motion_kind::none, nullptr);
  });
  return a;
}

}  // namespace sitewave::cli
