#pragma once

#include <juce_graphics/juce_graphics.h>

namespace tarnwell
{
// How large the user may make the editor: its layout, 453 x 200, times a zoom from 1 to 3, the
// shape always kept. Sizes here are in layout pixels times the zoom, before any host or desktop
// scale. Pure: every format asks it the same questions.
struct EditorSize
{
    static constexpr int baseWidth = 453;
    static constexpr int baseHeight = 200;
    static constexpr float minZoom = 1.0f;
    static constexpr float maxZoom = 3.0f;

    // Within 1..3; anything not finite is 1.
    static float clampZoom (float zoom) noexcept;

    // The editor's size at a zoom (clamped first).
    static juce::Rectangle<int> sizeFor (float zoom) noexcept;

    // The zoom for a size someone asks for, from `current`: the side that moved further, for its
    // own length, decides, so dragging one edge of a host's window works as well as a corner.
    static float zoomFor (int width, int height, float current) noexcept;

    // The zoom for a drag that wants the editor widthFactor and heightFactor times its size now.
    static float zoomForDrag (float current, float widthFactor, float heightFactor) noexcept;

    // The nearest size to a wanted one that keeps the shape and the range.
    static juce::Rectangle<int> snap (int width, int height, float current) noexcept
    {
        return sizeFor (zoomFor (width, height, current));
    }
};
} // namespace tarnwell
