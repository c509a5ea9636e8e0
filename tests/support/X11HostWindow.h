#pragma once

// A host's own window on the test's X display (run under xvfb-run -a), for a plug-in's editor
// to embed in. Hosts own the process's X error handling, and a plug-in must cause no errors to
// handle: each one fails the test.
//
// Or, with openBare, the harshest host: on an X server of its own that no window manager (and
// so no window manager's atom) has ever touched, keeping Xlib's default error handler, which
// prints the error and exits the process with status 1.

#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
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
        for (const char* atom : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING",
                                  "WM_CHANGE_STATE", "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE",
                                  "_NET_WM_STATE_HIDDEN", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE_FULLSCREEN" })
            XInternAtom (display, atom, False);
        XSync (display, False);
        XSetErrorHandler (&countError);
        errors() = 0;
        mapWindow (width, height);
        return true;
    }

    // Starts an Xvfb of its own (DISPLAY names it until close) and maps the window there, with
    // Xlib's default error handler in place; false if Xvfb cannot be started.
    bool openBare (int width, int height)
    {
        int ready[2];
        if (pipe (ready) != 0)
            return false;
        // Xvfb picks a free display and writes its number to the pipe once it accepts clients.
        server = std::make_unique<ChildProcess> (std::vector<std::string> { "Xvfb", "-displayfd",
                                                                            std::to_string (ready[1]), "-screen", "0",
                                                                            "1280x1024x24", "-nolisten", "tcp" },
                                                 std::vector<std::string> {},
                                                 ::testing::TempDir() + "tarnwell-bare-xvfb-"
                                                     + std::to_string (getpid()) + ".log");
        ::close (ready[1]);
        std::string number;
        char c = 0;
        pollfd p { ready[0], POLLIN, 0 };
        while (poll (&p, 1, 10000) == 1 && read (ready[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close (ready[0]);
        if (! server->started() || number.empty())
            return false;

        if (const char* shared = std::getenv ("DISPLAY"))
            sharedDisplay = shared;
        setenv ("DISPLAY", (":" + number).c_str(), 1);
        if ((display = XOpenDisplay (nullptr)) == nullptr)
            return false;
        XSetErrorHandler (nullptr);
        errors() = 0;
        mapWindow (width, height);
        return true;
    }

    // An id no window has on this display: what a host's stale handle names.
    Window unusableWindow() const { return window + 0x1000; }

    void close()
    {
        if (display != nullptr)
        {
            XDestroyWindow (display, window);
            XCloseDisplay (display);
            display = nullptr;
            window = 0;
        }
        if (server != nullptr)
        {
            server->signal (SIGTERM);
            server->waitForExit (std::chrono::seconds (10));
            server.reset();
            if (sharedDisplay.empty())
                unsetenv ("DISPLAY");
            else
                setenv ("DISPLAY", sharedDisplay.c_str(), 1);
        }
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
    void mapWindow (int width, int height)
    {
        window = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, static_cast<unsigned> (width),
                                      static_cast<unsigned> (height), 0, 0, 0);
        XMapWindow (display, window);
        XSync (display, False);
    }

    std::unique_ptr<ChildProcess> server; // openBare's Xvfb
    std::string sharedDisplay;

    static int countError (Display*, XErrorEvent* e)
    {
        ++errors();
        ADD_FAILURE() << "X error " << int (e->error_code) << " from request " << int (e->request_code);
        return 0;
    }
};
} // namespace tarnwell::test
