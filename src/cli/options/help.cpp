// What the command line offers, with an example for each subcommand.
#include "cli/options/help.hpp"

#ifndef SITEWAVE_VERSION
#define SITEWAVE_VERSION "unknown"
#endif

namespace sitewave::cli {

std::string_view help_text() {
  return R"(sitewave: seismic ground response of horizontally layered ground

Usage:
  sitewave                     the console dialogue (reads soil_dat.csv and asks for the record)
  sitewave run [options]       one analysis into a results folder
  sitewave plot DIR [--out PLOTDIR] [--dpi N]
                               PNG figures of a results folder (Python 3 with matplotlib)
  sitewave batch MANIFEST --out DIR [options]
                               a suite of analyses, one per manifest row
  sitewave --help              this text
  sitewave --version           the program version

sitewave run options:
  --record PATH          record: a title line, then rows of time, H1, H2, V1 (the dialogue's format)
  --at2 H1,H2,V          or three .AT2 strong-motion files (samples in g), one per component
  --soil PATH            ground model file (default soil_dat.csv), the dialogue's format
  --angle DEG            incidence angle in the half-space, 0 <= DEG < 90 (default: from the file)
  --input KIND           what the record is (default: from the file's input wave type):
                           incident  the wave incident in the half-space (type 1)
                           within    the total motion at the top of the half-space (type 2)
                           outcrop   the motion at a free surface of the half-space (2 x incident)
  --motion KIND          none (default), integrate or differentiate the surface motion
  --filter F1,F2,F3,F4   trapezoidal band-pass corners in Hz, 0 <= F1 <= F2 <= F3 <= F4, F1 < F4
  --scale S              multiply the record by S (e.g. 9806.65 for g to mm/s2)
  --units NAME           the record's unit, a label kept in run.json (no conversion)
  --physics KIND         legacy (default, as the dialogue) or exact (oblique SH, coupled P-SV)
  --periods FILE|T1,...  response-spectrum periods in s (default 100 from 0.01 to 10 s)
  --damping D1,...       response-spectrum damping ratios (default 0.05)
  --smoothing B          Konno-Ohmachi bandwidth of the smoothed spectra (default 40)
  --out DIR              results folder (default ./sitewave-out); it appears complete or not at all
  --force                replace an existing, non-empty results folder
  --threads N            threads for the amplification (default: SITEWAVE_THREADS or all cores)
  --quiet                no summary on the console

sitewave batch options:
  MANIFEST               a CSV table: a header row of run option names (case, record or at2,
                           soil, angle, ...), one case per row; paths relative to its folder
  --out DIR              results: DIR/<case>/ per case and DIR/summary.csv
  -j, --jobs N           cases at once (default: the processors available); each runs single-threaded
  --force                run every case again (default: skip cases whose results stand)
  --shard K/M            run only the cases whose index (0 for the first) modulo M is K
  --list                 print the case names (of the shard) and stop
  --summary-only         run nothing; collect DIR/summary.csv from the case folders

Examples:
  sitewave run --record examples/kaikoura_wtmc.csv --soil examples/soil_dat.csv \
               --filter 0.1,0.2,20,24 --out kaikoura-out
  sitewave batch examples/suite.csv --out suite-out -j 2

Exit status: 0 done, 1 refused input or failed/interrupted run (for batch: any case
not ok), 2 usage error (an interrupt ends with 128 + the signal number).
)";
}

std::string_view version_text() {
  return "sitewave " SITEWAVE_VERSION "\n";
}

}  // namespace sitewave::cli
