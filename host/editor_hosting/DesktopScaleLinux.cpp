#include "host/editor_hosting/DesktopScale.h"

#include "host/editor_hosting/XSettingsWatch.h"

#include <juce_events/juce_events.h>

#include <poll.h>

#include <utility>

namespace tarnwell
{
struct DesktopScaleWatch::Watch
{
    Watch (const Xcb& xcb, std::function<void()> changed) : x (xcb), onChange (std::move (changed)) {}

    XSettingsWatch x;
    const std::function<void()> onChange;
    int listenedTo = -1; // the descriptor JUCE's loop polls for us, -1 if none
};

DesktopScaleWatch::DesktopScaleWatch (std::function<void()> onChange)
{
    const auto* xcb = Xcb::get();
    if (xcb == nullptr)
        return;
    watch = std::make_shared<Watch> (*xcb, std::move (onChange));
    const int fd = watch->x.fileDescriptor();
    if (fd < 0)
        return;

    // JUCE's loop waits on the descriptor with its own: no thread or timer of ours. The loop
    // may still call once after we are gone (it copies its calls before making them), hence
    // the weak link.
    juce::LinuxEventLoop::registerFdCallback (
        fd,
        [weak = std::weak_ptr<Watch> (watch)] (int) {
            const auto w = weak.lock();
            if (w == nullptr || w->listenedTo < 0)
                return;
            const bool changed = w->x.handleNews();
            if (w->x.fileDescriptor() < 0) // the server went: its descriptor would wake us forever
                juce::LinuxEventLoop::unregisterFdCallback (std::exchange (w->listenedTo, -1));
            if (changed && w->onChange)
                w->onChange();
        },
        POLLIN);
    watch->listenedTo = fd;
}

DesktopScaleWatch::~DesktopScaleWatch()
{
    if (watch != nullptr && watch->listenedTo >= 0)
        juce::LinuxEventLoop::unregisterFdCallback (std::exchange (watch->listenedTo, -1));
}

float DesktopScaleWatch::scale() const
{
    return watch != nullptr ? watch->x.scale() : 0.0f;
}
} // namespace tarnwell
