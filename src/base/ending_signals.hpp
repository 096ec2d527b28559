#pragma once

#include <signal.h>

namespace vedad {

// The signals by which a user or the system asks a run to end: SIGINT, SIGTERM and SIGHUP.

// Makes each ending signal that is not ignored at start call `clean_up` and then end the
// process by that same signal, as its default action would have. `clean_up` must be safe to
// call from a signal handler.
void clean_up_on_ending_signals(void (*clean_up)());

// Holds the ending signals back while it lives, so that a step which must not be cut in two
// (making and registering a temporary file, writing a file in place) runs to its end first;
// a signal that came meanwhile takes effect when the object goes away.
class EndingSignalsHeld {
public:
    EndingSignalsHeld();
    ~EndingSignalsHeld();
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t previous_;
};

}  // namespace vedad
