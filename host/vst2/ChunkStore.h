#pragma once

#include "processor/InstanceCore.h"

#include <juce_core/juce_core.h>

#include <mutex>

namespace tarnwell
{
// The saved-settings block of one instance. The block handed to the host stays valid until
// the instance's next chunk request or its close, so a host may read it at leisure.
class ChunkStore
{
public:
    // [main-thread]
    // effGetChunk: the block's size, with its address written to *data; 0 if data is null.
    // A program chunk and a bank chunk hold the same settings.
    juce::int64 get (InstanceCore::Session, void** data);

    // [main-thread] effSetChunk: restores a block of positive size; always answers 0.
    static juce::int64 set (InstanceCore::Session, const void* data, juce::int64 size);

private:
    std::mutex lock;
    juce::MemoryBlock handedOut;
};
} // namespace tarnwell
