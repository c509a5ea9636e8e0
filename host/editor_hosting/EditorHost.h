#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace juce
{
class Component;
}

namespace tarnwell
{
class DesktopScaleWatch;
class ScaledEditorFrame;

// The editor placed in a host's window (X11 or Win32), at the host's scale if it sent one, else
// at the display's. Every call hops to the message thread, whichever host thread makes it, and
// waits there: each is [main-thread], its work done on the [message-thread].
class EditorHost
{
public:
    // Makes a new editor, on the message thread.
    using Factory = std::function<std::unique_ptr<juce::Component>()>;

    // What to do once the user dragged the editor to a new size, in device pixels: ask the host
    // to fit its window. Called on the message thread.
    using UserResized = std::function<void (int width, int height)>;

    // Empty factory: no editor, ever. Empty userResized: the user cannot resize the editor.
    explicit EditorHost (Factory, UserResized userResized = {});
    ~EditorHost(); // closes any open editor

    // effOpen: whether there is an editor, asked without making one or starting the message
    // thread.
    bool probe();

    // effEditOpen: a new editor, embedded in hostWindow (an X11 window id or an HWND). A window
    // that is null, gone or unable to hold ours is refused, as is any on Linux without DISPLAY.
    bool open (void* hostWindow);

    // A size in device pixels.
    struct Size
    {
        int width = 0;
        int height = 0;
    };

    // effEditGetRect: the editor's size, making the editor first if needed; none without an
    // editor.
    std::optional<Size> size();

    // The open editor's own native window (an X11 window id or an HWND), null if none is open.
    // LV2 hosts want it back from the UI they embed.
    void* nativeWindow();

    // The host's scale message: device pixels per layout pixel, for this editor and every later
    // one. False for a factor no display has. An open editor is resized, and then
    // openEditorResized is set.
    bool setHostScale (float scale, bool& openEditorResized);

    // A size the host proposes, in device pixels: set to the nearest one the editor can take
    // (its shape kept, 100 % to 300 % of its size at the present scale). adjustSize only
    // answers; setSize also resizes the editor, and later editors (of any instance) open at
    // its zoom, as after a drag of the editor's corner (rememberedZoom).
    bool adjustSize (int& width, int& height);
    bool setSize (int& width, int& height);

    // effEditClose.
    void close();

private:
    void makeFrame(); // message thread
    // Runs `use` on the message thread with the editor's frame, made if need be; false without one.
    bool withFrame (const std::function<void (ScaledEditorFrame&)>& use);
    bool setSize (int& width, int& height, bool apply);

    const Factory makeEditor;
    std::unique_ptr<ScaledEditorFrame> editor; // message thread only
    std::unique_ptr<DesktopScaleWatch> desktop; // message thread only; while an editor exists
    const UserResized userResized;
    std::atomic<float> hostScale { 0.0f }; // 0: the display's
    std::atomic<bool> everWanted { false }; // an editor was asked for: the message thread runs
};
} // namespace tarnwell
