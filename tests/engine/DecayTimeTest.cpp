#include "engine/ReverbNetwork.h"
#include "tools/analysis/DecayMeasurement.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnwell;

// The network as a physical system: the decay times measured in its output follow the ones
// set, in seconds, at every sample rate. The transition lies well between the two octave
// bands (the shelf's squared gain crosses over at twice the transition frequency).
TEST (DecayTime, MeasuredDecayFollowsTheSetOneInSecondsAtEveryRate)
{
    for (double fs : { 44100.0, 48000.0, 96000.0 })
    {
        NetworkSettings s;
        s.sampleRate = fs;
        s.t60Low = 2.0;
        s.t60High = 1.0;
        s.transitionFrequency = 500.0;
        s.diffusion = 0.7f;
        s.mix = 1.0f;
        const auto c = designNetwork (s);

        auto network = std::make_unique<ReverbNetwork>();
        std::vector<float> left (static_cast<size_t> (3 * fs), 0.0f), right (left.size(), 0.0f);
        left.at (0) = 1.0f;
        network->process (c, left.data(), right.data(), int (left.size()));

        const double low = analysis::octaveBandT60 (left, fs, 125.0);
        const double high = analysis::octaveBandT60 (left, fs, 8000.0);
        EXPECT_NEAR (low, 2.0, 0.2) << fs << " Hz";
        EXPECT_NEAR (high, 1.0, 0.1) << fs << " Hz";
        RecordProperty ("t60_" + std::to_string (int (fs)), std::to_string (low) + " / " + std::to_string (high));
    }
}
