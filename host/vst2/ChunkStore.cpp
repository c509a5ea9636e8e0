#include "host/vst2/ChunkStore.h"

#include <limits>

namespace tarnwell
{
juce::int64 ChunkStore::get (InstanceCore::Session session, void** data)
{
    if (data == nullptr)
        return 0;

    juce::MemoryBlock block;
    session.save (block);

    const std::lock_guard guard (lock);
    handedOut = std::move (block);
    *data = handedOut.getData();
    return static_cast<juce::int64> (handedOut.getSize());
}

juce::int64 ChunkStore::set (InstanceCore::Session session, const void* data, juce::int64 size)
{
    if (data == nullptr || size <= 0 || size > std::numeric_limits<int>::max())
        return 0;

    session.restore (data, static_cast<int> (size));
    return 0;
}
} // namespace tarnwell
