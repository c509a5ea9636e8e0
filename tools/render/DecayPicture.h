#pragma once

#include "tools/render/DecayReport.h"
#include "tools/render/OutputFile.h"

#include <juce_graphics/juce_graphics.h>

namespace tarnwell::render
{
// The decay picture: one panel per octave band with the measured energy decay curve and the
// decay the settings ask for, on the same axes in every panel, then a table and a legend.
class DecayPicture
{
public:
    static constexpr int width = 1200, height = 720;
    static constexpr double lowestLevel = -70.0; // dB, the bottom of every panel

    explicit DecayPicture (const DecayReport&);

    // Where a point of band `index`'s curve lands in the image.
    juce::Point<float> pointFor (size_t index, double seconds, double levelDb) const;
    juce::Rectangle<float> plotArea (size_t index) const;
    double timeAxisEnd() const noexcept { return timeEnd; }
    static juce::Colour bandColour (size_t index);

    juce::Image draw() const;

private:
    juce::Rectangle<float> cell (size_t index) const;
    void drawPanel (juce::Graphics&, size_t index) const;
    void drawAxes (juce::Graphics&, size_t index) const;
    void drawDecay (juce::Graphics&, size_t index) const;
    void drawTableAndLegend (juce::Graphics&, juce::Rectangle<float> area) const;
    juce::Font font (float height) const;

    const DecayReport& report;
    double timeEnd = 1.0, timeStep = 0.2;
    juce::Typeface::Ptr typeface;
};

// Writes the picture as a PNG into the output's hidden file and commits it: completely or not
// at all.
bool writeDecayPicture (OutputFile&, const DecayReport&);
} // namespace tarnwell::render
