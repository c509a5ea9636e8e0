#include "tools/analysis/DecayMeasurement.h"

#include "tools/analysis/OctaveBands.h"

#include <algorithm>
#include <cmath>

namespace tarnwell::analysis
{
namespace
{
constexpr double fitTop = -5.0, fitBottom = -25.0; // dB
constexpr double curveFloor = -200.0; // dB, for the silence after the last sample

double levelDb (double remaining, double total)
{
    return std::max (curveFloor, 10 * std::log10 (remaining / total + 1e-300));
}

// Least-squares line through the curve between fitTop and fitBottom.
double fitT60 (const std::vector<double>& remaining, double sampleRate)
{
    double sumT = 0, sumL = 0, sumTT = 0, sumTL = 0;
    long count = 0;
    for (std::size_t n = 0; n + 1 < remaining.size(); ++n)
    {
        const double level = levelDb (remaining[n], remaining[0]);
        if (level > fitTop)
            continue;
        if (level < fitBottom)
            break;
        const double t = double (n) / sampleRate;
        sumT += t;
        sumL += level;
        sumTT += t * t;
        sumTL += t * level;
        ++count;
    }
    if (count < 16)
        return 0;

    const auto k = static_cast<double> (count);
    const double slope = (k * sumTL - sumT * sumL) / (k * sumTT - sumT * sumT);
    return slope < 0 ? -60.0 / slope : 0.0;
}
} // namespace

BandDecay measureBandDecay (const std::vector<const float*>& channels, std::size_t length, double sampleRate,
                            double bandCentre)
{
    // Energy remaining after each sample.
    std::vector<double> remaining (length + 1, 0.0);
    for (const auto* channel : channels)
    {
        const auto band = octaveBandFiltered (channel, length, sampleRate, bandCentre);
        double sum = 0;
        for (std::size_t n = length; n-- > 0;)
        {
            sum += band[n] * band[n];
            remaining[n] += sum;
        }
    }

    BandDecay decay;
    decay.centre = bandCentre;
    if (! (remaining[0] > 0))
        return decay;

    decay.t60 = fitT60 (remaining, sampleRate);

    // A point a millisecond is finer than any picture needs.
    const auto hop = static_cast<std::size_t> (std::max (1.0, std::round (sampleRate / 1000.0)));
    decay.curveInterval = double (hop) / sampleRate;
    for (std::size_t n = 0; n < length; n += hop)
        decay.curveDb.push_back (static_cast<float> (levelDb (remaining[n], remaining[0])));
    return decay;
}

double octaveBandT60 (const std::vector<float>& impulseResponse, double sampleRate, double bandCentre)
{
    return measureBandDecay ({ impulseResponse.data() }, impulseResponse.size(), sampleRate, bandCentre).t60;
}
} // namespace tarnwell::analysis
