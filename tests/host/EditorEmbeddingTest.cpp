// The editor inside a host's X11 window: needs an X server (run under xvfb-run -a).

#include "TestHost.h"

#include <X11/Xlib.h>

#include <cstdlib>

using namespace tarnwell::testhost;

namespace
{
int xErrors = 0;

// Hosts own the process's X error handling; a plug-in must cause no errors to handle.
int countXError (Display*, XErrorEvent* e)
{
    ++xErrors;
    ADD_FAILURE() << "X error " << int (e->error_code) << " from request " << int (e->request_code);
    return 0;
}

class EditorEmbedding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::getenv ("DISPLAY") == nullptr || (display = XOpenDisplay (nullptr)) == nullptr)
            GTEST_SKIP() << "no X server";
        ASSERT_TRUE (library.isLoaded()) << dlerror();

        // Atoms a running window manager would have made, which JUCE looks up without
        // creating them; bare Xvfb has none.
        for (const char* atom : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                                  "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
                                  "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE_FULLSCREEN" })
            XInternAtom (display, atom, False);
        XSync (display, False);
        XSetErrorHandler (&countXError);
        xErrors = 0;

        plugin = std::make_unique<Plugin> (library);
        ASSERT_NE (plugin->effect, nullptr);
        if ((plugin->effect->flags & effFlagsHasEditor) == 0)
            GTEST_SKIP() << "the plug-in offers no editor";

        hostWindow = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, 600, 400, 0, 0, 0);
        XMapWindow (display, hostWindow);
        XSync (display, False);
    }

    void TearDown() override
    {
        plugin.reset();
        EXPECT_EQ (xErrors, 0);
        if (display != nullptr)
        {
            if (hostWindow != 0)
                XDestroyWindow (display, hostWindow);
            XCloseDisplay (display);
        }
    }

    unsigned childCount()
    {
        XSync (display, False);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree (display, hostWindow, &root, &parent, &children, &count);
        if (children != nullptr)
            XFree (children);
        return count;
    }

    Display* display = nullptr;
    Window hostWindow = 0;
    PluginLibrary library;
    std::unique_ptr<Plugin> plugin;
};

// No effEditIdle anywhere: the plug-in's own message thread must carry the editor.
TEST_F (EditorEmbedding, OpensInTheHostWindowAtItsSizeAndClosesAgain)
{
    ERect* rect = nullptr;
    ASSERT_EQ (plugin->dispatch (effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->right - rect->left, 453);
    EXPECT_EQ (rect->bottom - rect->top, 200);

    EXPECT_EQ (childCount(), 0u);
    for (int round = 0; round < 20; ++round)
    {
        ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (hostWindow)), 1);
        ASSERT_EQ (childCount(), 1u);

        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree (display, hostWindow, &root, &parent, &children, &count);
        XWindowAttributes attributes {};
        XGetWindowAttributes (display, children[0], &attributes);
        XFree (children);
        EXPECT_EQ (attributes.width, 453);
        EXPECT_EQ (attributes.height, 200);

        ERect* openRect = nullptr;
        ASSERT_EQ (plugin->dispatch (effEditGetRect, 0, 0, &openRect), 1);
        EXPECT_EQ (openRect->right, 453);

        plugin->dispatch (effEditClose);
        EXPECT_EQ (childCount(), 0u);
    }

    // Closing the instance with its editor open takes the window away too.
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (hostWindow)), 1);
    plugin->close();
    EXPECT_EQ (childCount(), 0u);
}

TEST_F (EditorEmbedding, ANullHostWindowIsRefused)
{
    EXPECT_EQ (plugin->dispatch (effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ (plugin->dispatch (effEditGetRect, 0, 0, nullptr), 0);
}
} // namespace
