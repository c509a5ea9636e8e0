// The state extension: the settings block VST 2.4 saves, byte for byte, through the host's
// streams, with the same checks on what comes back.

#include "host/clap/ClapExtensions.h"
#include "host/clap/ClapPlugin.h"

#include <juce_core/juce_core.h>

#include <limits>

namespace tarnwell::clapExtensions
{
namespace
{
// The largest block the instance core reads, as for a VST 2.4 chunk; a longer stream is
// refused before it is gathered.
constexpr std::int64_t largestBlock = std::numeric_limits<int>::max();

// [main-thread]
bool TARNWELL_CLAP_CALL save (const clap::Plugin* p, const clap::OutputStream* stream)
{
    auto* self = ClapPlugin::from (p);
    if (self == nullptr || stream == nullptr || stream->write == nullptr)
        return false;
    try
    {
        juce::MemoryBlock block;
        self->session().save (block);
        const auto* bytes = static_cast<const char*> (block.getData());
        std::uint64_t done = 0;
        while (done < block.getSize())
        {
            const auto written = stream->write (stream, bytes + done, block.getSize() - done);
            if (written <= 0)
                return false;
            done += static_cast<std::uint64_t> (written);
        }
        return true;
    }
    catch (...)
    {
        return false;
    }
}

// [main-thread] A block that holds no settings changes nothing and is refused.
bool TARNWELL_CLAP_CALL load (const clap::Plugin* p, const clap::InputStream* stream)
{
    auto* self = ClapPlugin::from (p);
    if (self == nullptr || stream == nullptr || stream->read == nullptr)
        return false;
    try
    {
        juce::MemoryBlock block;
        char buffer[4096];
        for (;;)
        {
            const auto got = stream->read (stream, buffer, sizeof (buffer));
            if (got < 0)
                return false;
            if (got == 0)
                break;
            if (static_cast<std::int64_t> (block.getSize()) + got > largestBlock)
                return false;
            block.append (buffer, static_cast<size_t> (got));
        }
        return self->restore (block);
    }
    catch (...)
    {
        return false;
    }
}
} // namespace

const clap::PluginState state { &save, &load };
} // namespace tarnwell::clapExtensions
