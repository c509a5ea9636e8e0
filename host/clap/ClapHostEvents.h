#pragma once

#include "host/clap/ClapExtensionsAbi.h"

#include <memory>

namespace tarnwell
{
class ClapPlugin;

// On Linux, in a host that runs its GUI from its own main loop: the editor's events (the X
// connection, JUCE's message queue) run on the host's main thread, which is then JUCE's message
// thread. Where the host offers fd support, JUCE's descriptors are registered with it and run
// when it calls on_fd, which costs nothing while idle; where it offers only timer support, one
// timer runs them while the editor exists. Elsewhere this does nothing, and the shared message
// thread of our own runs the editor.
class ClapHostEvents
{
public:
    // [main-thread] Whether the plug-in's host offers either.
    static bool offeredBy (const ClapPlugin&);

    // [main-thread] Registers with the host, if the calling thread is the message thread.
    explicit ClapHostEvents (const ClapPlugin&);
    ~ClapHostEvents(); // unregisters everything

    // [main-thread] The host's calls: a descriptor is ready, a timer is due.
    void onFd (int fd);
    void onTimer (clap::Id);

    // The timer's period where there is one, in milliseconds.
    static constexpr std::uint32_t timerPeriodMs = 20;

private:
    struct Registration;
    std::unique_ptr<Registration> registration;
    const clap::Host* host = nullptr;
    const clap::HostTimerSupport* timers = nullptr;
    clap::Id timer = clap::invalidId;
};
} // namespace tarnwell
