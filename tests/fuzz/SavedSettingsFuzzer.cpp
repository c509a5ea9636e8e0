// Restores arbitrary bytes, saves, restores that block into a fresh processor and saves
// again: whatever a host hands back must never crash the reader, a block it refuses must
// change nothing, and whatever the processor writes after a restore must read back to the
// very same block. (A new processor's own block is not such a fixed point: its defaults are
// doubles, while a restore stores each value as the float it applies.)
#include "processor/SavedSettings.h"
#include "host/juce_formats/TarnwellAudioProcessor.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{
juce::MemoryBlock saveAfterRestoring (const void* data, int size)
{
    tarnwell::TarnwellAudioProcessor processor;
    processor.setStateInformation (data, size);
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

void dump (const char* label, const juce::MemoryBlock& block)
{
    std::fprintf (stderr, "%s (%zu bytes): ", label, block.getSize());
    std::fwrite (block.getData(), 1, block.getSize(), stderr);
    std::fputc ('\n', stderr);
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // Alive for the whole run, as in a host.
    static const juce::ScopedJuceInitialiser_GUI juce;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    if (size > static_cast<std::size_t> (std::numeric_limits<int>::max()))
        return 0;

    const int sizeInBytes = static_cast<int> (size);
    const auto first = saveAfterRestoring (data, sizeInBytes);

    if (! tarnwell::readSavedSettings (data, sizeInBytes).isValid())
    {
        static const auto untouched = saveAfterRestoring (nullptr, 0);
        if (first != untouched)
        {
            dump ("refused block changed the state", first);
            std::abort();
        }
        return 0;
    }

    const auto second = saveAfterRestoring (first.getData(), static_cast<int> (first.getSize()));

    if (first != second)
    {
        dump ("first save ", first);
        dump ("second save", second);
        std::abort();
    }
    return 0;
}
