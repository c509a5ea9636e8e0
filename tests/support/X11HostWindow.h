#pragma once

// A host's own window on the test's X display (run under xvfb-run -a), for a plug-in's editor
// to embed in. Hosts own the process's X error handling, and a plug-in must cause no errors to
// handle: each one fails the test.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <vector>

namespace tarnwell::test
{
class X11HostWindow
{
public:
    X11HostWindow() = default;
    X11HostWindow (const X11HostWindow&) = delete;
    X11HostWindow& operator= (const X11HostWindow&) = delete;
    ~X11HostWindow() { close(); }

    // Connects to $DISPLAY and maps a window of this size at the screen's top left; false
    // without an X server.
    bool open (int width, int height)
    {
        if (std::getenv ("DISPLAY") == nullptr || (display = XOpenDisplay (nullptr)) == nullptr)
            return false;

        // Atoms a running window manager would have made, which JUCE looks up without
        // creating them; bare Xvfb has none.
        for (const char* atom : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                                  "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
                                  "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE_FULLSCREEN" })
            XInternAtom (display, atom, False);
        XSync (display, False);
        XSetErrorHandler (&countError);
        errors() = 0;

        window = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, static_cast<unsigned> (width),
                                      static_cast<unsigned> (height), 0, 0, 0);
        XMapWindow (display, window);
        XSync (display, False);
        return true;
    }

    void close()
    {
        if (display == nullptr)
            return;
        XDestroyWindow (display, window);
        XCloseDisplay (display);
        display = nullptr;
        window = 0;
    }

    // The windows embedded in ours, once the server has seen every request made so far.
    std::vector<Window> children() const
    {
        XSync (display, False);
        Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        XQueryTree (display, window, &root, &parent, &list, &count);
        std::vector<Window> result (list, list + count);
        if (list != nullptr)
            XFree (list);
        return result;
    }

    // X errors since the last open, from any connection of this process.
    static int& errors()
    {
        static int count = 0;
        return count;
    }

    Display* display = nullptr;
    Window window = 0;

private:
    static int countError (Display*, XErrorEvent* e)
    {
        ++errors();
        ADD_FAILURE() << "X error " << int (e->error_code) << " from request " << int (e->request_code);
        return 0;
    }
};
} // namespace tarnwell::test
