#pragma once

#include <juce_graphics/juce_graphics.h>

namespace tarnwell
{
// The one colour rule every slider shares: blue at the bottom of the range, orange at the top.
// The channels are truncated, not rounded, so 0.5 gives 0x7F rather than 0x80.
inline juce::Colour valueColour (float v) noexcept
{
    // No slider produces a value outside 0..1; clamping keeps a stray one from overflowing a byte.
    v = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
    const auto red = static_cast<juce::uint8> (static_cast<int> (255.0f * v));
    const auto blue = static_cast<juce::uint8> (static_cast<int> (255.0f * (1.0f - v)));
    return juce::Colour (red, juce::uint8 { 0x80 }, blue);
}
} // namespace tarnwell
