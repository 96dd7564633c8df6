// The run sequence: one analysis from the opening dialogue to the waveform
// file, in a fixed order, with all working storage sized once.
#include "dialogue/run.hpp"

#include <cstdlib>
#include <memory>

#include "core/ground/amplification.hpp"
#include "dialogue/soilin.hpp"
#include "dialogue/steps.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/signals.hpp"

namespace sitewave::dialogue {

void run() {
  // Sized once for the whole run (a few megabytes: too much for the stack).
  const auto storage = std::make_unique<run_storage>();
  run_storage& s = *storage;

  ask_record_name(s);
  read_record(s);
  transform_record(s);

  soilin(s.layers, s.theta, s.nin);
  s.fom = 0.0f;
  // An interrupt stops the tables part-way; the run ends before using them.
  const work_control control{.threads = thread_count(std::getenv("SITEWAVE_THREADS")),
                             .stop = textio::stop_request()};
  ground::sbshml(s.fom, s.dom, s.nom, s.layers, s.theta, s.samp.columns(), control);
  ground::sbudml(s.fom, s.dom, s.nom, s.layers, s.theta, s.pamp.columns(), control);
  textio::act_on_pending_signal();
  warn_if_not_finite(s);

  apply_amplification(s);
  shape_spectra(s);
  write_spectrum_file(s);
  synthesise_waveforms(s);
  write_results(s);

  textio::end_run(0);
}

}  // namespace sitewave::dialogue
