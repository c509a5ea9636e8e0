#pragma once

// The processor run in the test's own process, fed the way the binding feeds it: what every
// path through a host must reproduce.

#include "processor/TarnwellAudioProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarnwell::testreference
{
using Channels = std::vector<std::vector<float>>;

inline Channels noise (int channels, int frames, unsigned seed)
{
    juce::Random random (static_cast<juce::int64> (seed));
    Channels c (static_cast<size_t> (channels), std::vector<float> (static_cast<size_t> (frames)));
    for (auto& ch : c)
        for (auto& s : ch)
            s = random.nextFloat() - 0.5f;
    // A click, so the tail is there to compare.
    c[0][10] = 1.0f;
    return c;
}

struct Setting
{
    int index;
    float value;
};

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

inline void expectNear (const Channels& actual, const Channels& expected)
{
    ASSERT_EQ (actual.size(), expected.size());
    for (size_t ch = 0; ch < actual.size(); ++ch)
    {
        ASSERT_EQ (actual[ch].size(), expected[ch].size());
        double worst = 0;
        for (size_t n = 0; n < actual[ch].size(); ++n)
            worst = std::max (worst, std::abs (double (actual[ch][n]) - double (expected[ch][n])));
        EXPECT_LE (worst, 1e-6) << "channel " << ch;
    }
}

} // namespace tarnwell::testreference
