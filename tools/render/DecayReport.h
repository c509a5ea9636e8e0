#pragma once

#include "tools/analysis/DecayMeasurement.h"
#include "tools/analysis/DesignedDecay.h"
#include "tools/render/PluginRenderer.h"

#include <optional>
#include <vector>

namespace tarnwell::render
{
// What a plug-in's impulse response shows about its decay, band by band, next to what its
// settings ask for: the content of the decay picture and of the table the tool prints.
struct DecayReport
{
    struct Band
    {
        analysis::BandDecay measured;
        std::optional<double> setT60; // seconds; empty when the plug-in does not say
    };

    juce::String plugInName;
    juce::String settings; // "T60Low 2.00 sec, T60High 1.00 sec, ..."
    double sampleRate = 0;
    std::vector<Band> bands;
};

// The decay settings of a plug-in with "T60Low", "T60High" and "Transition" parameters, read
// from its own display texts ("2.00 sec", "500.00 Hz"): the values its engine runs at, which
// may differ from the stored normalised ones until each is set. Empty when a text lacks its
// unit.
std::optional<analysis::DecaySettings> decaySettingsOf (PluginRenderer&, double sampleRate);

// Long enough for the longest set decay to fall some 90 dB; 12 s when the plug-in does not say.
double impulseResponseSeconds (const std::optional<analysis::DecaySettings>&);

// The silence to render after an input by default: until the slowest band has decayed 60 dB,
// by the settings if the plug-in says them, else as measured, plus half a second for the
// first echoes to return; at most 60 s, and 2 s when neither tells.
double defaultTailSeconds (const std::optional<analysis::DecaySettings>&, const DecayReport& measured);

DecayReport makeDecayReport (PluginRenderer&, const juce::AudioBuffer<float>& impulseResponse, double sampleRate);

// "125 Hz", "1 kHz".
juce::String bandName (double centre);

// The table of measured and set T60 per band, as the tool prints it.
juce::String decayTable (const DecayReport&);
} // namespace tarnwell::render
