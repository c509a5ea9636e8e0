#include "editor/EditorSizeConstrainer.h"

#include "editor/EditorSize.h"

namespace tarnwell
{
EditorSizeConstrainer::EditorSizeConstrainer()
{
    // For those who read the limits rather than ask (hosts' own resize handling).
    const auto smallest = EditorSize::sizeFor (EditorSize::minZoom);
    const auto largest = EditorSize::sizeFor (EditorSize::maxZoom);
    setSizeLimits (smallest.getWidth(), smallest.getHeight(), largest.getWidth(), largest.getHeight());
    setFixedAspectRatio (static_cast<double> (EditorSize::baseWidth) / EditorSize::baseHeight);
}

void EditorSizeConstrainer::checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previous,
                                         const juce::Rectangle<int>&, bool isStretchingTop, bool isStretchingLeft, bool,
                                         bool)
{
    // The screen's limits are left to the window manager: an editor never grows past 300 %.
    const auto current = EditorSize::zoomFor (previous.getWidth(), previous.getHeight(), 1.0f);
    const auto size = EditorSize::snap (bounds.getWidth(), bounds.getHeight(), current);
    const auto x = isStretchingLeft ? bounds.getRight() - size.getWidth() : bounds.getX();
    const auto y = isStretchingTop ? bounds.getBottom() - size.getHeight() : bounds.getY();
    bounds = { x, y, size.getWidth(), size.getHeight() };
}
} // namespace tarnwell
