#pragma once

#include "host/VstAbi.h"

#include <memory>

namespace juce
{
class AudioProcessor;
class AudioProcessorEditor;
}

namespace tarnwell
{
// The processor's editor placed in a host's window (X11 or Win32). Every call hops to the message
// thread, whichever host thread makes it, and waits there.
class EditorHost
{
public:
    explicit EditorHost (juce::AudioProcessor*); // null: no editor, ever
    ~EditorHost(); // closes any open editor

    // effOpen: makes an editor and deletes it at once; true if one could be made.
    bool probe();

    // effEditOpen: a new editor, embedded in hostWindow (an X11 window id or an HWND). A null window is
    // refused.
    bool open (void* hostWindow);

    // effEditGetRect: the editor's size, making the editor first if needed. The rectangle
    // stays valid until the next call.
    bool getRect (ERect** rect);

    // The open editor's own native window (an X11 window id or an HWND), null if none is open.
    // LV2 hosts want it back from the UI they embed.
    void* nativeWindow();

    // effEditClose.
    void close();

private:
    juce::AudioProcessor* const processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor; // message thread only
    ERect bounds {};
};
} // namespace tarnwell
