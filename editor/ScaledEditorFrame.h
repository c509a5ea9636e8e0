#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace tarnwell
{
// An editor at the scale its user sees, for glue that places the editor in a host's window
// itself. The editor keeps its layout in layout pixels; the window already draws at the
// display's scale, and the frame adds whatever transform makes up the difference to the host's
// requested scale, if the host asked for one. The frame is as large as the transformed editor.
// Message thread only.
class ScaledEditorFrame final : public juce::Component,
                                private juce::ComponentPeer::ScaleFactorListener,
                                private juce::AsyncUpdater
{
public:
    explicit ScaledEditorFrame (std::unique_ptr<juce::AudioProcessorEditor> editor);
    ~ScaledEditorFrame() override;

    // The scale the host asked for; it takes the display's place. 0 follows the display again.
    // False (and no change) for a factor no display has (see isScale).
    bool setHostScale (float scale);

    // True for 0 and for finite factors from 0.25 to 8.
    static bool isScale (float scale) noexcept;

    // Device pixels per layout pixel, as the user sees the editor.
    float getScale() const;

    // The display's own scale: the window's once the frame is on the desktop, before that the
    // main display's.
    float getDisplayScale() const;

    // The frame's size in device pixels: what the host's window must hold.
    juce::Rectangle<int> getDeviceBounds() const;

    juce::AudioProcessorEditor& getEditor() noexcept { return *editor; }

    void parentHierarchyChanged() override;

private:
    void applyScale();
    void nativeScaleFactorChanged (double) override;
    void handleAsyncUpdate() override;

    const std::unique_ptr<juce::AudioProcessorEditor> editor;
    float hostScale = 0.0f;
    juce::ComponentPeer* watchedPeer = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ScaledEditorFrame)
};
} // namespace tarnwell
