// The latency, tail and render extensions: what a host plans its timing around.

#include "host/clap/ClapExtensions.h"
#include "host/clap/ClapPlugin.h"

#include <cmath>
#include <limits>

namespace tarnwell::clapExtensions
{
namespace
{
// [main-thread]
std::uint32_t TARNWELL_CLAP_CALL noLatency (const clap::Plugin*)
{
    return 0;
}

// [main-thread, audio-thread] The slowest band's fall of 90 dB, in frames at the rate the
// host activated with (before any, at the core's own 44100 Hz).
std::uint32_t TARNWELL_CLAP_CALL tailFrames (const clap::Plugin* p)
{
    auto* self = ClapPlugin::from (p);
    if (self == nullptr)
        return 0;
    const auto session = self->session();
    const double frames = std::round (session.tailSeconds() * session.sampleRateNow());
    return frames < static_cast<double> (std::numeric_limits<std::int32_t>::max())
        ? static_cast<std::uint32_t> (frames)
        : std::numeric_limits<std::int32_t>::max();
}

// [main-thread] Nothing here needs real time, and either mode plays alike.
bool TARNWELL_CLAP_CALL noHardRealtimeRequirement (const clap::Plugin*)
{
    return false;
}
bool TARNWELL_CLAP_CALL setRenderMode (const clap::Plugin*, std::int32_t mode)
{
    return mode == clap::renderRealtime || mode == clap::renderOffline;
}
} // namespace

const clap::PluginLatency latency { &noLatency };
const clap::PluginTail tail { &tailFrames };
const clap::PluginRender render { &noHardRealtimeRequirement, &setRenderMode };
} // namespace tarnwell::clapExtensions
