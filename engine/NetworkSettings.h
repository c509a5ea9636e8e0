#pragma once

#include "engine/FeedbackMatrix.h"
#include "engine/NetworkTables.h"

namespace tarnwell
{
// The physical values the network is designed from.
struct NetworkSettings
{
    double t60Low = 3.5; // seconds
    double t60High = 0.5; // seconds
    double transitionFrequency = 6700.0; // hertz
    double sampleRate = 44100.0; // hertz
    float mix = 0.25f; // wet fraction
    float diffusion = 0.5f;
};

// Everything the audio thread needs for a block, designed elsewhere and handed over whole. The
// matrix is its rotation's: only the plain network spells it out, and builds it itself.
struct NetworkCoefficients
{
    double b0[numLines] {}, b1[numLines] {}, a1[numLines] {};
    DiffusionRotation rotation {};
    float mix = 0;
};

NetworkCoefficients designNetwork (const NetworkSettings& settings) noexcept;

// Whether every coefficient is a finite number.
bool isFinite (const NetworkCoefficients&) noexcept;
} // namespace tarnwell
