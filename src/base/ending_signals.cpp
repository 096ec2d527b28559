#include "base/ending_signals.hpp"

#include <array>

namespace vedad {

namespace {

constexpr std::array ENDING_SIGNALS = {SIGINT, SIGTERM, SIGHUP};

void (*registered_clean_up)() = nullptr;

void end_by_signal(int number)
{
    if (registered_clean_up != nullptr) registered_clean_up();
    // The handler was reset to the default action on entry; the signal raised again is
    // delivered as soon as the handler returns and ends the process by it.
    raise(number);
}

sigset_t ending_signal_set()
{
    sigset_t set;
    sigemptyset(&set);
    for (int number : ENDING_SIGNALS) sigaddset(&set, number);
    return set;
}

}  // namespace

void clean_up_on_ending_signals(void (*clean_up)())
{
    registered_clean_up = clean_up;
    struct sigaction action {};
    action.sa_handler = end_by_signal;
    action.sa_mask = ending_signal_set();
    action.sa_flags = SA_RESETHAND;
    for (int number : ENDING_SIGNALS) {
        struct sigaction current {};
        // A signal ignored at start (nohup, a background job) stays ignored.
        if (sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        sigaction(number, &action, nullptr);
    }
}

EndingSignalsHeld::EndingSignalsHeld()
{
    const sigset_t set = ending_signal_set();
    sigprocmask(SIG_BLOCK, &set, &previous_);
}

EndingSignalsHeld::~EndingSignalsHeld()
{
    sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace vedad
