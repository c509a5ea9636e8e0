#include "host/editor_hosting/EditorHost.h"

#include "editor/RememberedZoom.h"
#include "editor/ScaledEditorFrame.h"
#include "host/editor_hosting/DesktopScale.h"
#include "host/editor_hosting/MessageThread.h"
#include "host/editor_hosting/ParentWindow.h"

namespace tarnwell
{
EditorHost::EditorHost (Factory factory, UserResized resized)
    : makeEditor (std::move (factory)), userResized (std::move (resized))
{}

void EditorHost::makeFrame()
{
    editor.reset();
    auto made = makeEditor();
    if (made == nullptr)
        return;

    // Watched while an editor exists, so a changed desktop reaches it as it happens.
    if (desktop == nullptr)
        desktop = std::make_unique<DesktopScaleWatch> ([this] {
            if (editor != nullptr)
                editor->setDesktopScale (desktop->scale());
        });
    editor = std::make_unique<ScaledEditorFrame> (std::move (made), desktop->scale());
    editor->setHostScale (hostScale);
    // At the size the user chose last, in whichever instance or host.
    editor->setZoom (rememberedZoom::load());
    if (userResized != nullptr)
        editor->setUserResize ([this] {
            rememberedZoom::save (editor->getZoom());
            const auto size = editor->getDeviceBounds();
            userResized (size.getWidth(), size.getHeight());
        });
}

EditorHost::~EditorHost()
{
    close();
}

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
        makeFrame();
        if (editor == nullptr)
            return;

        editor->setVisible (false);
        editor->addToDesktop (0, hostWindow);
        editor->setVisible (true);
        opened = true;
    });
    return opened;
}

bool EditorHost::withFrame (const std::function<void (ScaledEditorFrame&)>& use)
{
    if (makeEditor == nullptr)
        return false;

    bool known = false;
    everWanted = true;
    SharedMessageThread::call ([&] {
        if (editor == nullptr)
            makeFrame();
        if (editor == nullptr)
            return;
        use (*editor);
        known = true;
    });
    return known;
}

std::optional<EditorHost::Size> EditorHost::size()
{
    Size known;
    if (! withFrame ([&known] (ScaledEditorFrame& frame) {
            const auto bounds = frame.getDeviceBounds();
            known = { bounds.getWidth(), bounds.getHeight() };
        }))
        return std::nullopt;
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

bool EditorHost::adjustSize (int& width, int& height)
{
    return setSize (width, height, false);
}

bool EditorHost::setSize (int& width, int& height)
{
    return setSize (width, height, true);
}

bool EditorHost::setSize (int& width, int& height, bool apply)
{
    return withFrame ([&] (ScaledEditorFrame& frame) {
        const auto wanted = frame.zoomForDeviceSize (width, height);
        const auto size = frame.getDeviceBoundsAt (wanted);
        if (apply && wanted != frame.getZoom())
        {
            frame.setZoom (wanted);
            rememberedZoom::save (wanted);
        }
        width = size.getWidth();
        height = size.getHeight();
    });
}

void EditorHost::close()
{
    if (! everWanted)
        return;
    SharedMessageThread::call ([&] {
        editor.reset();
        desktop.reset();
    });
}
} // namespace tarnwell
