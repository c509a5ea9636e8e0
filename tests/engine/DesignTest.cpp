#include "engine/DecayFilter.h"
#include "engine/FeedbackMatrix.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarnwell;

namespace
{
void expectCoefficients (const DecayFilterCoefficients& c, double b0, double b1, double a1)
{
    EXPECT_NEAR (c.b0, b0, 5e-7);
    EXPECT_NEAR (c.b1, b1, 5e-7);
    EXPECT_NEAR (c.a1, a1, 5e-7);
}
} // namespace

TEST (DecayFilterDesign, MatchesWorkedValuesAt44100)
{
    expectCoefficients (designDecayFilter (2023, 6700, 3.5, 0.5, 44100), 0.7547166, 0.3147608, 0.1708232);
    expectCoefficients (designDecayFilter (5144, 6700, 3.5, 0.5, 44100), 0.5477769, 0.3822826, 0.1708232);
    expectCoefficients (designDecayFilter (2023, 10000, 3.5, 0.5, 44100), 0.8643500, 0.7282794, 0.7435502);
    expectCoefficients (designDecayFilter (2023, 50, 3.5, 0.5, 44100), 0.5333015, -0.5203790, -0.9858530);
}

TEST (DecayFilterDesign, ZeroOrNegativeDecayPassesNothing)
{
    for (double t60 : { 0.0, -1.0 })
    {
        const auto c = designDecayFilter (3000, 1000, t60, t60, 48000);
        EXPECT_EQ (c.b0, 0.0);
        EXPECT_EQ (c.b1, 0.0);
    }
}

TEST (DecayFilterDesign, StaysStableWithTransitionAtOrAboveAQuarterOfTheRate)
{
    for (double fs : { 8000.0, 22050.0, 32000.0, 40000.0 })
    {
        for (double fc : { fs / 4, fs / 3, 10000.0 })
        {
            const auto c = designDecayFilter (2023, fc, 3.5, 0.5, fs);
            EXPECT_LT (std::abs (c.a1), 1.0) << fs << " Hz, fc " << fc;
            EXPECT_TRUE (std::isfinite (c.b0) && std::isfinite (c.b1));
        }
    }
}

TEST (FeedbackMatrix, IdentityWithoutDiffusion)
{
    const auto m = buildFeedbackMatrix (0.0f);
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ (m[size_t (j * 16 + i)], i == j ? 1.0 : 0.0);
}

TEST (FeedbackMatrix, FirstRowAtHalfDiffusion)
{
    const double expected[16] = { 0.728553,  0.301777, -0.301777, -0.125,   -0.301777, -0.125,   0.125,     0.051777,
                                  -0.301777, -0.125,   0.125,     0.051777, 0.125,     0.051777, -0.051777, -0.021447 };
    const auto m = buildFeedbackMatrix (0.5f);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR (m[size_t (i)], expected[i], 1e-6) << "column " << i;
}

TEST (FeedbackMatrix, FullDiffusionSigns)
{
    const auto m = buildFeedbackMatrix (1.0f);
    const int row0Signs[16] = { 1, 1, -1, -1, -1, -1, 1, 1, -1, -1, 1, 1, 1, 1, -1, -1 };
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_NEAR (m[size_t (i)], 0.25 * row0Signs[i], 1e-12);
        EXPECT_NEAR (m[size_t (14 * 16 + i)], 0.25, 1e-12);
        EXPECT_NEAR (m[size_t (15 * 16 + i)], i % 2 == 0 ? -0.25 : 0.25, 1e-12);
    }
}

TEST (FeedbackMatrix, OrthogonalForEveryDiffusion)
{
    for (float d : { 0.1f, 0.37f, 0.5f, 0.9f, 1.0f })
    {
        const auto m = buildFeedbackMatrix (d);
        for (int a = 0; a < 16; ++a)
            for (int b = 0; b < 16; ++b)
            {
                double dot = 0;
                for (int k = 0; k < 16; ++k)
                    dot += m[size_t (a * 16 + k)] * m[size_t (b * 16 + k)];
                EXPECT_NEAR (dot, a == b ? 1.0 : 0.0, 1e-12);
            }
    }
}
