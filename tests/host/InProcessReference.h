#pragma once

// The processor run in the test's own process, fed the way the binding feeds it: what every
// path through a host must reproduce.

#include "tests/support/ReferenceSignals.h"

#include "processor/TarnwellAudioProcessor.h"

namespace tarnwell::testreference
{
// The processor in this process, fed the way the binding feeds it.
inline Channels reference (int ins, int outs, const std::vector<Setting>& settings, const Channels& input, int blockSize,
                    double sampleRate = 44100.0)
{
    TarnwellAudioProcessor processor;
    processor.setPlayConfigDetails (ins, outs, sampleRate, blockSize);
    for (const auto& s : settings)
        processor.getParameters()[s.index]->setValue (s.value);
    processor.prepareToPlay (sampleRate, blockSize);

    const int frames = static_cast<int> (input[0].size());
    juce::AudioBuffer<float> buffer (std::max (ins, outs), frames);
    buffer.clear();
    for (int ch = 0; ch < ins; ++ch)
        buffer.copyFrom (ch, 0, input[static_cast<size_t> (ch)].data(), frames);

    juce::MidiBuffer midi;
    for (int start = 0; start < frames; start += blockSize)
    {
        juce::AudioBuffer<float> piece (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start,
                                        std::min (blockSize, frames - start));
        processor.processBlock (piece, midi);
    }

    Channels out (static_cast<size_t> (outs));
    for (int ch = 0; ch < outs; ++ch)
        out[static_cast<size_t> (ch)].assign (buffer.getReadPointer (ch), buffer.getReadPointer (ch) + frames);
    return out;
}
} // namespace tarnwell::testreference
