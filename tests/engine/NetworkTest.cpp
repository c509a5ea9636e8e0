#include "engine/PlainReverbNetwork.h"
#include "engine/ReverbNetwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace tarnwell;

namespace
{
NetworkCoefficients coefficientsFor (float diffusion, float mix, double sampleRate = 44100)
{
    NetworkSettings s;
    s.diffusion = diffusion;
    s.mix = mix;
    s.sampleRate = sampleRate;
    return designNetwork (s);
}

struct Impulse
{
    std::vector<float> left, right;
};

template <typename Network>
Impulse impulseResponse (Network& network, const NetworkCoefficients& c, int frames)
{
    Impulse r { std::vector<float> (size_t (frames)), std::vector<float> (size_t (frames)) };
    r.left[0] = 1.0f;
    network.process (c, r.left.data(), r.right.data(), frames);
    return r;
}

// Every kernel this processor can run; the others can only be tested on a machine that has them.
std::vector<ReverbNetwork::InstructionSet> availableKernels()
{
    using Set = ReverbNetwork::InstructionSet;
    std::vector<Set> sets;
    for (auto set : { Set::baseline, Set::avx2, Set::avx512 })
        if (ReverbNetwork::isAvailable (set))
            sets.push_back (set);
    return sets;
}
} // namespace

TEST (PlainNetwork, ImpulseWithoutDiffusionEchoesOnEvenLinesOnly)
{
    auto net = std::make_unique<PlainReverbNetwork>();
    const auto r = impulseResponse (*net, coefficientsFor (0.0f, 1.0f), 3000);

    for (int n = 0; n < 2023; ++n)
        ASSERT_EQ (r.left[size_t (n)], 0.0f) << n;
    EXPECT_NEAR (r.left[2023], 0.0943396f, 1e-7);
    EXPECT_NEAR (r.left[2291], 0.125 * designNetwork ({}).b0[2], 1e-7);
    for (float v : r.right)
        ASSERT_EQ (v, 0.0f);
}

TEST (PlainNetwork, FullDiffusionReachesBothOutputsAtTheShortestLine)
{
    auto net = std::make_unique<PlainReverbNetwork>();
    const auto r = impulseResponse (*net, coefficientsFor (1.0f, 1.0f), 2100);

    for (int n = 0; n < 2023; ++n)
        ASSERT_TRUE (r.left[size_t (n)] == 0.0f && r.right[size_t (n)] == 0.0f) << n;
    EXPECT_NEAR (r.left[2023], 0.1886791f, 1e-7);
    EXPECT_NEAR (r.right[2023], -0.1886791f, 1e-7);
}

TEST (ReverbNetwork, MixZeroLeavesTheInputUntouched)
{
    for (auto set : availableKernels())
    {
        auto net = std::make_unique<ReverbNetwork> (set);
        std::mt19937 rng (1);
        std::uniform_real_distribution<float> dist (-1, 1);
        std::vector<float> l (10000), r (10000);
        for (auto& x : l)
            x = dist (rng);
        for (auto& x : r)
            x = dist (rng);
        auto l2 = l, r2 = r;
        net->process (coefficientsFor (0.5f, 0.0f), l2.data(), r2.data(), 10000);
        EXPECT_EQ (l, l2);
        EXPECT_EQ (r, r2);
    }
}

// The fast network must compute the plain network's sums, whatever the block sizes, channel
// layout, parameter changes between blocks, and whether its outputs are its inputs or not.
TEST (ReverbNetwork, MatchesThePlainNetwork)
{
    enum class Layout { mono, monoToStereo, stereo };

    for (auto set : availableKernels())
    {
        for (auto layout : { Layout::mono, Layout::monoToStereo, Layout::stereo })
        {
            auto fast = std::make_unique<ReverbNetwork> (set);
            ASSERT_EQ (fast->instructionSet(), set);
            auto plain = std::make_unique<PlainReverbNetwork>();
            std::mt19937 rng (42);
            std::uniform_real_distribution<float> unit (0, 1), sample (-1, 1);
            const int blockSizes[] = { 1, 2, 3, 4, 5, 7, 64, 511, 2023, 2024, 4096, 8192, 3, 1, 300 };

            NetworkSettings s;
            double worst = 0;
            int blockCount = 0;
            for (int block : blockSizes)
            {
                s.t60Low = 10 * double (unit (rng));
                s.t60High = 10 * double (unit (rng));
                s.transitionFrequency = 50 + 9950 * double (unit (rng));
                s.diffusion = unit (rng);
                s.mix = unit (rng);
                const auto c = designNetwork (s);

                std::vector<float> l (static_cast<size_t> (block)), r (static_cast<size_t> (block), 0.0f);
                for (auto& x : l)
                    x = sample (rng);
                if (layout == Layout::stereo)
                    for (auto& x : r)
                        x = sample (rng);
                auto l2 = l, r2 = r;

                float* right = layout == Layout::mono ? nullptr : r.data();
                float* right2 = layout == Layout::mono ? nullptr : r2.data();
                plain->process (c, l2.data(), right2, block);

                // Every other block from separate input buffers into outputs that hold junk; the
                // outputs sit just above the inputs modulo 4 KiB (a layout the network handles
                // apart) or far from them.
                if (++blockCount % 2 == 0)
                {
                    const size_t size = l.size(), gap = blockCount % 4 == 0 ? 4 : 512;
                    std::vector<float> pool (4 * (size + 1024), 7.0f);
                    float* const in = pool.data();
                    float* const out = in + 2 * (size + 1024 - (size % 1024)) + gap;
                    std::copy (l.begin(), l.end(), in);
                    std::copy (r.begin(), r.end(), in + size);
                    const std::vector<float> inputs (in, in + 2 * size);

                    fast->process (c,
                                   { in, right != nullptr ? in + size : nullptr, out,
                                     right != nullptr ? out + size : nullptr },
                                   block);
                    EXPECT_TRUE (std::equal (inputs.begin(), inputs.end(), in));
                    std::copy (out, out + size, l.begin());
                    if (right != nullptr)
                        std::copy (out + size, out + 2 * size, r.begin());
                }
                else
                    fast->process (c, l.data(), right, block);

                for (size_t n = 0; n < size_t (block); ++n)
                {
                    worst = std::max (worst, double (std::abs (l[n] - l2[n])));
                    worst = std::max (worst, double (std::abs (r[n] - r2[n])));
                }
            }
            EXPECT_LE (worst, 1e-6) << "kernel " << int (set) << " layout " << int (layout);
        }
    }
}

// Blocks of an odd length after a first block of `phase` frames put the rings' end, and each
// line's read across it, at every offset of a block (and so of a kernel's four or eight frames
// and of its leftovers); the run goes on until every line has read back what was written across
// the end.
TEST (ReverbNetwork, EveryKernelMatchesThePlainNetworkAcrossTheRingsEndAtEveryPhase)
{
    constexpr int block = 37;
    constexpr int frames = ringSize + lineLength (numLines - 1) + 2 * block;
    NetworkSettings s;
    s.t60Low = 3.0;
    s.diffusion = 0.8f;
    s.mix = 1.0f;
    const auto c = designNetwork (s);

    std::mt19937 rng (7);
    std::uniform_real_distribution<float> sample (-1, 1);
    std::vector<float> inL (frames), inR (frames);
    for (auto* channel : { &inL, &inR })
        for (auto& x : *channel)
            x = sample (rng);
    auto expectedL = inL, expectedR = inR;
    std::make_unique<PlainReverbNetwork>()->process (c, expectedL.data(), expectedR.data(), frames);

    for (auto set : availableKernels())
        for (int phase = 0; phase < block; ++phase)
        {
            auto fast = std::make_unique<ReverbNetwork> (set);
            auto l = inL, r = inR;
            for (int start = 0, n = phase; start < frames; start += n, n = block)
            {
                n = std::min (n, frames - start);
                fast->process (c, l.data() + start, r.data() + start, n);
            }
            double worst = 0;
            for (size_t n = 0; n < l.size(); ++n)
                worst = std::max (
                    { worst, double (std::abs (l[n] - expectedL[n])), double (std::abs (r[n] - expectedR[n])) });
            EXPECT_LE (worst, 1e-6) << ReverbNetwork::name (set) << ", first block " << phase;
        }
}

// The widest kernel by default; a user may name a narrower one (to compare kernels in a host),
// never one the processor lacks.
TEST (ReverbNetwork, KernelChoiceFollowsTheProcessorAndTheNamedSet)
{
    using Set = ReverbNetwork::InstructionSet;
    const auto resolved = [] (const char* wanted) { return ReverbNetwork::resolve (ReverbNetwork::named (wanted)); };

    const auto widest = ReverbNetwork::widestAvailable();
    EXPECT_TRUE (ReverbNetwork::isAvailable (widest));
    EXPECT_EQ (resolved (nullptr), widest);
    EXPECT_EQ (resolved ("no such kernel"), widest);
    EXPECT_EQ (resolved ("baseline"), Set::baseline);
    for (auto set : { Set::avx2, Set::avx512 })
    {
        const auto expected = ReverbNetwork::isAvailable (set) ? set : Set::baseline;
        EXPECT_EQ (resolved (ReverbNetwork::name (set)), expected) << ReverbNetwork::name (set);
        EXPECT_EQ (std::make_unique<ReverbNetwork> (set)->instructionSet(), expected) << ReverbNetwork::name (set);
    }
}

TEST (ReverbNetwork, NonFiniteInputIsTakenAsSilence)
{
    for (auto set : availableKernels())
    {
        auto net = std::make_unique<ReverbNetwork> (set);
        const auto c = coefficientsFor (0.7f, 0.5f);
        std::vector<float> l (4096, 0.1f), r (4096, -0.1f);
        l[10] = std::numeric_limits<float>::quiet_NaN();
        r[11] = std::numeric_limits<float>::infinity();
        l[4093] = -std::numeric_limits<float>::infinity();
        net->process (c, l.data(), r.data(), 4096);

        std::vector<float> tail (20000, 0.0f), tailR (20000, 0.0f);
        net->process (c, tail.data(), tailR.data(), 20000);
        for (size_t n = 0; n < tail.size(); ++n)
            ASSERT_TRUE (std::isfinite (tail[n]) && std::isfinite (tailR[n])) << n;
        for (size_t n = 0; n < l.size(); ++n)
            ASSERT_TRUE (std::isfinite (l[n]) && std::isfinite (r[n])) << n;
    }
}

TEST (ReverbNetwork, TailFadesForEveryParameterExtremeAndRate)
{
    for (double fs : { 8000.0, 22050.0, 44100.0, 96000.0, 192000.0 })
    {
        for (double t60 : { 0.0, 10.0 })
            for (double t60h : { 0.0, 10.0 })
                for (double fc : { 50.0, 10000.0 })
                    for (float diffusion : { 0.0f, 1.0f })
                    {
                        NetworkSettings s;
                        s.sampleRate = fs;
                        s.t60Low = t60;
                        s.t60High = t60h;
                        s.transitionFrequency = fc;
                        s.diffusion = diffusion;
                        s.mix = 1.0f;
                        const auto c = designNetwork (s);

                        auto net = std::make_unique<ReverbNetwork>();
                        std::vector<float> l (static_cast<size_t> (fs / 2), 0.0f), r (l.size(), 0.0f);
                        l.at (0) = 1.0f;
                        r.at (0) = 1.0f;
                        net->process (c, l.data(), r.data(), int (l.size()));
                        double early = 0;
                        for (size_t n = 0; n < l.size(); ++n)
                            early = std::max (early, double (std::abs (l[n]) + std::abs (r[n])));

                        // Ten seconds of silence: the 10 s decay has fallen by 60 dB, so the level
                        // must be well below the early peak.
                        double late = 0;
                        for (int block = 0; block < 20; ++block)
                        {
                            std::fill (l.begin(), l.end(), 0.0f);
                            std::fill (r.begin(), r.end(), 0.0f);
                            net->process (c, l.data(), r.data(), int (l.size()));
                            if (block == 19)
                                for (size_t n = 0; n < l.size(); ++n)
                                    late = std::max (late, double (std::abs (l[n]) + std::abs (r[n])));
                        }
                        EXPECT_LE (late, early * 2e-3 + 1e-30)
                            << fs << " Hz, " << t60 << "/" << t60h << " s, " << fc << " Hz, diffusion " << diffusion;
                    }
    }
}
