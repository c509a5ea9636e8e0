#include "host/EditorHost.h"

#include "editor/ScaledEditorFrame.h"
#include "host/DesktopScale.h"
#include "host/MessageThread.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
namespace
{
std::unique_ptr<ScaledEditorFrame> makeEditor (juce::AudioProcessor& processor, float hostScale)
{
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    if (editor == nullptr)
        return nullptr;

    auto frame = std::make_unique<ScaledEditorFrame> (std::move (editor), &desktopScale);
    frame->setHostScale (hostScale);
    return frame;
}
} // namespace

EditorHost::EditorHost (juce::AudioProcessor* p) : processor (p) {}

EditorHost::~EditorHost() { close(); }

bool EditorHost::probe()
{
    if (processor == nullptr)
        return false;

    bool made = false;
    SharedMessageThread::call ([&] {
        const std::unique_ptr<juce::AudioProcessorEditor> trial (processor->createEditor());
        made = trial != nullptr;
    });
    return made;
}

bool EditorHost::open (void* hostWindow)
{
    if (hostWindow == nullptr || processor == nullptr)
        return false;

    bool opened = false;
    SharedMessageThread::call ([&] {
        editor.reset();
        editor = makeEditor (*processor, hostScale);
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
    if (rect == nullptr || processor == nullptr)
        return false;

    bool known = false;
    SharedMessageThread::call ([&] {
        if (editor == nullptr)
            editor = makeEditor (*processor, hostScale);
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
    SharedMessageThread::call ([&] {
        if (editor != nullptr)
            window = editor->getWindowHandle();
    });
    return window;
}

bool EditorHost::setHostScale (float scale, bool& openEditorResized)
{
    openEditorResized = false;
    if (! ScaledEditorFrame::isScale (scale) || processor == nullptr)
        return false;

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
    SharedMessageThread::call ([&] { editor.reset(); });
}
} // namespace tarnwell
