#include "tools/analysis/OctaveBands.h"

#include <cmath>

namespace tarnwell::analysis
{
namespace
{
constexpr double pi = 3.14159265358979323846;

// One second-order section, transposed direct form II.
struct Biquad
{
    double b0, b1, b2, a1, a2;
    double s1 = 0, s2 = 0;

    double process (double x) noexcept
    {
        const double y = b0 * x + s1;
        s1 = b1 * x - a1 * y + s2;
        s2 = b2 * x - a2 * y;
        return y;
    }
};

Biquad section (bool highPass, double frequency, double q, double sampleRate)
{
    const double w0 = 2 * pi * frequency / sampleRate;
    const double alpha = std::sin (w0) / (2 * q);
    const double cosw = std::cos (w0);
    const double a0 = 1 + alpha;
    const double b1 = highPass ? -(1 + cosw) : 1 - cosw;
    const double b0 = (highPass ? 1 + cosw : 1 - cosw) / 2;
    return { b0 / a0, b1 / a0, b0 / a0, -2 * cosw / a0, (1 - alpha) / a0 };
}
} // namespace

std::vector<double> octaveBandCentres (double sampleRate)
{
    std::vector<double> centres;
    for (double centre = 125.0; centre <= 8000.0; centre *= 2)
        if (centre * std::sqrt (2.0) < 0.45 * sampleRate)
            centres.push_back (centre);
    return centres;
}

std::vector<double> octaveBandFiltered (const float* signal, std::size_t length, double sampleRate, double centre)
{
    // The two sections of a fourth-order Butterworth filter: Q = 1 / (2 cos (pi/8)), 1 / (2 cos (3 pi/8)).
    const double q1 = 0.54119610014619698, q2 = 1.3065629648763766;
    const double lowEdge = centre / std::sqrt (2.0), highEdge = centre * std::sqrt (2.0);
    Biquad sections[] = { section (true, lowEdge, q1, sampleRate), section (true, lowEdge, q2, sampleRate),
                          section (false, highEdge, q1, sampleRate), section (false, highEdge, q2, sampleRate) };

    std::vector<double> out (length);
    for (std::size_t n = 0; n < length; ++n)
    {
        double v = static_cast<double> (signal[n]);
        for (auto& s : sections)
            v = s.process (v);
        out[n] = v;
    }
    return out;
}
} // namespace tarnwell::analysis
