#pragma once

#include <array>

namespace tarnwell
{
// Row-major 16 x 16: entry [j * 16 + i] weighs line i's output into line j.
using FeedbackMatrix = std::array<double, 256>;

// The rotation by diffusion * pi/4 that every level of the matrix is made of.
struct DiffusionRotation
{
    double c = 1, s = 0;
};

DiffusionRotation diffusionRotation (float diffusion) noexcept;

// Kronecker product of four 2 x 2 rotations: orthogonal for every diffusion, the identity at 0.
FeedbackMatrix buildFeedbackMatrix (DiffusionRotation) noexcept;
FeedbackMatrix buildFeedbackMatrix (float diffusion) noexcept;
} // namespace tarnwell
