#pragma once

#include <lv2/core/lv2.h>

#include <functional>
#include <memory>
#include <utility>

namespace tarnwell
{
class Connection;
}

namespace tarnwell::lv2
{
// [main-thread]
// The host's ui:scaleFactor option (device pixels per layout pixel), 0 if it passes none.
float hostScaleFactor (const LV2_Feature* const* features);

// Our window's size for a host that counts in GTK 3's logical pixels.
//
// X11 windows are measured in device pixels, and a plain X11 host (our tests' hosts, GTK 2
// hosts such as Ardour's, which has no scaling, Qt hosts) takes our size as that. A GTK 3 host
// embeds us in a GtkPlug (suil's X11-in-GTK3 wrapper does, for jalv.gtk3 and others): it reads
// our window's size and ui:resize as logical pixels, which GTK multiplies by its window scale,
// and then resizes our window to those logical numbers, which X takes as device pixels. At a
// scale of 2 that gives a frame of twice our size with us in a quarter of it. So such a host
// is told our size over GTK's scale, and our window is put back at its device size after each
// resize the host makes. Which host we are in is told by the parent window: only a GTK 3 host
// hands us a window that GDK 3 in this very process made.
// [main-thread] Every call, on the host's UI thread.
class GtkHostSize
{
public:
    // The scale GTK 3 gives parent when it is a window of this process's GDK 3, else 1. On the
    // host's UI thread, which in a GTK host is GTK's own.
    static int gtkScaleOf (void* parent);

    // For our window, at width x height device pixels, in a host at gtkScale (over 1). The
    // window is made its logical size at once, which the host reads as it embeds it; it gets
    // its device size back at the first idle, which comes after that. Null if X cannot be
    // reached.
    static std::unique_ptr<GtkHostSize> start (void* window, int width, int height, int gtkScale);
    ~GtkHostSize();

    // The size to tell the host, in its logical pixels.
    std::pair<int, int> hostSize() const;
    int scale() const noexcept { return gtkScale; }

    // Our window's device size from now on, after the user or the host resized the editor.
    void setDeviceSize (int width, int height);

    // From the host's idle: our window back at deviceSize() if anyone else resized it.
    void idle (const std::function<std::pair<int, int>()>& deviceSize);

private:
    GtkHostSize (std::unique_ptr<Connection>, unsigned window, int width, int height, int gtkScale);

    const std::unique_ptr<Connection> x;
    const unsigned window;
    int width, height;
    const int gtkScale;
    bool atDeviceSize = false;
};
} // namespace tarnwell::lv2
