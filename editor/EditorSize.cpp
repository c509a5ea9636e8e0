#include "editor/EditorSize.h"

#include <cmath>

namespace tarnwell
{
float EditorSize::clampZoom (float zoom) noexcept
{
    return std::isfinite (zoom) ? juce::jlimit (minZoom, maxZoom, zoom) : minZoom;
}

namespace
{
// Zooms are whole widths: the height follows from the width, so a size, once snapped, snaps to
// itself.
float zoomOfWidth (int width) noexcept
{
    return static_cast<float> (width) / static_cast<float> (EditorSize::baseWidth);
}
} // namespace

juce::Rectangle<int> EditorSize::sizeFor (float zoom) noexcept
{
    const auto width = juce::roundToInt (static_cast<float> (baseWidth) * clampZoom (zoom));
    return { width, juce::roundToInt (static_cast<double> (width) * baseHeight / baseWidth) };
}

float EditorSize::zoomFor (int width, int height, float current) noexcept
{
    const auto byWidth = zoomOfWidth (width);
    if (sizeFor (byWidth) == juce::Rectangle<int> (width, height))
        return clampZoom (byWidth);

    const auto from = clampZoom (current);
    const auto byHeight = static_cast<float> (height) / static_cast<float> (baseHeight);
    const auto wanted = clampZoom (std::abs (byWidth - from) >= std::abs (byHeight - from) ? byWidth : byHeight);
    return zoomOfWidth (sizeFor (wanted).getWidth());
}

float EditorSize::zoomForDrag (float current, float widthFactor, float heightFactor) noexcept
{
    const auto from = clampZoom (current);
    return zoomFor (juce::roundToInt (static_cast<float> (baseWidth) * from * widthFactor),
                    juce::roundToInt (static_cast<float> (baseHeight) * from * heightFactor), from);
}
} // namespace tarnwell
