#pragma once

#include <cstddef>
#include <vector>

namespace tarnwell::analysis
{
// Octave-band centres from 125 Hz to 8 kHz, those whose upper edge lies clear of the Nyquist
// frequency at `sampleRate`.
std::vector<double> octaveBandCentres (double sampleRate);

// `signal` through an octave band-pass around `centre`: fourth-order Butterworth high- and
// low-pass filters at the band edges (centre / sqrt 2, centre * sqrt 2), 24 dB per octave
// outside, so a neighbouring band's longer decay does not leak into this one.
std::vector<double> octaveBandFiltered (const float* signal, std::size_t length, double sampleRate, double centre);
} // namespace tarnwell::analysis
