#pragma once

#include <cstddef>
#include <vector>

namespace tarnwell::analysis
{
// How an impulse response decays in one octave band.
struct BandDecay
{
    double centre = 0; // hertz
    double t60 = 0; // seconds; 0 when the band holds too little energy or decay to fit
    double curveInterval = 0; // seconds between the points of `curveDb`
    std::vector<float> curveDb; // the energy decay curve, 0 dB at the start, every curveInterval
};

// Schroeder backward integration of the band's energy, summed over the channels (so that
// channels in opposite phase do not cancel). T60 is the curve's slope between -5 and -25 dB,
// extrapolated to 60 dB.
BandDecay measureBandDecay (const std::vector<const float*>& channels, std::size_t length, double sampleRate,
                            double bandCentre);

// The T60 of one channel in one octave band, as above.
double octaveBandT60 (const std::vector<float>& impulseResponse, double sampleRate, double bandCentre);
} // namespace tarnwell::analysis
