#pragma once

#include <juce_core/juce_core.h>

#include <mutex>

namespace juce
{
class AudioProcessor;
}

namespace tarnwell
{
// The saved-settings block of one instance. The block handed to the host stays valid until
// the instance's next chunk request or its close, so a host may read it at leisure.
class ChunkStore
{
public:
    // effGetChunk: the block's size, with its address written to *data; 0 if data is null.
    juce::int64 get (juce::AudioProcessor&, bool wholeBank, void** data);

    // effSetChunk: restores a block of positive size; always answers 0.
    static juce::int64 set (juce::AudioProcessor&, bool wholeBank, const void* data, juce::int64 size);

private:
    std::mutex lock;
    juce::MemoryBlock handedOut;
};
} // namespace tarnwell
