#pragma once

#include <functional>
#include <memory>

namespace tarnwell
{
// The desktop's scale, device pixels per layout pixel, as the desktop announces it to programs,
// where a plug-in's windows do not follow it by themselves; 0 where they do, or where nothing is
// announced. Followed for as long as the watch lives, without looking again and again: the
// desktop's own news wakes it, and nothing else does.
//
// Linux: JUCE leaves a plug-in's windows at 100 % whatever the desktop says, expecting the host
// to tell the scale. Hosts that do not are answered by the desktop's XSETTINGS
// (Gdk/WindowScalingFactor, else Xft/DPI over 96), else by the X resource Xft.dpi, watched
// through a display connection of the watch's own (XSettingsWatch). Windows: JUCE's windows take
// their monitor's DPI themselves, so 0, for good.
//
// [message-thread] only: made when a window is wanted (it opens a display connection), and
// gone before JUCE's message loop is.
class DesktopScaleWatch
{
public:
    // [message-thread] onChange runs there too, after each change of scale().
    explicit DesktopScaleWatch (std::function<void()> onChange);
    ~DesktopScaleWatch();
    DesktopScaleWatch (const DesktopScaleWatch&) = delete;
    DesktopScaleWatch& operator= (const DesktopScaleWatch&) = delete;

    float scale() const;

private:
    struct Watch;
    std::shared_ptr<Watch> watch; // shared with the message loop's call, which may outlive us
};
} // namespace tarnwell
