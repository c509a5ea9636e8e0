#include "host/editor_hosting/EditorHost.h"

#include "editor/ScaledEditorFrame.h"
#include "host/editor_hosting/DesktopScale.h"
#include "host/editor_hosting/MessageThread.h"
#include "host/editor_hosting/ParentWindow.h"

namespace tarnwell
{
namespace
{
std::unique_ptr<ScaledEditorFrame> makeFrame (const EditorHost::Factory& makeEditor, float hostScale)
{
    auto editor = makeEditor();
    if (editor == nullptr)
        return nullptr;

    auto frame = std::make_unique<ScaledEditorFrame> (std::move (editor), &desktopScale);
    frame->setHostScale (hostScale);
    return frame;
}
} // namespace

EditorHost::EditorHost (Factory factory) : makeEditor (std::move (factory)) {}

EditorHost::~EditorHost() { close(); }

bool EditorHost::probe()
{
    // Asked without making an editor: until one is wanted, no GUI work at all.
    return makeEditor != nullptr;
}

bool EditorHost::open (void* hostWindow)
{
    if (makeEditor == nullptr || ! isUsableParentWindow (hostWindow))
        return false;

    bool opened = false;
    everWanted = true;
    SharedMessageThread::call ([&] {
        editor.reset();
        editor = makeFrame (makeEditor, hostScale);
        if (editor == nullptr)
            return;

        editor->setVisible (false);
        editor->addToDesktop (0, hostWindow);
        editor->setVisible (true);
        opened = true;
    });
    return opened;
}

bool EditorHost::getRect (ERect** rect)
{
    if (rect == nullptr || makeEditor == nullptr)
        return false;

    bool known = false;
    everWanted = true;
    SharedMessageThread::call ([&] {
        if (editor == nullptr)
            editor = makeFrame (makeEditor, hostScale);
        if (editor == nullptr)
            return;

        const auto size = editor->getDeviceBounds();
        bounds = { 0, 0, static_cast<short> (size.getHeight()), static_cast<short> (size.getWidth()) };
        known = true;
    });

    if (known)
        *rect = &bounds;
    return known;
}

void* EditorHost::nativeWindow()
{
    void* window = nullptr;
    if (! everWanted)
        return window;
    SharedMessageThread::call ([&] {
        if (editor != nullptr)
            window = editor->getWindowHandle();
    });
    return window;
}

bool EditorHost::setHostScale (float scale, bool& openEditorResized)
{
    openEditorResized = false;
    if (! ScaledEditorFrame::isScale (scale) || makeEditor == nullptr)
        return false;

    if (! everWanted)
    {
        hostScale = scale; // for the first editor; no thread to ask before one is wanted
        return true;
    }
    SharedMessageThread::call ([&] {
        hostScale = scale;
        if (editor == nullptr)
            return;
        const auto before = editor->getDeviceBounds();
        editor->setHostScale (scale);
        openEditorResized = editor->isOnDesktop() && editor->getDeviceBounds() != before;
    });
    return true;
}

void EditorHost::close()
{
    if (! everWanted)
        return;
    SharedMessageThread::call ([&] { editor.reset(); });
}
} // namespace tarnwell
