// The steps of one analysis in the order the dialogue takes them (forward
// spectra, amplification tables, amplification, shaping, synthesis), so
// that for the same inputs the command's legacy files match the dialogue's
// byte for byte.
#include "cli/analysis.hpp"

#include <limits>
#include <span>
#include <string>

#include "cli/errors.hpp"
#include "core/ground/amplification.hpp"
#include "core/synthesis/synthesis.hpp"

namespace sitewave::cli {

namespace {

// Transform sizes up to 2^30 samples; memory is the real limit long before.
constexpr int max_exponent = 30;

const std::vector<float>& samples_of(const record& r, int c) {
  return c == 0 ? r.h1 : (c == 1 ? r.h2 : r.v1);
}

void fix_record_grid(const record& r, analysis& a) {
  const long long nt = static_cast<long long>(r.rows());
  a.dt = nt >= 2 ? r.time[1] - r.time[0] : 0.0f;
  if (const auto problem = record_problem(nt, a.dt)) {
    throw input_error(r.paths.front() + ": record refused: " + *problem);
  }
  const auto size = transform_size_for(nt, max_exponent);
  if (!size || nt > std::numeric_limits<int>::max()) {
    throw input_error(r.paths.front() + ": record refused: " + std::to_string(nt) +
                      " rows are more than this program can transform");
  }
  a.nt = static_cast<int>(nt);
  a.nf = size->nf;
  a.exponent = size->exponent;
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

// The legacy tables: SH for the horizontal components, P-SV for the vertical.
bool legacy_tables(const ground_model& model, const analysis_settings& s, analysis& a) {
  const int nom = a.grid.nom;
  ground::amp_table sh(nom), psv(nom);
  ground::sbshml(0.0f, a.grid.dom, nom, model.layers, s.theta, sh.columns(), s.control);
  ground::sbudml(0.0f, a.grid.dom, nom, model.layers, s.theta, psv.columns(), s.control);
  if (s.control.stop_requested()) return false;
  const auto column = [nom](ground::amp_table& t, int k) {
    const auto c = t.columns().column(k);
    return std::vector<cplx>(c.begin(), c.begin() + nom);
  };
  a.columns = {column(sh, 1), column(sh, 2), column(psv, 1), column(psv, 2)};
  return true;
}

void applied_factors(const analysis_settings& s, analysis& a,
                     std::array<std::vector<cplx>, 2>& applied) {
  const std::size_t nom = static_cast<std::size_t>(a.grid.nom);
  for (auto& v : applied) v.resize(nom);
  a.sh.resize(nom);
  a.psv.resize(nom);
  for (std::size_t i = 0; i < nom; ++i) {
    applied[0][i] = applied_factor(a.columns[0][i], a.columns[1][i], s.input);
    applied[1][i] = applied_factor(a.columns[2][i], a.columns[3][i], s.input);
    a.sh[i] = {applied[0][i].re, applied[0][i].im};
    a.psv[i] = {applied[1][i].re, applied[1][i].im};
  }
}

// Shapes a copy of the amplified spectrum and transforms it back.
std::vector<float> waveform_of(std::vector<cplx> spectrum, const analysis& a,
                               const shaping::band& band, int operation,
                               std::vector<cplx>* shaped) {
  shaping::shape(spectrum, a.grid.nom, a.grid.dom, band, operation);
  if (shaped != nullptr) {
    *shaped = std::vector<cplx>(spectrum.begin(), spectrum.begin() + a.grid.nom);
  }
  std::vector<float> waveform(static_cast<std::size_t>(a.nf));
  synthesise(spectrum, a.nf, a.grid.dur, waveform);
  return waveform;
}

}  // namespace

analysis analyse(const record& r, const ground_model& model, const analysis_settings& s) {
  analysis a;
  fix_record_grid(r, a);
  const auto nf = static_cast<std::size_t>(a.nf);
  const auto nom = static_cast<std::size_t>(a.grid.nom);

  std::array<std::vector<cplx>, components> spectra;
  for (int c = 0; c < components; ++c) {
    auto& spectrum = spectra[static_cast<std::size_t>(c)];
    spectrum.resize(nf);
    forward_spectrum(samples_of(r, c), a.nf, a.dt, spectrum);
    a.input_spectrum[static_cast<std::size_t>(c)].assign(
        spectrum.begin(), spectrum.begin() + static_cast<std::ptrdiff_t>(nom));
  }

  if (!legacy_tables(model, s, a)) {
    a.complete = false;
    return a;
  }
  std::array<std::vector<cplx>, 2> applied;
  applied_factors(s, a, applied);

  for (std::size_t c = 0; c < components; ++c) {
    std::vector<cplx>& spectrum = spectra[c];
    shaping::amplify(spectrum, c < 2 ? applied[0] : applied[1]);
    a.surface[c] = waveform_of(spectrum, a, s.band, s.operation, &a.shaped[c]);
    a.surface_acceleration[c] =
        s.operation == 0 ? a.surface[c] : waveform_of(spectrum, a, s.band, 0, nullptr);
  }
  return a;
}

}  // namespace sitewave::cli
