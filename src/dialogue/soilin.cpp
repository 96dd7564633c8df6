// Reader of the ground model file soil_dat.csv: the incident angle, the
// input wave type and the layer table, each echoed on the console as it is
// read. Values that cannot give a sound analysis are refused with a message
// that names the line, the column and the value.
#include "dialogue/soilin.hpp"

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/failure.hpp"
#include "dialogue/textio/list_read.hpp"
#include "dialogue/textio/write.hpp"

namespace sitewave::dialogue {

using ground::layer_table;
using ground::ml;

namespace {

using textio::console_out;

constexpr int soil_unit = 4;
constexpr std::string_view soil_file = "soil_dat.csv";
constexpr float degrees_to_radians = 0.017453292f;

constexpr textio::layout layer_count_lines{
    "(/,'   Total Number of Layers =',I5,/,'   Layer,Density,Vp(real),    Qp  ,  Fp  ,Vs(real),"
    "    Qs  ,  Fs  ,Thickness(m)')"};
constexpr textio::layout layer_row{"(I6,F9.3,2(F9.2,F9.3,F7.3),F12.3)"};

std::string shown(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
  return text;
}

// The place of a refused value: the file and the line it was read from.
std::string at_line() {
  return std::string(soil_file) + ": line " + std::to_string(textio::line_number(soil_unit)) + ": ";
}

void refuse_wave_type(int nin) {
  if (nin == 1 || nin == 2) return;
  textio::refuse(at_line() + "input wave type " + std::to_string(nin) +
                 " must be 1 (theoretical input motion in the bedrock) or 2 (motion observed in a "
                 "borehole in the bedrock)");
}

void refuse_layer_count(int nl) {
  if (nl >= 1 && nl <= ml) return;
  textio::refuse(at_line() + "number of layer rows " + std::to_string(nl) + " must be from 1 to " +
                 std::to_string(ml) + " (the last row is the half-space)");
}

void refuse_angle(float thet1) {
  if (std::isfinite(thet1)) return;
  textio::refuse(at_line() + "incident wave angle " + shown(thet1) + " is not a finite number");
}

struct column {
  const char* title;
  float value;
};

// A layer row that would make the tables not finite or meaningless.
void refuse_layer_row(const layer_table& t, int l) {
  const std::string where = at_line() + "layer row " + std::to_string(l) + ", ";
  const column columns[] = {{"density", t.dns(l)}, {"Vp", t.vp(l)},        {"Qp", t.qp(l)},
                            {"Fp", t.fp(l)},       {"Vs", t.vs(l)},        {"Qs", t.qs(l)},
                            {"Fs", t.fs(l)},       {"thickness", t.thk(l)}};
  for (const column& c : columns) {
    if (!std::isfinite(c.value)) {
      textio::refuse(where + c.title + " " + shown(c.value) + ": a finite number is expected");
    }
  }
  for (const column& c : {columns[0], columns[4], columns[5], columns[2]}) {
    if (c.value <= 0.0f) {
      textio::refuse(where + c.title + " " + shown(c.value) + ": a value above zero is expected");
    }
  }
  if (t.vp(l) <= t.vs(l)) {
    textio::refuse(where + "Vp " + shown(t.vp(l)) + ": a value above Vs " + shown(t.vs(l)) +
                   " is expected");
  }
  if (l < t.nl && t.thk(l) < 0.0f) {
    textio::refuse(where + "thickness " + shown(t.thk(l)) + ": zero or more is expected");
  }
}

void read_layer_rows(layer_table& t) {
  for (int l = 1; l <= t.nl; ++l) {
    int i = 0;
    textio::read_list(soil_unit, i, t.dns(l), t.vp(l), t.qp(l), t.fp(l), t.vs(l), t.qs(l), t.fs(l),
                      t.thk(l));
    textio::write_formatted(console_out, layer_row, i, t.dns(l), t.vp(l), t.qp(l), t.fp(l), t.vs(l),
                            t.qs(l), t.fs(l), t.thk(l));
    refuse_layer_row(t, l);
  }
}

}  // namespace

void soilin(layer_table& layers, float& theta, int& nin) {
  textio::write_list(console_out);
  textio::write_list(console_out, "From Subroutine SOILIN:");
  textio::open(soil_unit, soil_file, textio::open_status::old);

  float thet1 = 0.0f;
  textio::read_list(soil_unit);
  textio::read_list(soil_unit, thet1);
  textio::write_list(console_out, "  Incident Wave Angle (degree) =", thet1);
  refuse_angle(thet1);

  textio::read_list(soil_unit, nin);
  textio::write_list(console_out, "  Input Wave Type =", nin);
  textio::write_list(console_out, "    (=1: Data of Theoretical Input Data in Bedrock");
  textio::write_list(console_out, "    ,=2: Data Observed at Boreholein Bedrock)");
  refuse_wave_type(nin);

  textio::read_list(soil_unit);
  textio::read_list(soil_unit, layers.nl);
  textio::write_formatted(console_out, layer_count_lines, layers.nl);
  refuse_layer_count(layers.nl);

  textio::read_list(soil_unit);
  read_layer_rows(layers);
  textio::close(soil_unit);

  theta = thet1 * degrees_to_radians;
}

}  // namespace sitewave::dialogue
