#include "editor/T60View.h"

#include <cmath>

namespace tarnwell
{
namespace
{
constexpr juce::uint32 fillColour = 0x8F000000;
constexpr juce::uint32 upperBandColour = 0xFFADD8E6;
constexpr juce::uint32 lowerBandColour = 0xFF5A5A8C;
constexpr juce::uint32 lineColour = 0xFF90EE90;
constexpr int bandMargin = 2;
constexpr float lineThickness = 3.0f;

// The fields are public, so anything may land in them; the graph stays inside its bounds.
float unitClamped (float v) noexcept
{
    if (! std::isfinite (v))
        return 0.0f;
    return juce::jlimit (0.0f, 1.0f, v);
}

// The harmonic mean of the two decays, written so that it never divides by zero unless both
// are zero; then the knee sits on the left edge, where the formula tends.
float kneeFraction (float lo, float hi) noexcept
{
    if (lo <= 0.0f || hi <= 0.0f)
        return 0.0f;
    if (lo > hi)
        return lo - (lo - hi) / (hi / lo + 1.0f);
    return hi - (hi - lo) / (lo / hi + 1.0f);
}

void fillBand (juce::Graphics& g, juce::uint32 colour, int top, int length, int regionHeight)
{
    g.setColour (juce::Colour (colour));
    g.setOpacity (0.5f);
    g.fillRect (bandMargin, top + bandMargin, juce::jmax (length - 2 * bandMargin, 0),
                juce::jmax (regionHeight - 2 * bandMargin, 0));
}
} // namespace

T60View::T60View()
{
    setSize (420, 160);
}

void T60View::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth());
    const auto h = static_cast<float> (getHeight());
    const float lo = unitClamped (t60LowValue);
    const float hi = unitClamped (t60HighValue);
    const float tr = unitClamped (transitionFreqValue);

    g.fillAll (juce::Colour (fillColour));

    // Frequency runs upward, so the high band is on top and its region ends where the low one starts.
    const auto upperHeight = static_cast<int> (h * (1.0f - tr));
    const auto lowerHeight = static_cast<int> (h * tr);
    fillBand (g, upperBandColour, 0, static_cast<int> (w * hi), upperHeight);
    fillBand (g, lowerBandColour, upperHeight, static_cast<int> (w * lo), lowerHeight);

    const juce::Point<float> top (w * hi, 0.0f);
    const juce::Point<float> knee (w * kneeFraction (lo, hi), h * (1.0f - tr));
    const juce::Point<float> bottom (w * lo, h);

    g.setColour (juce::Colour (lineColour));
    g.setOpacity (0.5f);
    g.drawLine (juce::Line<float> (bottom, knee), lineThickness);
    g.drawLine (juce::Line<float> (knee, top), lineThickness);
}
} // namespace tarnwell
