#include "host/ChunkStore.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <limits>

namespace tarnwell
{
juce::int64 ChunkStore::get (juce::AudioProcessor& processor, bool wholeBank, void** data)
{
    if (data == nullptr)
        return 0;

    // A program chunk and a bank chunk hold the same settings; ask the processor which way
    // the host asked all the same.
    juce::MemoryBlock block;
    if (wholeBank)
        processor.getStateInformation (block);
    else
        processor.getCurrentProgramStateInformation (block);

    const std::lock_guard guard (lock);
    handedOut = std::move (block);
    *data = handedOut.getData();
    return static_cast<juce::int64> (handedOut.getSize());
}

juce::int64 ChunkStore::set (juce::AudioProcessor& processor, bool wholeBank, const void* data, juce::int64 size)
{
    if (data == nullptr || size <= 0 || size > std::numeric_limits<int>::max())
        return 0;

    if (wholeBank)
        processor.setStateInformation (data, static_cast<int> (size));
    else
        processor.setCurrentProgramStateInformation (data, static_cast<int> (size));
    return 0;
}
} // namespace tarnwell
