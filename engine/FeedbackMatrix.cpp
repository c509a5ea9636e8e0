#include "engine/FeedbackMatrix.h"

#include <cmath>

namespace tarnwell
{
DiffusionRotation diffusionRotation (float diffusion) noexcept
{
    constexpr double quarterPi = 0.7853981633974475;
    const double theta = static_cast<double> (diffusion) * quarterPi;
    return { std::cos (theta), std::sin (theta) };
}

FeedbackMatrix buildFeedbackMatrix (float diffusion) noexcept
{
    return buildFeedbackMatrix (diffusionRotation (diffusion));
}

FeedbackMatrix buildFeedbackMatrix (DiffusionRotation rotation) noexcept
{
    const auto [c, s] = rotation;

    // Start from [[c, s], [-s, c]], then grow three times: A -> [[cA, -sA], [sA, cA]].
    double a[16][16] {};
    a[0][0] = c;
    a[0][1] = s;
    a[1][0] = -s;
    a[1][1] = c;

    for (int size = 2; size < 16; size *= 2)
    {
        for (int row = 0; row < size; ++row)
        {
            for (int col = 0; col < size; ++col)
            {
                const double v = a[row][col];
                a[row][col + size] = -s * v;
                a[row + size][col] = s * v;
                a[row + size][col + size] = c * v;
                a[row][col] = c * v;
            }
        }
    }

    FeedbackMatrix m {};
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 16; ++col)
            m[static_cast<size_t> (row * 16 + col)] = a[row][col];
    return m;
}
} // namespace tarnwell
