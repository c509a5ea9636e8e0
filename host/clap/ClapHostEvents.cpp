#include "host/clap/ClapHostEvents.h"

#include "host/clap/ClapPlugin.h"
#include "host/editor_hosting/MessageThread.h"

#include <juce_events/juce_events.h>
// JUCE's own list of its event loop's descriptors, as its VST3 wrapper hands them to a host.
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <algorithm>
#include <vector>

namespace juce
{
// JUCE's Linux event loop: dispatches what is waiting, or nothing if asked not to wait.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace tarnwell
{
namespace
{
const clap::HostPosixFdSupport* fdSupport (const ClapPlugin& plugin)
{
    const auto* fds =
        static_cast<const clap::HostPosixFdSupport*> (plugin.hostExtension (clap::extension::posixFdSupport));
    return fds != nullptr && fds->registerFd != nullptr && fds->unregisterFd != nullptr ? fds : nullptr;
}

const clap::HostTimerSupport* timerSupport (const ClapPlugin& plugin)
{
    const auto* timers =
        static_cast<const clap::HostTimerSupport*> (plugin.hostExtension (clap::extension::timerSupport));
    return timers != nullptr && timers->registerTimer != nullptr && timers->unregisterTimer != nullptr ? timers
                                                                                                       : nullptr;
}
} // namespace

// [message-thread] The host's list of our descriptors, kept equal to JUCE's.
struct ClapHostEvents::Registration final : juce::LinuxEventLoopInternal::Listener
{
    Registration (const clap::Host* h, const clap::HostPosixFdSupport& f) : host (h), fds (f)
    {
        juce::LinuxEventLoopInternal::registerLinuxEventLoopListener (*this);
        fdCallbacksChanged();
    }

    ~Registration() override
    {
        juce::LinuxEventLoopInternal::deregisterLinuxEventLoopListener (*this);
        for (const int fd : registered)
            fds.unregisterFd (host, fd);
    }

    // JUCE added or removed one, e.g. the X connection when the first window opens.
    void fdCallbacksChanged() override
    {
        auto wanted = juce::LinuxEventLoopInternal::getRegisteredFds();
        std::sort (wanted.begin(), wanted.end());
        std::vector<int> kept;
        for (const int fd : registered)
            if (std::binary_search (wanted.begin(), wanted.end(), fd))
                kept.push_back (fd);
            else
                fds.unregisterFd (host, fd);
        for (const int fd : wanted)
            if (! std::binary_search (registered.begin(), registered.end(), fd)
                && fds.registerFd (host, fd, clap::posixFdRead))
                kept.push_back (fd);
        std::sort (kept.begin(), kept.end());
        registered = std::move (kept);
    }

    const clap::Host* const host;
    const clap::HostPosixFdSupport& fds;
    std::vector<int> registered; // sorted
};

bool ClapHostEvents::offeredBy (const ClapPlugin& plugin)
{
    return fdSupport (plugin) != nullptr || timerSupport (plugin) != nullptr;
}

ClapHostEvents::ClapHostEvents (const ClapPlugin& plugin) : host (plugin.host())
{
    // Where another editor already runs on the message thread of our own, this one does too.
    if (! SharedMessageThread::isCallingThread())
        return;
    if (const auto* fds = fdSupport (plugin))
        registration = std::make_unique<Registration> (host, *fds);
    else if ((timers = timerSupport (plugin)) != nullptr && ! timers->registerTimer (host, timerPeriodMs, &timer))
        timer = clap::invalidId;
}

ClapHostEvents::~ClapHostEvents()
{
    if (timer != clap::invalidId)
        timers->unregisterTimer (host, timer);
}

void ClapHostEvents::onFd (int fd)
{
    if (registration != nullptr)
        juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (fd);
}

// What is waiting, and no more: a busy editor cannot hold the host's loop for long.
void ClapHostEvents::onTimer (clap::Id id)
{
    if (id != timer || timer == clap::invalidId)
        return;
    for (int i = 0; i < 64 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {}
}
} // namespace tarnwell
