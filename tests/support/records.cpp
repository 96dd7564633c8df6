// Input files for whole-program tests: wave records and ground models.
#include "support/records.hpp"

#include <cmath>
#include <cstdio>

namespace sitewave::testing {

std::string sine_record(int n, float dt) {
  std::string text = "time,H1,H2,V1\n";
  char line[128];
  for (int i = 0; i < n; ++i) {
    const double t = i * static_cast<double>(dt);
    std::snprintf(line, sizeof line, "%.6f,%.6f,%.6f,%.6f\n", t, std::sin(2.0 * t + 0.2),
                  std::cos(3.1 * t) * 0.8, 0.2 + 0.1 * std::sin(7.0 * t));
    text += line;
  }
  return text;
}

std::string record_of(const std::vector<row>& rows) {
  std::string text = "time,H1,H2,V1\n";
  char line[160];
  for (const row& r : rows) {
    std::snprintf(line, sizeof line, "%.9g,%.9g,%.9g,%.9g\n", r.t, r.h1, r.h2, r.v1);
    text += line;
  }
  return text;
}

namespace {

std::string soil_file(const char* angle, int nin, int nl, const char* rows) {
  return "Ground model of the site\n" + std::string(angle) + "\n" + std::to_string(nin) +
         "\nLayer count\n" + std::to_string(nl) + "\nLayer,Density,Vp,Qp,Fp,Vs,Qs,Fs,Thickness\n" +
         rows;
}

}  // namespace

std::string three_layer_soil(int nin) {
  return soil_file("30.0,degrees", nin, 3,
                   "1,1.7,400,15,0.3,150,10,0.5,5\n"
                   "2,1.9,800,25,0.3,300,20,0.5,15\n"
                   "3,2.3,2000,60,0.3,900,50,0.5,0\n");
}

std::string half_space_soil(int nin) {
  return soil_file("0", nin, 1, "1,2.2,2000,50,0,800,50,0,0\n");
}

}  // namespace sitewave::testing
