// The shaping dialogue and pass: an optional trapezoidal band-pass weight and
// an optional integration (division by i·ω) or differentiation
// (multiplication by i·ω) of every line from the first grid step to Nyquist.
#include <cmath>

#include "dialogue/steps.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/list_read.hpp"
#include "dialogue/textio/write.hpp"

namespace sitewave::dialogue {

namespace {

using textio::console_in;
using textio::console_out;

constexpr int integrate = 1;
constexpr int differentiate = 2;
constexpr int filter_on = 1;
// Upper band edge without the filter, rad/s.
constexpr float no_upper_edge = 99999.9f;

// Corners of the trapezoid as angular frequencies: zero weight below oml1
// and from omh2 up, full weight from oml2 to omh1.
struct band {
  float oml1 = 0.0f;
  float oml2 = 0.0f;
  float omh1 = 0.0f;
  float omh2 = no_upper_edge;
};

// Unset answers (a null value or a slash) count as 0: no operator, no filter.
int ask_operator() {
  textio::write_list(console_out);
  textio::write_list(console_out, " You can integrate or differentiate the original wave.;");
  textio::write_list(console_out, "   Do not change   (Enter -> 0),");
  textio::write_list(console_out, "   Integrate       (Enter -> 1),");
  textio::write_list(console_out, "   Differentiate   (Enter -> 2):");
  int nyes = 0;
  textio::read_list(console_in, nyes);
  return nyes;
}

int ask_filter() {
  textio::write_list(console_out);
  textio::write_list(console_out, " Band Pass Filter? (Yes=1 or No=0) :");
  int nbd = 0;
  textio::read_list(console_in, nbd);
  return nbd;
}

band ask_corners(const run_storage& s) {
  const float f1 = static_cast<float>(s.iom - 1) * s.dom / s.pi2;
  const float f2 = static_cast<float>(s.nom - 1) * s.dom / s.pi2;
  textio::write_list(console_out, "   Data for TRAPEZOIDAL BAND PASS FILTER:");
  textio::write_list(console_out, "   INITIAL AND FINAL Frequencies =", f1, f2);
  textio::write_list(console_out);
  textio::write_list(console_out, "   Enter fL1,fL2,fH1 and fH2 (fL1<fL2<fH1<fH2: Hz): ");
  float fl1 = 0.0f, fl2 = 0.0f, fh1 = 0.0f, fh2 = 0.0f;
  textio::read_list(console_in, fl1, fl2, fh1, fh2);
  return band{fl1 * s.pi2, fl2 * s.pi2, fh1 * s.pi2, fh2 * s.pi2};
}

// Trapezoid weight of a line inside the band. When both ramps apply (corners
// out of order) the falling one stands.
float weight(float omega, const band& b, bool filtered) {
  float aa = 1.0f;
  if (filtered) {
    if (omega < b.oml2) aa = (omega - b.oml1) / (b.oml2 - b.oml1);
    if (omega > b.omh1) aa = (b.omh2 - omega) / (b.omh2 - b.omh1);
  }
  return aa;
}

cplx apply_operator(cplx v, float omega, int nyes) {
  if (nyes == integrate) v = cplx{v.im / omega, -v.re / omega};
  if (nyes == differentiate) v = cplx{-omega * v.im, omega * v.re};
  return v;
}

}  // namespace

void shape_spectra(run_storage& s) {
  const int nyes = ask_operator();
  const int nbd = ask_filter();
  s.pi2 = static_cast<float>(8.0 * std::atan(1.0));
  const bool filtered = nbd == filter_on;
  const band b = filtered ? ask_corners(s) : band{};

  const cplx zero{0.0f, 0.0f};
  s.fx1(1) = zero;
  s.fy1(1) = zero;
  s.fz1(1) = zero;
  for (int k = 2; k <= s.nom; ++k) {
    const float omega = static_cast<float>(k - 1) * s.dom;
    if (omega < b.oml1 || omega >= b.omh2) {
      s.fx1(k) = zero;
      s.fy1(k) = zero;
      s.fz1(k) = zero;
      continue;
    }
    const float aa = weight(omega, b, filtered);
    s.fx1(k) = apply_operator(aa * cplx{s.xr1(k), s.xi1(k)}, omega, nyes);
    s.fy1(k) = apply_operator(aa * cplx{s.yr1(k), s.yi1(k)}, omega, nyes);
    s.fz1(k) = apply_operator(aa * cplx{s.zr1(k), s.zi1(k)}, omega, nyes);
  }
}

}  // namespace sitewave::dialogue
