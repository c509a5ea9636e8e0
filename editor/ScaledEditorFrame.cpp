#include "editor/ScaledEditorFrame.h"

#include <cmath>

namespace tarnwell
{
namespace
{
constexpr float minScale = 0.25f, maxScale = 8.0f;
}

ScaledEditorFrame::ScaledEditorFrame (std::unique_ptr<juce::AudioProcessorEditor> e) : editor (std::move (e))
{
    jassert (editor != nullptr);
    addAndMakeVisible (*editor);
    applyScale();
}

ScaledEditorFrame::~ScaledEditorFrame()
{
    cancelPendingUpdate();
    if (watchedPeer != nullptr && juce::ComponentPeer::isValidPeer (watchedPeer))
        watchedPeer->removeScaleFactorListener (this);
}

bool ScaledEditorFrame::isScale (float scale) noexcept
{
    return scale == 0.0f || (std::isfinite (scale) && scale >= minScale && scale <= maxScale);
}

bool ScaledEditorFrame::setHostScale (float scale)
{
    if (! isScale (scale))
        return false;

    hostScale = scale;
    applyScale();
    return true;
}

float ScaledEditorFrame::getDisplayScale() const
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
    return hostScale > 0.0f ? hostScale : getDisplayScale();
}

juce::Rectangle<int> ScaledEditorFrame::getDeviceBounds() const
{
    const auto display = getDisplayScale();
    return { juce::roundToInt (static_cast<float> (getWidth()) * display),
             juce::roundToInt (static_cast<float> (getHeight()) * display) };
}

void ScaledEditorFrame::applyScale()
{
    // The window draws at the display's scale already; the transform supplies the rest.
    const auto transformScale = getScale() / getDisplayScale();
    if (editor->getTransform() != juce::AffineTransform::scale (transformScale))
        editor->setScaleFactor (transformScale);
    setSize (editor->getBoundsInParent().getWidth(), editor->getBoundsInParent().getHeight());
}

void ScaledEditorFrame::parentHierarchyChanged()
{
    auto* peer = getPeer();
    if (peer == watchedPeer)
        return;

    if (watchedPeer != nullptr && juce::ComponentPeer::isValidPeer (watchedPeer))
        watchedPeer->removeScaleFactorListener (this);
    watchedPeer = peer;
    if (watchedPeer != nullptr)
        watchedPeer->addScaleFactorListener (this);
    applyScale();
}

void ScaledEditorFrame::nativeScaleFactorChanged (double)
{
    // Called while the window is being moved or resized: resize it afterwards, not within.
    triggerAsyncUpdate();
}

void ScaledEditorFrame::handleAsyncUpdate()
{
    applyScale();
}
} // namespace tarnwell
