#pragma once

// Test signals and the comparison every path through a host is held to.

#include <juce_core/juce_core.h>

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
