// On Windows the host's GUI thread is JUCE's message thread and runs the editor's events
// through its own message loop: nothing to register.

#include "host/clap/ClapHostEvents.h"

namespace tarnwell
{
struct ClapHostEvents::Registration
{};

bool ClapHostEvents::offeredBy (const ClapPlugin&)
{
    return false;
}
ClapHostEvents::ClapHostEvents (const ClapPlugin&) {}
ClapHostEvents::~ClapHostEvents() = default;
void ClapHostEvents::onFd (int) {}
void ClapHostEvents::onTimer (clap::Id) {}
} // namespace tarnwell
