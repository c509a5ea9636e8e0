#pragma once

#include <vector>

namespace tarnwell::analysis
{
// Decay time (T60) of an impulse response in one octave band, by Schroeder backward
// integration: the energy decay curve's slope between -5 and -25 dB, extrapolated to 60 dB.
// Returns 0 when the band holds too little energy or too little decay to fit.
double octaveBandT60 (const std::vector<float>& impulseResponse, double sampleRate, double bandCentre);
} // namespace tarnwell::analysis
