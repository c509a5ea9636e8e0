#include "host/standalone/QuitSignals.h"

#include <atomic>
#include <csignal>

namespace tarnwell::standalone
{
namespace
{
std::atomic<bool> arrived { false };
static_assert (std::atomic<bool>::is_always_lock_free, "the signal handler may only touch lock-free atomics");

extern "C" void onQuitSignal (int signalNumber)
{
    if (arrived.exchange (true))
    {
        // Asked twice: the default action, which ends the process.
        std::signal (signalNumber, SIG_DFL);
        std::raise (signalNumber);
    }
}
} // namespace

void catchQuitSignals()
{
    struct sigaction action
    {};
    action.sa_handler = onQuitSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // Replaces JUCE's own SIGINT handler, which quits without saving the plug-in's state.
    sigaction (SIGTERM, &action, nullptr);
    sigaction (SIGINT, &action, nullptr);
}

bool quitSignalArrived() noexcept
{
    return arrived.load();
}
} // namespace tarnwell::standalone
