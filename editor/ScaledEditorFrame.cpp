#include "editor/ScaledEditorFrame.h"

#include <cmath>

namespace tarnwell
{
namespace
{
constexpr float minScale = 0.25f, maxScale = 8.0f;
} // namespace

ScaledEditorFrame::ScaledEditorFrame (std::unique_ptr<juce::Component> e, float desktop) : editor (std::move (e)), desktopScale (desktop)
{
    jassert (editor != nullptr);
    addAndMakeVisible (*editor);
    applyScale();
}

ScaledEditorFrame::~ScaledEditorFrame() = default;

bool ScaledEditorFrame::isScale (float scale) noexcept
{
    return scale == 0.0f || (std::isfinite (scale) && scale >= minScale && scale <= maxScale);
}

void ScaledEditorFrame::setDesktopScale (float scale)
{
    desktopScale = scale;
    applyScale();
}

bool ScaledEditorFrame::setHostScale (float scale)
{
    if (! isScale (scale))
        return false;

    hostScale = scale;
    applyScale();
    return true;
}

float ScaledEditorFrame::getWindowScale() const
{
    if (auto* peer = getPeer())
        return static_cast<float> (peer->getPlatformScaleFactor());

    const auto& desktop = juce::Desktop::getInstance();
    if (auto* display = desktop.getDisplays().getPrimaryDisplay())
        return static_cast<float> (display->scale) / desktop.getGlobalScaleFactor();
    return 1.0f;
}

float ScaledEditorFrame::getScale() const
{
    if (hostScale > 0.0f)
        return hostScale;
    return isScale (desktopScale) && desktopScale > 0.0f ? desktopScale : getWindowScale();
}

juce::Rectangle<int> ScaledEditorFrame::getDeviceBounds() const
{
    // The transformed editor's size, which the frame takes: a host that resized the frame's
    // window is still told the size it needs.
    const auto windowScale = getWindowScale();
    const auto scaled = editor->getBoundsInParent();
    return { juce::roundToInt (static_cast<float> (scaled.getWidth()) * windowScale),
             juce::roundToInt (static_cast<float> (scaled.getHeight()) * windowScale) };
}

void ScaledEditorFrame::applyScale()
{
    const auto transformScale = getScale() / getWindowScale();
    if (editor->getTransform() != juce::AffineTransform::scale (transformScale))
        editor->setTransform (juce::AffineTransform::scale (transformScale));
    const auto scaled = editor->getBoundsInParent();
    setSize (scaled.getWidth(), scaled.getHeight());
}

void ScaledEditorFrame::parentHierarchyChanged()
{
    // On the screen, the window's scale is known now.
    applyScale();
}
} // namespace tarnwell
