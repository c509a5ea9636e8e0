// The instance core every format runs on, held to properties rather than examples: any split
// of a signal into host blocks, any aliasing of host buffers, a rate or a value changed alone,
// and each limit of a value just inside and just outside.

#include "processor/InstanceCore.h"
#include "tests/support/ReferenceSignals.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>

using tarnwell::InstanceCore;
using namespace tarnwell::testreference;
namespace params = tarnwell::parameters;

namespace
{
constexpr int frames = 3 * InstanceCore::maxPiece + 700;

std::unique_ptr<InstanceCore> coreWith (const std::array<float, 5>& values)
{
    auto core = std::make_unique<InstanceCore>();
    for (int i = 0; i < params::count; ++i)
        core->setParameter (i, values[static_cast<size_t> (i)]);
    return core;
}

// The input run through a new core with `values`, separate buffers, in blocks of the sizes
// given in turn (repeated to the end).
Channels run (const Channels& input, int outs, const std::vector<int>& blocks, const std::array<float, 5>& values = someValues)
{
    auto core = coreWith (values);
    const int ins = static_cast<int> (input.size());
    Channels output (static_cast<size_t> (outs), std::vector<float> (input[0].size(), 9.0f));
    size_t b = 0;
    for (int start = 0; start < frames; ++b)
    {
        const int n = std::min (blocks[b % blocks.size()], frames - start);
        const float* in[2] = { input[0].data() + start, ins > 1 ? input[1].data() + start : nullptr };
        float* out[2] = { output[0].data() + start, outs > 1 ? output[1].data() + start : nullptr };
        core->process (in, ins, out, outs, n);
        start += n;
    }
    return output;
}
} // namespace

TEST (InstanceCore, AnySplitIntoHostBlocksGivesTheSameOutput)
{
    std::mt19937 random (11);
    const int piece = InstanceCore::maxPiece;
    for (const auto& [ins, outs] : { std::pair { 2, 2 }, std::pair { 1, 2 }, std::pair { 1, 1 } })
    {
        SCOPED_TRACE (std::to_string (ins) + " into " + std::to_string (outs));
        const auto input = noise (ins, frames, 3);
        const auto whole = run (input, outs, { frames });
        ASSERT_GT (peak (whole), 0.01f);
        // Blocks that end one frame past a multiple of the core's own piece, and random ones.
        EXPECT_EQ (run (input, outs, { piece + 1, 2 * piece + 1 }), whole);
        EXPECT_EQ (run (input, outs, { 1, piece - 1, piece }), whole);
        std::uniform_int_distribution<int> size (1, 2 * piece + 2);
        std::vector<int> blocks (40);
        for (auto& b : blocks)
            b = size (random);
        EXPECT_EQ (run (input, outs, blocks), whole);
    }
}

TEST (InstanceCore, AnyAliasingOfHostBuffersGivesWhatSeparateBuffersGive)
{
    const auto input = noise (2, frames, 4);
    for (const int ins : { 1, 2 })
        for (const int outs : { 1, 2 })
        {
            if (ins > outs)
                continue;
            const auto expected = run (Channels (input.begin(), input.begin() + ins), outs, { 1000 });
            // Each output is one of the two buffers that hold the inputs, or a buffer of its own.
            for (int left = 0; left < 3; ++left)
                for (int right = 0; right < (outs > 1 ? 3 : 1); ++right)
                {
                    SCOPED_TRACE (std::to_string (ins) + " into " + std::to_string (outs) + ", outputs in buffers "
                                  + std::to_string (left) + " and " + std::to_string (right));
                    if (outs > 1 && left == right)
                        continue;
                    Channels buffers { input[0], input[1], std::vector<float> (frames, 9.0f), std::vector<float> (frames, 9.0f) };
                    auto core = coreWith (someValues);
                    for (int start = 0; start < frames; start += 1000)
                    {
                        const float* in[2] = { buffers[0].data() + start, buffers[1].data() + start };
                        float* out[2] = { buffers[static_cast<size_t> (left)].data() + start,
                                          buffers[static_cast<size_t> (right == 2 ? 3 : right)].data() + start };
                        core->process (in, ins, out, outs, std::min (1000, frames - start));
                    }
                    EXPECT_EQ (buffers[static_cast<size_t> (left)], expected[0]);
                    if (outs > 1)
                    {
                        EXPECT_EQ (buffers[static_cast<size_t> (right == 2 ? 3 : right)], expected[1]);
                    }
                }
        }
}

// What a change alone does: the network follows a new rate, and a value set back to its
// stored default plays as a new instance does.
TEST (InstanceCore, ARateOrAValueChangedAloneTakesEffect)
{
    const auto input = noise (2, frames, 5);
    const auto silence = Channels (2, std::vector<float> (512, 0.0f));
    const auto runAfter = [&] (InstanceCore& core, const std::function<void()>& change) {
        Channels out (2, std::vector<float> (frames));
        const float* s[2] = { silence[0].data(), silence[1].data() };
        float scratch[2][512];
        float* sOut[2] = { scratch[0], scratch[1] };
        core.process (s, 2, sOut, 2, 512); // designs for what was set before
        change();
        const float* in[2] = { input[0].data(), input[1].data() };
        float* o[2] = { out[0].data(), out[1].data() };
        core.process (in, 2, o, 2, frames);
        return out;
    };

    // After silence the network holds nothing: from there a new rate plays as the engine
    // designed for it from the start.
    InstanceCore rateChanged;
    const auto output = runAfter (rateChanged, [&] { rateChanged.prepare (96000.0, 2, 2); });
    const auto settings = rateChanged.networkSettings();
    ASSERT_EQ (settings.sampleRate, 96000.0);
    Channels expected (2, std::vector<float> (frames));
    {
        const juce::ScopedNoDenormals noDenormals;
        auto network = std::make_unique<tarnwell::ReverbNetwork>();
        network->process (tarnwell::designNetwork (settings), { input[0].data(), input[1].data(), expected[0].data(), expected[1].data() }, frames);
    }
    EXPECT_EQ (output, expected);

    InstanceCore fresh;
    const auto freshOutput = runAfter (fresh, [] {});
    for (int i = 0; i < params::count; ++i)
    {
        SCOPED_TRACE (params::name (i));
        InstanceCore core;
        core.setParameter (i, params::storedDefault (i) > 0.5 ? 0.1f : 0.9f);
        EXPECT_EQ (runAfter (core, [&] { core.setParameter (i, static_cast<float> (params::storedDefault (i))); }), freshOutput);
    }
}

// Every value is kept within 0..1: each end just inside stays as it is, just outside becomes
// the end; and the texts follow.
TEST (InstanceCore, EachValueLimitHoldsJustInsideAndJustOutside)
{
    InstanceCore core;
    for (int i = 0; i < params::count; ++i)
        for (const auto& [value, kept] : { std::pair { std::nextafter (0.0f, 1.0f), std::nextafter (0.0f, 1.0f) },
                                           std::pair { std::nextafter (0.0f, -1.0f), 0.0f },
                                           std::pair { std::nextafter (1.0f, 0.0f), std::nextafter (1.0f, 0.0f) },
                                           std::pair { std::nextafter (1.0f, 2.0f), 1.0f } })
        {
            core.setParameter (i, value);
            EXPECT_EQ (core.parameter (i), kept) << params::name (i) << " at " << value;
            EXPECT_EQ (core.parameterText (i), params::text (i, params::engineValue (i, kept)));
        }
}
