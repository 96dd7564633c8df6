// The shaping dialogue: whether to integrate or differentiate the motion,
// whether to filter it and with which trapezoid corners; then the shaping
// pass over the three spectra.
#include "core/shaping/shaping.hpp"
#include "dialogue/steps.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/list_read.hpp"
#include "dialogue/textio/write.hpp"

namespace sitewave::dialogue {

namespace {

using textio::console_in;
using textio::console_out;

constexpr int filter_on = 1;

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

// The corners are taken as typed, in whatever order.
shaping::band ask_corners(const run_storage& s) {
  const float f1 = static_cast<float>(s.iom - 1) * s.dom / s.pi2;
  const float f2 = static_cast<float>(s.nom - 1) * s.dom / s.pi2;
  textio::write_list(console_out, "   Data for TRAPEZOIDAL BAND PASS FILTER:");
  textio::write_list(console_out, "   INITIAL AND FINAL Frequencies =", f1, f2);
  textio::write_list(console_out);
  textio::write_list(console_out, "   Enter fL1,fL2,fH1 and fH2 (fL1<fL2<fH1<fH2: Hz): ");
  float fl1 = 0.0f, fl2 = 0.0f, fh1 = 0.0f, fh2 = 0.0f;
  textio::read_list(console_in, fl1, fl2, fh1, fh2);
  return shaping::trapezoid(fl1, fl2, fh1, fh2);
}

}  // namespace

void shape_spectra(run_storage& s) {
  const int nyes = ask_operator();
  const int nbd = ask_filter();
  s.pi2 = shaping::pi2();
  const shaping::band band = nbd == filter_on ? ask_corners(s) : shaping::band{};
  shaping::shape(s.fx1.all(), s.nom, s.dom, band, nyes);
  shaping::shape(s.fy1.all(), s.nom, s.dom, band, nyes);
  shaping::shape(s.fz1.all(), s.nom, s.dom, band, nyes);
}

}  // namespace sitewave::dialogue
