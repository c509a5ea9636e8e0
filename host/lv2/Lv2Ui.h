#pragma once

#include "host/editor_hosting/EditorHost.h"
#include "host/editor_hosting/MessageThread.h"
#include "host/lv2/Lv2UiModel.h"
#include "host/lv2/Lv2UiScale.h"

#include <lv2/ui/ui.h>

#include <atomic>
#include <cstdint>

namespace tarnwell::lv2
{
// The editor in an LV2 host's X11 window. LV2 keeps a UI apart from its plug-in instance, so
// the editor is bound to the control ports alone: the host's port events move it, and what the
// user does in it goes back to the host as port writes (with touch brackets, where the host
// offers them), which the host records as automation and passes on to the plug-in's ports.
//
// Threads: the editor lives on JUCE's message thread (SharedMessageThread); the LV2 calls come
// on the host's UI thread, and writes to the host are made there, from idle. In the marks of
// processor/InstanceCore.h and MessageThread.h, every call below is [main-thread] and the
// editor's are [message-thread].
class Lv2Ui final
{
public:
    // Null without ui:parent, or if the editor cannot be shown.
    static Lv2Ui* create (LV2UI_Write_Function, LV2UI_Controller, LV2UI_Widget*, const LV2_Feature* const*);

    Lv2Ui (LV2UI_Write_Function, LV2UI_Controller, const LV2UI_Touch*);
    ~Lv2Ui();

    void portEvent (std::uint32_t port, std::uint32_t bufferSize, std::uint32_t format, const void* buffer);
    void idle();

    // The host resizes our window (ui:resize offered by the UI): the editor takes the nearest
    // size it can, and a host that offered ui:resize itself is told that size if it differs.
    // 0 once done.
    int hostResized (int width, int height);

private:
    bool open (void* parentWindow, float hostScale, const LV2UI_Resize*, LV2UI_Widget*);
    // Our size in the units the host counts in (GTK 3's logical pixels in such a host).
    std::pair<int, int> sizeForHost();
    void tellHostSize(); // host UI thread

    // First in, last out: JUCE and its message thread outlive everything below.
    SharedMessageThread::User messageThreadUser;

    const LV2UI_Write_Function write;
    const LV2UI_Controller controller;
    const LV2UI_Touch touch; // a copy: the host's feature data need not outlive instantiate
    Lv2UiModel model;
    LV2UI_Resize hostResize { nullptr, nullptr }; // a copy, as touch
    std::atomic<bool> userResized { false }; // set on the message thread, taken at idle
    EditorHost editor;
    std::unique_ptr<GtkHostSize> gtkHostSize; // in a GTK 3 host at a scale over 1 only
};
} // namespace tarnwell::lv2
