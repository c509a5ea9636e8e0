#include "host/standalone/RealtimePlayer.h"

#include <algorithm>
#include <cstring>

namespace tarnwell::standalone
{
RealtimePlayer::~RealtimePlayer()
{
    setProcessor (nullptr);
}

void RealtimePlayer::setProcessor (juce::AudioProcessor* processorToPlay)
{
    const ScopedGateClosed closed (gate);
    if (processorToPlay == processor)
        return;

    auto* const released = prepared ? processor : nullptr;
    processor = processorToPlay;
    prepared = false;
    if (processor != nullptr && sampleRate > 0 && blockSize > 0)
        prepareProcessor();
    if (released != nullptr)
        released->releaseResources();
}

void RealtimePlayer::audioDeviceAboutToStart (juce::AudioIODevice* device)
{
    prepare (device->getCurrentSampleRate(), device->getCurrentBufferSizeSamples(),
             device->getActiveInputChannels().countNumberOfSetBits(),
             device->getActiveOutputChannels().countNumberOfSetBits());
}

void RealtimePlayer::prepare (double newSampleRate, int maximumBlockSize, int deviceInputs, int deviceOutputs)
{
    const ScopedGateClosed closed (gate);
    sampleRate = newSampleRate;
    blockSize = maximumBlockSize;
    deviceChannels = { deviceInputs, deviceOutputs };
    if (processor != nullptr)
    {
        if (prepared)
            processor->releaseResources();
        prepared = false;
        prepareProcessor();
    }
}

void RealtimePlayer::audioDeviceStopped()
{
    const ScopedGateClosed closed (gate);
    if (processor != nullptr && prepared)
        processor->releaseResources();
    prepared = false;
    sampleRate = 0;
    blockSize = 0;
}

// As JUCE's player chooses: the device's own channels, or with at most one input, the
// processor's own inputs or as many inputs as outputs.
RealtimePlayer::Channels RealtimePlayer::mostSuitableLayout() const
{
    const Channels processorDefault { processor->getMainBusNumInputChannels(),
                                      processor->getMainBusNumOutputChannels() };
    std::vector<Channels> candidates { deviceChannels };
    if (deviceChannels.ins <= 1)
    {
        candidates.push_back ({ processorDefault.ins, deviceChannels.outs });
        candidates.push_back ({ deviceChannels.outs, deviceChannels.outs });
    }
    for (const auto& c : candidates)
        if (processor->checkBusesLayoutSupported ({ { juce::AudioChannelSet::canonicalChannelSet (c.ins) },
                                                    { juce::AudioChannelSet::canonicalChannelSet (c.outs) } }))
            return c;
    return candidates.front();
}

void RealtimePlayer::prepareProcessor()
{
    processorChannels = mostSuitableLayout();
    processor->setPlayConfigDetails (processorChannels.ins, processorChannels.outs, sampleRate, blockSize);
    processor->setProcessingPrecision (juce::AudioProcessor::singlePrecision);
    processor->prepareToPlay (sampleRate, blockSize);
    prepared = true;

    const int processorWidth = std::max (processorChannels.ins, processorChannels.outs);
    channelPointers.assign (static_cast<size_t> (processorWidth), nullptr);
    spareChannels.setSize (processorWidth, blockSize);
    noMidi.ensureSize (0);
}

void RealtimePlayer::audioDeviceIOCallbackWithContext (const float* const* inputs, int numInputs, float* const* outputs,
                                                       int numOutputs, int numSamples,
                                                       const juce::AudioIODeviceCallbackContext&) noexcept
{
    bool played = false;
    if (gate.tryEnter())
    {
        played = play (inputs, numInputs, outputs, numOutputs, numSamples);
        gate.leave();
    }
    if (! played)
        for (int c = 0; c < numOutputs; ++c)
            if (outputs[c] != nullptr)
                juce::FloatVectorOperations::clear (outputs[c], numSamples);
}

bool RealtimePlayer::play (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs,
                           int numSamples) noexcept
{
    if (processor == nullptr || ! prepared || processor->isSuspended())
        return false;

    // The wrapper's lock, as JUCE's player takes it, but never waited for.
    const juce::ScopedTryLock callbackLock (processor->getCallbackLock());
    if (! callbackLock.isLocked())
        return false;

    for (int offset = 0; offset < numSamples; offset += blockSize)
        playPiece (inputs, numInputs, outputs, numOutputs, offset, std::min (blockSize, numSamples - offset));
    return true;
}

// The processor works in place on the device's output channels: its inputs are copied there
// first (one device input feeds every processor input; none gives silence), and channels the
// device has no output for are spare buffers.
void RealtimePlayer::playPiece (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs,
                                int offset, int numSamples) noexcept
{
    const int width = static_cast<int> (channelPointers.size());
    const auto bytes = static_cast<size_t> (numSamples) * sizeof (float);
    for (int c = 0; c < width; ++c)
    {
        float* channel =
            c < numOutputs && outputs[c] != nullptr ? outputs[c] + offset : spareChannels.getWritePointer (c);
        if (c < processorChannels.ins && numInputs > 0 && inputs[c % numInputs] != nullptr)
            std::memmove (channel, inputs[c % numInputs] + offset, bytes);
        else
            std::memset (channel, 0, bytes);
        channelPointers[static_cast<size_t> (c)] = channel;
    }

    juce::AudioBuffer<float> buffer (channelPointers.data(), width, numSamples);
    noMidi.clear();
    processor->processBlock (buffer, noMidi);

    for (int c = processorChannels.outs; c < numOutputs; ++c)
        if (outputs[c] != nullptr)
            juce::FloatVectorOperations::clear (outputs[c] + offset, numSamples);
}
} // namespace tarnwell::standalone
