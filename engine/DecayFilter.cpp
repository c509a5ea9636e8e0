#include "engine/DecayFilter.h"

#include <cmath>

namespace tarnwell
{
namespace
{
// Gain per pass for a decay of t60 seconds; e is -3 times the line's delay in seconds.
// The quotient and the gain are rounded to single precision on purpose: the stored
// coefficients have always carried that rounding.
double passGain (double e, double t60) noexcept
{
    if (! (t60 > 0.0))
        return 0.0;

    const auto exponent = static_cast<float> (e / t60);
    return static_cast<double> (static_cast<float> (std::pow (10.0, static_cast<double> (exponent))));
}
} // namespace

double highestDesignFrequency (double sampleRate) noexcept
{
    // At fs/4 the tangent below runs to infinity and the pole reaches the unit circle.
    return 0.99 * sampleRate / 4.0;
}

DecayFilterCoefficients designDecayFilter (int lengthInSamples, double transitionFrequency, double t60Low,
                                           double t60High, double sampleRate) noexcept
{
    constexpr double twoPi = 6.28318530717958;

    const double e = -3.0 * lengthInSamples / sampleRate;
    const double gL = passGain (e, t60Low);
    const double gH = passGain (e, t60High);

    const double fc = std::fmin (transitionFrequency, highestDesignFrequency (sampleRate));
    const double tau = 1.0 / (2.0 * sampleRate * std::tan (twoPi * fc / sampleRate));
    const double k = 2.0 * sampleRate * tau;

    DecayFilterCoefficients c;
    c.b0 = (gL + gH * k) / (1.0 + k);
    c.b1 = (gL - gH * k) / (1.0 + k);
    c.a1 = (1.0 - k) / (1.0 + k);
    return c;
}
} // namespace tarnwell
