#pragma once

namespace tarnwell::analysis
{
// The physical settings of the plug-in's decay filters.
struct DecaySettings
{
    double t60Low = 0, t60High = 0; // seconds
    double transitionFrequency = 0; // hertz
    double sampleRate = 0; // hertz
};

// The decay time that the plug-in's own two-band design gives at `frequency`: the loss, in
// dB, of the sixteen decay filters as the engine designs them, along a path that passes once
// through every line, over that path's duration. Lines that mix evenly decay at this rate.
double designedT60 (const DecaySettings&, double frequency);
} // namespace tarnwell::analysis
