#include "host/EditorHost.h"

#include "host/MessageThread.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
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
        editor.reset (processor->createEditorIfNeeded());
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
            editor.reset (processor->createEditorIfNeeded());
        if (editor == nullptr)
            return;

        bounds = { 0, 0, static_cast<short> (editor->getHeight()), static_cast<short> (editor->getWidth()) };
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

void EditorHost::close()
{
    SharedMessageThread::call ([&] { editor.reset(); });
}
} // namespace tarnwell
