#pragma once

namespace tarnwell
{
struct DecayFilterCoefficients
{
    double b0 = 0, b1 = 0, a1 = 0;
};

// First-order shelf at the end of each delay line: H(z) = (b0 + b1 z^-1) / (1 + a1 z^-1).
struct DecayFilter
{
    double a1 = 0, b0 = 0, b1 = 0;
    double state = 0;

    void setCoefficients (const DecayFilterCoefficients& c) noexcept
    {
        a1 = c.a1;
        b0 = c.b0;
        b1 = c.b1;
    }

    double process (double v) noexcept
    {
        const double y = b0 * v + state;
        state = b1 * v - a1 * y;
        return y;
    }
};

// Gains per pass through a line of `lengthInSamples` so that the recirculating sound falls by
// 60 dB in t60Low seconds at low and t60High seconds at high frequencies, split around
// `transitionFrequency`. Decay times of 0 or less give a gain of 0; the transition used for
// the design is kept below a quarter of the sample rate, where the design stays stable.
DecayFilterCoefficients designDecayFilter (int lengthInSamples, double transitionFrequency, double t60Low,
                                           double t60High, double sampleRate) noexcept;

// The highest transition frequency the design accepts at a sample rate.
double highestDesignFrequency (double sampleRate) noexcept;
} // namespace tarnwell
