#include "tests/standalone/AppWindow.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <thread>

namespace tarnwell::test
{
namespace
{
constexpr int editorHeight = 200;
constexpr int windowFrame = 1; // JUCE's own window border, without a window manager

bool belongsTo (Display* display, Window candidate, pid_t pid)
{
    const Atom pidAtom = XInternAtom (display, "_NET_WM_PID", True);
    if (pidAtom == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool matches = false;
    if (XGetWindowProperty (display, candidate, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &remaining,
                            &data)
            == Success
        && data != nullptr)
    {
        matches =
            count == 1 && format == 32 && *reinterpret_cast<unsigned long*> (data) == static_cast<unsigned long> (pid);
        XFree (data);
    }
    return matches;
}

// Other programs' windows come and go between a listing and a look at them: an error
// about one of those is no reason to end the test (Xlib's default handler exits).
int ignoreError (Display*, XErrorEvent*)
{
    return 0;
}

Window viewableWindowOf (Display* display, pid_t pid)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree (display, DefaultRootWindow (display), &root, &parent, &children, &count) == 0)
        return 0;
    for (unsigned int i = 0; i < count && found == 0; ++i)
    {
        XWindowAttributes attributes {};
        if (XGetWindowAttributes (display, children[i], &attributes) != 0 && attributes.map_state == IsViewable
            && attributes.height > editorHeight && belongsTo (display, children[i], pid))
            found = children[i];
    }
    if (children != nullptr)
        XFree (children);
    return found;
}
} // namespace

AppWindow::AppWindow (pid_t pid, std::chrono::milliseconds timeout) : display (XOpenDisplay (nullptr))
{
    XSetErrorHandler (ignoreError);
    int event = 0, error = 0, major = 0, minor = 0;
    if (display == nullptr || ! XTestQueryExtension (display, &event, &error, &major, &minor))
        return;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (window == 0 && std::chrono::steady_clock::now() < deadline)
    {
        window = viewableWindowOf (display, pid);
        if (window == 0)
            std::this_thread::sleep_for (std::chrono::milliseconds (200));
    }
    if (window != 0)
    {
        // Other tests open windows on the same display: ours goes on top of them.
        XRaiseWindow (display, window);
        XSync (display, False);
    }
}

AppWindow::~AppWindow()
{
    if (display != nullptr)
        XCloseDisplay (display);
}

void AppWindow::editorOrigin (int& x, int& y)
{
    XWindowAttributes attributes {};
    XGetWindowAttributes (display, window, &attributes);
    Window child = 0;
    XTranslateCoordinates (display, window, DefaultRootWindow (display), 0, 0, &x, &y, &child);
    x += windowFrame;
    y += attributes.height - windowFrame - editorHeight;
}

void AppWindow::click (int editorX, int editorY)
{
    int x = 0, y = 0;
    editorOrigin (x, y);
    clickAt (x + editorX, y + editorY);
}

void AppWindow::clickInWindow (int windowX, int windowY)
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates (display, window, DefaultRootWindow (display), 0, 0, &x, &y, &child);
    clickAt (x + windowX, y + windowY);
}

void AppWindow::clickAt (int rootX, int rootY)
{
    XRaiseWindow (display, window);
    XTestFakeMotionEvent (display, -1, rootX, rootY, CurrentTime);
    XSync (display, False);
    std::this_thread::sleep_for (std::chrono::milliseconds (200));
    XTestFakeButtonEvent (display, 1, True, CurrentTime);
    XSync (display, False);
    std::this_thread::sleep_for (std::chrono::milliseconds (100));
    XTestFakeButtonEvent (display, 1, False, CurrentTime);
    XSync (display, False);
}

std::vector<unsigned long> AppWindow::pixels (int editorX, int editorY, int width, int height)
{
    int x = 0, y = 0;
    editorOrigin (x, y);
    std::vector<unsigned long> result;
    if (auto* image =
            XGetImage (display, DefaultRootWindow (display), x + editorX, y + editorY,
                       static_cast<unsigned int> (width), static_cast<unsigned int> (height), AllPlanes, ZPixmap))
    {
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                result.push_back (XGetPixel (image, column, row));
        XDestroyImage (image);
    }
    return result;
}
} // namespace tarnwell::test
