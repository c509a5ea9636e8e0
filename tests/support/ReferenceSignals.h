#pragma once

// Test signals and the comparison every path through a host is held to.

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// Noise for the first `noiseFrames`, then silence, so that a comparison covers the tail too.
inline Channels burst (int channels, int frames, int noiseFrames, unsigned seed)
{
    juce::Random random (static_cast<juce::int64> (seed));
    Channels c (static_cast<size_t> (channels), std::vector<float> (static_cast<size_t> (frames), 0.0f));
    for (auto& ch : c)
        for (size_t n = 0; n < static_cast<size_t> (noiseFrames); ++n)
            ch[n] = random.nextFloat() - 0.5f;
    return c;
}

struct Setting
{
    int index;
    float value;
};

// Two sets of the five parameters' values, by index, far from the defaults and from each other.
inline const std::array<float, 5> someValues { 0.3f, 0.12f, 0.6f, 0.7f, 0.8f };
inline const std::array<float, 5> otherValues { 0.05f, 0.45f, 0.2f, 0.35f, 0.1f };

inline float largestDifference (const Channels& a, const Channels& b)
{
    float largest = 0.0f;
    for (size_t ch = 0; ch < a.size(); ++ch)
        for (size_t n = 0; n < a[ch].size(); ++n)
            largest = std::max (largest, std::abs (a[ch][n] - b[ch][n]));
    return largest;
}

inline float peak (const Channels& c)
{
    return largestDifference (c, Channels (c.size(), std::vector<float> (c[0].size(), 0.0f)));
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
