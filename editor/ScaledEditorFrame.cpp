#include "editor/ScaledEditorFrame.h"

#include "editor/EditorSize.h"
#include "editor/TarnwellEditor.h"

#include <cmath>

namespace tarnwell
{
namespace
{
constexpr float minScale = 0.25f, maxScale = 8.0f;
} // namespace

ScaledEditorFrame::ScaledEditorFrame (std::unique_ptr<juce::Component> e, float desktop)
    : editor (std::move (e)), desktopScale (desktop)
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

void ScaledEditorFrame::setZoom (float wanted)
{
    zoom = EditorSize::clampZoom (wanted);
    applyScale();
}

void ScaledEditorFrame::setUserResize (std::function<void()> resized)
{
    auto* tarnwellEditor = dynamic_cast<TarnwellEditor*> (editor.get());
    if (tarnwellEditor == nullptr)
        return;
    if (resized == nullptr)
    {
        tarnwellEditor->setUserResize (nullptr);
        return;
    }
    tarnwellEditor->setUserResize ([this, resized = std::move (resized)] (float widthFactor, float heightFactor) {
        const auto before = zoom;
        setZoom (EditorSize::zoomForDrag (zoom, widthFactor, heightFactor));
        if (zoom != before)
            resized();
    });
}

float ScaledEditorFrame::zoomForDeviceSize (int width, int height) const
{
    // In the editor's own pixels times the zoom, as the size policy counts them; any size far
    // beyond the largest is as good as it.
    const auto scale = getScale();
    const auto inLayout = [scale] (int deviceLength) {
        return juce::roundToInt (static_cast<float> (juce::jlimit (0, 1 << 20, deviceLength)) / scale);
    };

    // A size this frame gives for some zoom is that zoom, so a host that asks again for the
    // size it was told gets it: device sizes round up, and the policy alone could move on.
    const auto layoutWidth = inLayout (width);
    for (int w = layoutWidth - 2; w <= layoutWidth + 2; ++w)
    {
        const auto zoomOfWidth = static_cast<float> (w) / static_cast<float> (EditorSize::baseWidth);
        if (EditorSize::clampZoom (zoomOfWidth) == zoomOfWidth
            && getDeviceBoundsAt (zoomOfWidth) == juce::Rectangle<int> (width, height))
            return zoomOfWidth;
    }
    return EditorSize::zoomFor (layoutWidth, inLayout (height), zoom);
}

juce::Rectangle<int> ScaledEditorFrame::getDeviceBoundsAt (float wanted) const
{
    // As getDeviceBounds would find it once the zoom is applied.
    const auto windowScale = getWindowScale();
    const auto transformScale = getScale() * EditorSize::clampZoom (wanted) / windowScale;
    const auto scaled = editor->getBounds().transformedBy (juce::AffineTransform::scale (transformScale));
    return { juce::roundToInt (static_cast<float> (scaled.getWidth()) * windowScale),
             juce::roundToInt (static_cast<float> (scaled.getHeight()) * windowScale) };
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
    const auto transformScale = getScale() * zoom / getWindowScale();
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
