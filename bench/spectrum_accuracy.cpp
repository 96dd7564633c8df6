// The worst PSA error per period band of the sampling rule, against each
// oscillator stepped through the record (followed by zeros) interpolated 64
// times finer: broadband records at 50, 100 and 200 samples per second and
// the columns of any record CSV given (time first), at 5 % damping on the
// default periods.  usage: spectrum_accuracy [RECORD.csv ...]
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/response/band_limited.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/response_spectrum.hpp"
#include "tests/core/response/synthetic_record.hpp"

namespace {

using namespace sitewave::response;

struct named_record {
  std::string name;
  std::vector<double> accel;
  double dt;
};

double truth(std::vector<double> record, double dt, double period) {
  record.push_back(0.0);
  const auto fine = band_limited_interpolation(record, 64);
  const oscillator bank[] = {make_oscillator(period, 0.05, dt / 64)};
  double peak[1];
  peak_pseudo_accelerations(fine, bank, peak);
  return peak[0];
}

std::vector<named_record> columns_of(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  std::vector<std::string> names;
  for (std::stringstream header(line); std::getline(header, line, ',');) names.push_back(line);
  std::vector<double> time;
  std::vector<std::vector<double>> values(names.size() - 1);
  while (std::getline(in, line)) {
    std::stringstream row(line);
    std::string cell;
    std::getline(row, cell, ',');
    time.push_back(std::stod(cell));
    for (auto& v : values) {
      std::getline(row, cell, ',');
      v.push_back(std::stod(cell));
    }
  }
  std::vector<named_record> out;
  for (std::size_t c = 0; c < values.size(); ++c)
    out.push_back({path + " " + names[c + 1], values[c], time[1] - time[0]});
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<named_record> records{
      {"broadband 50/s", testing::broadband_record(1500, 0.02, 3), 0.02},
      {"broadband 100/s", testing::broadband_record(3000, 0.01, 4), 0.01},
      {"broadband 200/s", testing::broadband_record(6000, 0.005, 5), 0.005}};
  for (int i = 1; i < argc; ++i)
    for (auto& r : columns_of(argv[i])) records.push_back(r);
  const std::vector<double> periods = default_periods();
  const double bands[] = {0.0, 0.05, 0.1, 0.3, 1.0, 3.0, 10.5};
  std::printf("record,0-0.05 s,0.05-0.1 s,0.1-0.3 s,0.3-1 s,1-3 s,3-10 s (worst PSA error, %%)\n");
  for (const auto& r : records) {
    std::vector<double> psa(periods.size());
    pseudo_spectral_acceleration(r.accel, r.dt, periods, 0.05, psa);
    double worst[6] = {};
    for (std::size_t i = 0; i < periods.size(); ++i) {
      int band = 0;
      while (periods[i] >= bands[band + 1]) ++band;
      const double error = psa[i] / truth(r.accel, r.dt, periods[i]) - 1.0;
      if (std::abs(error) > std::abs(worst[band])) worst[band] = error;
    }
    std::printf("%s", r.name.c_str());
    for (double w : worst) std::printf(",%+.3f", 100.0 * w);
    std::printf("\n");
  }
}
