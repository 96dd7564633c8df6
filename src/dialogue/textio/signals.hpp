// Interrupts, termination requests, hang-ups, arithmetic traps and abort
// signals. A handler only records the signal; the run ends on it at its next
// safe point (a console or file transfer, a step boundary, the return of a
// long computation), where the channels can be closed and cut safely.
#pragma once

#include <atomic>

namespace sitewave::textio {

// Installs the handlers. An interrupt or hang-up that was ignored when the
// program started stays ignored.
void install_signal_handlers();

// True once a signal that ends the run has been recorded.
bool signal_recorded();

// Raised together with the record, for long computations to stop early.
const std::atomic<bool>* stop_request();

// A descriptor that turns readable when a signal is recorded, for waits
// that must not miss one; -1 when there is none.
int signal_wakeup_fd();

// The safe point: when a signal was recorded, its message goes to the
// standard error stream ("Interrupt"; "Killed" for a termination request or
// a hang-up; "Floating Exception", "IOT Trap"), every channel is closed and
// cut, and the run ends with status 1 (abnormally for the last two).
// Otherwise it returns at once.
void act_on_pending_signal();

}  // namespace sitewave::textio
