#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace tarnwell
{
// An editor at the scale its user sees, for glue that places the editor in a host's window
// itself. The editor keeps its layout in layout pixels; its window already draws at the scale
// JUCE gives it, and the frame adds a transform for the difference to the wanted scale: the
// host's, if it asked for one, else the desktop's, times the zoom the user chose (EditorSize).
// The frame is as large as the transformed editor, and follows changes of either scale as it is
// told of them. Message thread only.
class ScaledEditorFrame final : public juce::Component
{
public:
    // desktopScale: the desktop's scale where JUCE's windows do not follow it themselves, 0
    // where they do.
    explicit ScaledEditorFrame (std::unique_ptr<juce::Component> editor, float desktopScale = 0.0f);
    ~ScaledEditorFrame() override;

    // A new desktop scale (0: none where JUCE's windows do not follow it). It shows unless the
    // host has set a scale of its own.
    void setDesktopScale (float scale);

    // The scale the host asked for; it takes the desktop's place. 0 follows the desktop again.
    // False (and no change) for a factor no display has (see isScale).
    bool setHostScale (float scale);

    // The user's zoom, 1..3 (EditorSize clamps it); the frame takes the new size.
    void setZoom (float zoom);
    float getZoom() const noexcept { return zoom; }

    // Offers the editor's corner handle: a drag zooms the frame, and then `resized` is told,
    // so the glue can ask the host to fit its window. Empty takes the handle away. Only for an
    // editor that has one (a TarnwellEditor).
    void setUserResize (std::function<void()> resized);

    // A size the host asks for, in device pixels: the zoom of the nearest one that keeps the
    // editor's shape and range, and that size (what setZoom of that zoom gives).
    float zoomForDeviceSize (int width, int height) const;
    juce::Rectangle<int> getDeviceBoundsAt (float zoom) const;

    // True for 0 and for finite factors from 0.25 to 8.
    static bool isScale (float scale) noexcept;

    // Device pixels per layout pixel, as the user sees the editor.
    float getScale() const;

    // The frame's size in device pixels: what the host's window must hold.
    juce::Rectangle<int> getDeviceBounds() const;

    juce::Component& getEditor() noexcept { return *editor; }

    void parentHierarchyChanged() override;

private:
    // The scale JUCE draws the window at: its own once on the screen, the main display's before.
    float getWindowScale() const;
    void applyScale();

    const std::unique_ptr<juce::Component> editor;
    float hostScale = 0.0f;
    float desktopScale = 0.0f;
    float zoom = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ScaledEditorFrame)
};
} // namespace tarnwell
