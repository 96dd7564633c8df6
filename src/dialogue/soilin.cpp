// Reader of the ground model file soil_dat.csv: the incident angle, the
// input wave type and the layer table, each echoed on the console as it is
// read. Values that cannot give a sound analysis are refused with a message
// that names the line, the column and the value.
#include "dialogue/soilin.hpp"

#include <optional>
#include <string>
#include <string_view>

#include "core/ground/amplification.hpp"
#include "core/ground/layer_checks.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/failure.hpp"
#include "dialogue/textio/list_read.hpp"
#include "dialogue/textio/write.hpp"

namespace sitewave::dialogue {

using ground::layer_table;

namespace {

using textio::console_out;

constexpr int soil_unit = 4;
constexpr std::string_view soil_file = "soil_dat.csv";
constexpr float degrees_to_radians = ground::radians_per_degree_single;

constexpr textio::layout layer_count_lines{
    "(/,'   Total Number of Layers =',I5,/,'   Layer,Density,Vp(real),    Qp  ,  Fp  ,Vs(real),"
    "    Qs  ,  Fs  ,Thickness(m)')"};
constexpr textio::layout layer_row{"(I6,F9.3,2(F9.2,F9.3,F7.3),F12.3)"};

// The place of a refused value: the file and the line it was read from.
std::string at_line() {
  return std::string(soil_file) + ": line " + std::to_string(textio::line_number(soil_unit)) + ": ";
}

void refuse_if(const std::optional<std::string>& problem) {
  if (problem) textio::refuse(at_line() + *problem);
}

// The layer number is only echoed. Every row reads it into the same
// variable, so a row whose number is left out (a null value, or a slash
// before it) echoes the number of the row before.
void read_layer_rows(layer_table& t) {
  int i = 0;
  for (int l = 1; l <= t.nl; ++l) {
    textio::read_list(soil_unit, i, t.dns(l), t.vp(l), t.qp(l), t.fp(l), t.vs(l), t.qs(l), t.fs(l),
                      t.thk(l));
    textio::write_formatted(console_out, layer_row, i, t.dns(l), t.vp(l), t.qp(l), t.fp(l), t.vs(l),
                            t.qs(l), t.fs(l), t.thk(l));
    refuse_if(ground::layer_row_problem(t, l));
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
  refuse_if(ground::angle_problem(thet1));

  textio::read_list(soil_unit, nin);
  textio::write_list(console_out, "  Input Wave Type =", nin);
  textio::write_list(console_out, "    (=1: Data of Theoretical Input Data in Bedrock");
  textio::write_list(console_out, "    ,=2: Data Observed at Boreholein Bedrock)");
  refuse_if(ground::wave_type_problem(nin));

  textio::read_list(soil_unit);
  textio::read_list(soil_unit, layers.nl);
  textio::write_formatted(console_out, layer_count_lines, layers.nl);
  refuse_if(ground::layer_count_problem(layers.nl));

  textio::read_list(soil_unit);
  read_layer_rows(layers);
  textio::close(soil_unit);

  theta = thet1 * degrees_to_radians;
}

}  // namespace sitewave::dialogue
