#include "app/ExitSignals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t signalled = 0;

extern "C" void onExitSignal(int number) {
    if (signalled) {
        // The loop did not end after the first one: let it die as usual.
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    signalled = 1;
}

} // namespace

void installExitSignals() {
    signalled = 0;
    struct sigaction action {};
    action.sa_handler = onExitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // The terminal the program runs in was closed: end as for a kill.
    sigaction(SIGHUP, &action, nullptr);
}

void removeExitSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

bool exitSignalled() {
    return signalled != 0;
}
