#include "tools/analysis/DecayMeasurement.h"

#include <cmath>

namespace tarnwell::analysis
{
namespace
{
    // Band-pass biquad with 0 dB peak at `centre`, one octave wide.
    std::vector<double> octaveBand (const std::vector<float>& x, double sampleRate, double centre)
    {
        const double pi = 3.14159265358979323846;
        const double w0 = 2 * pi * centre / sampleRate;
        const double q = std::sqrt (2.0); // one octave between the -3 dB points
        const double alpha = std::sin (w0) / (2 * q);
        const double a0 = 1 + alpha;
        const double b0 = alpha / a0, b2 = -alpha / a0;
        const double a1 = -2 * std::cos (w0) / a0, a2 = (1 - alpha) / a0;

        std::vector<double> y (x.size());
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (size_t n = 0; n < x.size(); ++n)
        {
            const double in = x[n];
            const double out = b0 * in + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1; x1 = in;
            y2 = y1; y1 = out;
            y[n] = out;
        }
        return y;
    }
} // namespace

double octaveBandT60 (const std::vector<float>& impulseResponse, double sampleRate, double bandCentre)
{
    const auto band = octaveBand (impulseResponse, sampleRate, bandCentre);

    // Energy remaining after each sample, in dB relative to the total.
    std::vector<double> remaining (band.size() + 1, 0.0);
    for (size_t n = band.size(); n-- > 0;)
        remaining[n] = remaining[n + 1] + band[n] * band[n];
    if (! (remaining[0] > 0))
        return 0;

    // Least-squares line through the curve between -5 and -25 dB.
    double sumT = 0, sumL = 0, sumTT = 0, sumTL = 0;
    long count = 0; // points fitted
    for (size_t n = 0; n < band.size(); ++n)
    {
        const double level = 10 * std::log10 (remaining[n] / remaining[0] + 1e-300);
        if (level > -5)
            continue;
        if (level < -25)
            break;
        const double t = double (n) / sampleRate;
        sumT += t; sumL += level; sumTT += t * t; sumTL += t * level;
        ++count;
    }
    if (count < 16)
        return 0;

    const auto k = static_cast<double> (count);
    const double slope = (k * sumTL - sumT * sumL) / (k * sumTT - sumT * sumT);
    return slope < 0 ? -60.0 / slope : 0.0;
}
} // namespace tarnwell::analysis
