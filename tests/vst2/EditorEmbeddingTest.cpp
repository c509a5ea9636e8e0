// The editor inside a host's X11 window: needs an X server (run under xvfb-run -a). The tests
// of a scaled desktop start an X server and an XSETTINGS daemon of their own.

#include "TestHost.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScaledDesktop.h"
#include "tests/support/TemporaryConfigHome.h"
#include "tests/support/X11HostWindow.h"

#include <juce_graphics/juce_graphics.h>
#include <TarnwellArtwork.h>

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

using namespace tarnwell::testhost;
using tarnwell::test::ChildProcess;
using tarnwell::test::ScaledDesktop;
using tarnwell::test::X11HostWindow;

namespace
{
juce::Image background2x()
{
    return juce::ImageFileFormat::loadFrom (TarnwellArtwork::background2x_png, TarnwellArtwork::background2x_pngSize);
}

// A drag with the first button, as XTEST makes the X server deliver it, in root pixels; the
// pointer then rests at `rest`.
void dragOn (Display* display, juce::Point<int> from, juce::Point<int> to, juce::Point<int> rest)
{
    const auto pause = [display] {
        XSync (display, False);
        std::this_thread::sleep_for (std::chrono::milliseconds (100));
    };
    for (int i = 0; i <= 5; ++i)
    {
        const auto at = i == 0 ? from : i == 5 ? rest : from + (to - from) * i / 4;
        XTestFakeMotionEvent (display, -1, at.x, at.y, CurrentTime);
        pause();
        if (i == 0 || i == 4)
        {
            XTestFakeButtonEvent (display, 1, i == 0 ? True : False, CurrentTime);
            pause();
        }
    }
}

class EditorEmbedding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Room for the editor at 200 %, all of it on the screen, so its pixels can be read back.
        if (! x11.open (1000, 500))
            GTEST_SKIP() << "no X server";
        ASSERT_TRUE (library.isLoaded()) << dlerror();

        plugin = std::make_unique<Plugin> (library);
        ASSERT_NE (plugin->effect, nullptr);
        if ((plugin->effect->flags & effFlagsHasEditor) == 0)
            GTEST_SKIP() << "the plug-in offers no editor";
    }

    void TearDown() override
    {
        plugin.reset();
        tarnwell::test::configHome.forgetEditorSize();
        EXPECT_EQ (X11HostWindow::errors(), 0);
        x11.close();
    }

    Window editorWindow()
    {
        const auto children = x11.children();
        return children.size() == 1 ? children[0] : 0;
    }

    static juce::Point<int> sizeOf (const ERect& r) { return { r.right - r.left, r.bottom - r.top }; }

    juce::Point<int> reportedSize()
    {
        ERect* rect = nullptr;
        if (plugin->dispatch (effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr)
            return {};
        return sizeOf (*rect);
    }

    juce::Point<int> windowSize()
    {
        XWindowAttributes attributes {};
        const Window window = editorWindow();
        if (window == 0 || XGetWindowAttributes (x11.display, window, &attributes) == 0)
            return {};
        return { attributes.width, attributes.height };
    }

    // Waits a while (seconds) for the editor's window to take a size; the size it has then.
    juce::Point<int> windowSizeOnceItIs (juce::Point<int> expected, double seconds = 5.0)
    {
        auto size = windowSize();
        for (int attempt = 0; attempt < int (seconds * 20) && size != expected; ++attempt)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (50));
            size = windowSize();
        }
        return size;
    }

    // Waits for the editor's window to show the 2x background where no control lies: the band
    // above the controls and the strip right of the readouts, down to the last device pixel.
    // The pixels that differ in the end.
    int pixelsUnlikeThe2xArtwork()
    {
        const auto art = background2x();
        const juce::Rectangle<int> uncovered[] = { { 0, 0, 906, 60 }, { 882, 0, 24, 400 } };
        int differing = -1;
        for (int attempt = 0; attempt < 100 && differing != 0; ++attempt)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (50));
            XImage* shown = XGetImage (x11.display, editorWindow(), 0, 0, 906, 400, AllPlanes, ZPixmap);
            if (shown == nullptr)
                continue;
            differing = 0;
            for (const auto& area : uncovered)
                for (int y = area.getY(); y < area.getBottom(); ++y)
                    for (int x = area.getX(); x < area.getRight(); ++x)
                    {
                        const auto pixel = static_cast<juce::uint32> (XGetPixel (shown, x, y));
                        const auto expected = art.getPixelAt (x, y);
                        const auto distance = juce::jmax (std::abs (int ((pixel >> 16) & 0xff) - expected.getRed()),
                                                          std::abs (int ((pixel >> 8) & 0xff) - expected.getGreen()),
                                                          std::abs (int (pixel & 0xff) - expected.getBlue()));
                        differing += distance > 2 ? 1 : 0;
                    }
            XDestroyImage (shown);
        }
        return differing;
    }

    // The host's scale message as hosts send it.
    VstIntPtr sendHostScale (float scale)
    {
        return plugin->dispatch (effVendorSpecific, tarnwell::vst::scaleMessageIndex, tarnwell::vst::scaleMessageValue,
                                 nullptr, scale);
    }

    X11HostWindow x11;
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

    EXPECT_TRUE (x11.children().empty());
    for (int round = 0; round < 20; ++round)
    {
        ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
        ASSERT_EQ (x11.children().size(), 1u);
        EXPECT_EQ (windowSize(), juce::Point<int> (453, 200));

        ERect* openRect = nullptr;
        ASSERT_EQ (plugin->dispatch (effEditGetRect, 0, 0, &openRect), 1);
        EXPECT_EQ (openRect->right, 453);

        plugin->dispatch (effEditClose);
        EXPECT_TRUE (x11.children().empty());
    }

    // Closing the instance with its editor open takes the window away too.
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
    plugin->close();
    EXPECT_TRUE (x11.children().empty());
}

TEST_F (EditorEmbedding, ANullHostWindowIsRefused)
{
    EXPECT_EQ (plugin->dispatch (effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ (plugin->dispatch (effEditGetRect, 0, 0, nullptr), 0);
}

// On a desktop at 100 %, hosts that draw at 200 % say so with the scale message.
TEST_F (EditorEmbedding, TheHostsScaleMessageSizesAndRedrawsTheEditor)
{
    EXPECT_EQ (reportedSize(), juce::Point<int> (453, 200)) << "the desktop here is at 100 %";
    // Scales run from a quarter to eight, both ends included; one just beyond is refused and
    // leaves the size as it was. (Width 0: refused.)
    int shown = 453;
    for (const auto& [scale, width] : { std::pair { 0.25f, 114 }, std::pair { std::nextafter (0.25f, 0.0f), 0 },
                                        std::pair { 8.0f, 3624 }, std::pair { std::nextafter (8.0f, 9.0f), 0 } })
    {
        EXPECT_EQ (sendHostScale (scale), width > 0 ? 1 : 0) << scale;
        shown = width > 0 ? width : shown;
        EXPECT_EQ (reportedSize().x, shown) << scale;
    }
    EXPECT_EQ (sendHostScale (2.0f), 1);
    EXPECT_EQ (reportedSize(), juce::Point<int> (906, 400));

    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
    EXPECT_EQ (windowSize(), juce::Point<int> (906, 400));
    EXPECT_EQ (pixelsUnlikeThe2xArtwork(), 0) << "drawn at 2x, from the 2x picture";

    // A new scale while open resizes the window, and the host is asked to fit its own.
    HostLog::clear();
    EXPECT_EQ (sendHostScale (1.5f), 1);
    EXPECT_EQ (windowSize(), juce::Point<int> (680, 300));
    EXPECT_EQ (reportedSize(), juce::Point<int> (680, 300));
    const auto calls = HostLog::callsFor (plugin->effect);
    ASSERT_EQ (calls.size(), 1u);
    EXPECT_EQ (calls[0].opcode, audioMasterSizeWindow);
    EXPECT_EQ (calls[0].index, 680);

    // Anything else is not a scale: refused, nothing changes.
    EXPECT_EQ (sendHostScale (std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ (plugin->dispatch (effVendorSpecific, tarnwell::vst::scaleMessageIndex, 0, nullptr, 2.0f), 0);
    EXPECT_EQ (plugin->dispatch (effVendorSpecific, 0, tarnwell::vst::scaleMessageValue, nullptr, 2.0f), 0);
    EXPECT_EQ (reportedSize(), juce::Point<int> (680, 300));

    // The scale outlives the editor: the next one opens at it.
    plugin->dispatch (effEditClose);
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
    EXPECT_EQ (windowSize(), juce::Point<int> (680, 300));
}

// The user drags the editor's corner, as the X server delivers it: the host is asked to fit a
// window of the new size, effEditGetRect answers it, and the editor fills its window as the
// 2x picture of the same state. A drag past 300 % or off the shape is snapped; the next editor
// of the instance opens at the size chosen.
TEST_F (EditorEmbedding, DraggingTheCornerResizesTheEditorAndTheHostIsAskedToFit)
{
    int event = 0, error = 0, major = 0, minor = 0;
    if (! XTestQueryExtension (x11.display, &event, &error, &major, &minor))
        GTEST_SKIP() << "no XTEST";
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
    ASSERT_EQ (windowSizeOnceItIs ({ 453, 200 }), juce::Point<int> (453, 200));
    HostLog::clear();

    // The host window sits at the screen's top left: its pixels are the root's. The pointer
    // rests off the editor, so the handle draws nothing.
    const auto drag = [this] (juce::Point<int> from, juce::Point<int> to) {
        dragOn (x11.display, from, to, { 980, 490 });
    };

    drag ({ 447, 194 }, { 900, 394 });
    EXPECT_EQ (windowSizeOnceItIs ({ 906, 400 }), juce::Point<int> (906, 400));
    EXPECT_EQ (reportedSize(), juce::Point<int> (906, 400));
    const auto calls = HostLog::callsFor (plugin->effect);
    ASSERT_FALSE (calls.empty());
    EXPECT_EQ (calls.back().opcode, audioMasterSizeWindow);
    EXPECT_EQ (calls.back().index, 906);
    EXPECT_EQ (calls.back().value, 400);
    EXPECT_EQ (pixelsUnlikeThe2xArtwork(), 0) << "drawn at 2x, from the 2x picture";

    // Far down: the height decides, and 300 % is the most.
    drag ({ 900, 394 }, { 905, 1000 });
    EXPECT_EQ (windowSizeOnceItIs ({ 1359, 600 }), juce::Point<int> (1359, 600));
    EXPECT_EQ (reportedSize(), juce::Point<int> (1359, 600));
    EXPECT_EQ (HostLog::callsFor (plugin->effect).back().index, 1359);

    // Remembered for the user: the instance's next editor, and a new instance's, open at it.
    plugin->dispatch (effEditClose);
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
    EXPECT_EQ (windowSizeOnceItIs ({ 1359, 600 }), juce::Point<int> (1359, 600));
    plugin->dispatch (effEditClose);
    Plugin another (library);
    ERect* rect = nullptr;
    ASSERT_EQ (another.dispatch (effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ (sizeOf (*rect), juce::Point<int> (1359, 600));

    // A settings file that makes no sense: the default size, and no complaint.
    std::ofstream (tarnwell::test::configHome.editorSettings()) << "zoom=lots\n";
    Plugin third (library);
    ASSERT_EQ (third.dispatch (effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ (sizeOf (*rect), juce::Point<int> (453, 200));
}

// The same plug-in on a desktop at 200 %, announced over XSETTINGS as desktops do.
class EditorOnADesktopAt200 : public EditorEmbedding
{
protected:
    void SetUp() override
    {
        if (! desktop.useAsDisplay())
            GTEST_SKIP() << "Xvfb with xsettingsd could not be started";
        EditorEmbedding::SetUp();
    }

    ScaledDesktop desktop { 2 };
};

TEST_F (EditorOnADesktopAt200, OpensAtTwiceItsSizeDrawnFromThe2xPictureAndFollowsTheDesktop)
{
    EXPECT_EQ (reportedSize(), juce::Point<int> (906, 400));
    ASSERT_EQ (plugin->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
    EXPECT_EQ (windowSize(), juce::Point<int> (906, 400));
    EXPECT_EQ (reportedSize(), juce::Point<int> (906, 400));
    EXPECT_EQ (pixelsUnlikeThe2xArtwork(), 0);

    // While the editor is open, the desktop changes to 150 %, told only by its font resolution
    // (144 dpi in 1024ths), as some desktops do.
    desktop.announce ("Net/ThemeName \"Adwaita\"\nXft/DPI 147456\n");
    EXPECT_EQ (windowSizeOnceItIs ({ 680, 300 }), juce::Point<int> (680, 300));
    EXPECT_EQ (reportedSize(), juce::Point<int> (680, 300));

    // A desktop without scale settings, at 200 % by its X resources alone (as xrdb sets them).
    desktop.announce ("Net/ThemeName \"Adwaita\"\n");
    const std::string resources = "Xcursor.size:\t24\nXft.dpi:\t192\n";
    XChangeProperty (x11.display, DefaultRootWindow (x11.display), XInternAtom (x11.display, "RESOURCE_MANAGER", False),
                     XA_STRING, 8, PropModeReplace, reinterpret_cast<const unsigned char*> (resources.data()),
                     int (resources.size()));
    EXPECT_EQ (windowSizeOnceItIs ({ 906, 400 }), juce::Point<int> (906, 400));

    // The host's own scale comes first, whatever the desktop says afterwards.
    EXPECT_EQ (sendHostScale (1.0f), 1);
    EXPECT_EQ (windowSize(), juce::Point<int> (453, 200));
    EXPECT_EQ (sendHostScale (2.0f), 1);
    EXPECT_EQ (windowSize(), juce::Point<int> (906, 400));
    desktop.announce ("Gdk/WindowScalingFactor 3\n");
    EXPECT_EQ (windowSizeOnceItIs ({ 1359, 600 }, 2.5), juce::Point<int> (906, 400))
        << "the desktop's news changes nothing here";
}

#ifdef TARNWELL_STANDALONE_PATH
// The standalone app's top-level window, once it shows, or 0.
Window appWindowOf (Display* display, pid_t pid)
{
    const Atom pidAtom = XInternAtom (display, "_NET_WM_PID", False);
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned int count = 0;
    if (XQueryTree (display, DefaultRootWindow (display), &root, &parent, &children, &count) == 0)
        return found;
    for (unsigned int i = 0; i < count && found == 0; ++i)
    {
        Atom type = None;
        int format = 0;
        unsigned long n = 0, remaining = 0;
        unsigned char* data = nullptr;
        XWindowAttributes attributes {};
        if (XGetWindowProperty (display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &remaining,
                                &data)
                == Success
            && data != nullptr && n == 1 && *reinterpret_cast<unsigned long*> (data) == static_cast<unsigned long> (pid)
            && XGetWindowAttributes (display, children[i], &attributes) != 0 && attributes.map_state == IsViewable)
            found = children[i];
        if (data != nullptr)
            XFree (data);
    }
    if (children != nullptr)
        XFree (children);
    return found;
}

// The size of the standalone app's top-level window, once it shows, or 0 x 0.
juce::Point<int> appWindowSize (Display* display, pid_t pid)
{
    XWindowAttributes attributes {};
    const Window window = appWindowOf (display, pid);
    if (window == 0 || XGetWindowAttributes (display, window, &attributes) == 0)
        return {};
    return { attributes.width, attributes.height };
}

// The standalone app follows the desktop's scale as the plug-in's editors do: at 200 % its
// window is twice its size at 100 % (the 906 x 400 editor, JUCE's one-pixel border and the bars
// above it, all doubled), and it follows the desktop back to 100 % while it runs.
TEST (StandaloneOnADesktopAt200, ShowsAtTwiceItsSizeAndFollowsTheDesktop)
{
    ScaledDesktop desktop { 2 };
    if (! desktop.isRunning())
        GTEST_SKIP() << "Xvfb with xsettingsd could not be started";
    const auto config = ::testing::TempDir() + "tarnwell-scaled-app-" + std::to_string (getpid());
    ChildProcess app ({ TARNWELL_STANDALONE_PATH }, { "DISPLAY=" + desktop.display(), "XDG_CONFIG_HOME=" + config },
                      config + ".log");
    Display* display = XOpenDisplay (desktop.display().c_str());
    ASSERT_NE (display, nullptr);
    // Waits up to 10 s for the expected size (a height of 0: any height).
    const auto sizeOnceItIs = [&] (juce::Point<int> expected) {
        const auto matches = [&] (juce::Point<int> size) {
            return size.x == expected.x && (expected.y == 0 || size.y == expected.y);
        };
        auto size = appWindowSize (display, app.id());
        for (int attempt = 0; attempt < 200 && ! matches (size); ++attempt)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (50));
            size = appWindowSize (display, app.id());
        }
        return size;
    };

    const auto at200 = sizeOnceItIs ({ 906 + 2 * 2, 0 });
    EXPECT_EQ (at200.x, 906 + 2 * 2) << app.log();
    desktop.announce ("Gdk/WindowScalingFactor 1\nXft/DPI 98304\n");
    const auto at100 = sizeOnceItIs ({ 453 + 2, at200.y / 2 });
    EXPECT_EQ (at100, juce::Point<int> (453 + 2, at200.y / 2));

    XCloseDisplay (display);
    app.signal (SIGTERM);
    EXPECT_TRUE (app.waitForExit (std::chrono::seconds (10)).has_value());
    juce::File (config).deleteRecursively();
    std::remove ((config + ".log").c_str());
}

// The standalone app resizes as the plug-in's editors do: a drag of the editor's corner makes
// the editor twice its size and the window follows (JUCE's one-pixel border kept); the next
// start of the app opens at that size.
TEST (StandaloneOnADesktopAt100, GrowsWithTheEditorsCornerAndStartsAtTheSizeChosen)
{
    ScaledDesktop desktop { 1 };
    if (! desktop.isRunning())
        GTEST_SKIP() << "Xvfb with xsettingsd could not be started";
    const auto config = ::testing::TempDir() + "tarnwell-resized-app-" + std::to_string (getpid());
    Display* display = XOpenDisplay (desktop.display().c_str());
    ASSERT_NE (display, nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (! XTestQueryExtension (display, &event, &error, &major, &minor))
    {
        XCloseDisplay (display);
        GTEST_SKIP() << "no XTEST";
    }

    juce::Point<int> size;
    const auto start = [&] (int width) {
        auto app = std::make_unique<ChildProcess> (std::vector<std::string> { TARNWELL_STANDALONE_PATH },
                                                   std::vector<std::string> { "DISPLAY=" + desktop.display(),
                                                                              "XDG_CONFIG_HOME=" + config },
                                                   config + ".log");
        for (int attempt = 0; attempt < 200 && (size = appWindowSize (display, app->id())).x != width; ++attempt)
            std::this_thread::sleep_for (std::chrono::milliseconds (50));
        return app;
    };
    const auto stop = [] (ChildProcess& app) {
        app.signal (SIGTERM);
        EXPECT_TRUE (app.waitForExit (std::chrono::seconds (10)).has_value());
    };

    auto app = start (453 + 2);
    ASSERT_EQ (size.x, 453 + 2) << app->log();
    const Window window = appWindowOf (display, app->id());
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates (display, window, DefaultRootWindow (display), 0, 0, &x, &y, &child);
    // The editor sits on the window's bottom border, one pixel in from its right.
    const juce::Point<int> corner (x + size.x - 1 - 6, y + size.y - 1 - 6);
    dragOn (display, corner, corner + juce::Point<int> (453, 200), corner + juce::Point<int> (453, 200));

    const auto height100 = size.y;
    for (int attempt = 0; attempt < 200 && (size = appWindowSize (display, app->id())).x != 906 + 2; ++attempt)
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
    EXPECT_EQ (size, juce::Point<int> (906 + 2, height100 + 200)) << app->log();
    stop (*app);

    app = start (906 + 2);
    EXPECT_EQ (size, juce::Point<int> (906 + 2, height100 + 200)) << app->log();
    stop (*app);

    XCloseDisplay (display);
    juce::File (config).deleteRecursively();
    std::remove ((config + ".log").c_str());
}
#endif
} // namespace

namespace
{
// The harshest host: Xlib's default error handler, with which any X error ends this process
// with status 1, on an X server no window manager ever ran on (so none of its atoms exist).
TEST (EditorOnABareXServer, CausesNoXErrorInAnyOrderOfCalls)
{
    X11HostWindow x11;
    if (! x11.openBare (600, 300))
        GTEST_SKIP() << "Xvfb could not be started";
    PluginLibrary library;
    ASSERT_TRUE (library.isLoaded()) << dlerror();
    Plugin plugin (library);
    ASSERT_NE (plugin.effect, nullptr);
    auto* const parent = reinterpret_cast<void*> (x11.window);

    // Each round draws a changed value, so the window's repaint and idle paths run too.
    for (int round = 0; round < 50; ++round)
    {
        ASSERT_EQ (plugin.dispatch (effEditOpen, 0, 0, parent), 1) << round;
        plugin.effect->setParameter (plugin.effect, 3, float (round % 10) / 10.0f);
        for (int idle = 0; idle < 3; ++idle)
        {
            plugin.dispatch (effEditIdle);
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
        plugin.dispatch (effEditClose);
    }

    // Opened twice with no close between: one editor, the second.
    ASSERT_EQ (plugin.dispatch (effEditOpen, 0, 0, parent), 1);
    ASSERT_EQ (plugin.dispatch (effEditOpen, 0, 0, parent), 1);
    std::this_thread::sleep_for (std::chrono::milliseconds (100));
    EXPECT_EQ (x11.children().size(), 1u);

    // Handles that name no window an editor can live in: refused, the open editor left as it is.
    const Window inputOnly =
        XCreateWindow (x11.display, x11.window, 0, 0, 10, 10, 0, 0, InputOnly, CopyFromParent, 0, nullptr);
    XSync (x11.display, False);
    for (const Window bogus : { x11.unusableWindow(), inputOnly, Window (0xffffffffu) })
        EXPECT_EQ (plugin.dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (bogus)), 0) << bogus;
    XDestroyWindow (x11.display, inputOnly);
    EXPECT_EQ (x11.children().size(), 1u);
    plugin.dispatch (effEditClose);
    EXPECT_TRUE (x11.children().empty());

    ASSERT_EQ (plugin.dispatch (effEditOpen, 0, 0, parent), 1) << "a good window still works";
    plugin.close(); // with the editor open
    EXPECT_TRUE (x11.children().empty());
}

// Editors opened on several host threads at once, instances closed with them open on others,
// then the library unloaded and loaded again in this process: everything the plug-in started
// is stopped and joined before what it uses is freed (ThreadSanitizer runs this).
TEST (EditorThreads, StopBeforeTheirInstancesGoAndTheLibraryLoadsAgain)
{
    X11HostWindow x11;
    if (! x11.open (1000, 500))
        GTEST_SKIP() << "no X server";
    for (int load = 0; load < 2; ++load)
    {
        PluginLibrary library;
        ASSERT_TRUE (library.isLoaded()) << dlerror();
        std::vector<std::unique_ptr<Plugin>> plugins (3);
        std::vector<std::thread> threads;
        for (auto& p : plugins)
            threads.emplace_back ([&p, &library, &x11] {
                p = std::make_unique<Plugin> (library);
                EXPECT_EQ (p->dispatch (effEditOpen, 0, 0, reinterpret_cast<void*> (x11.window)), 1);
            });
        for (auto& t : threads)
            t.join();
        threads.clear();
        EXPECT_EQ (x11.children().size(), plugins.size());

        for (auto& p : plugins)
            threads.emplace_back ([&p] { p->close(); });
        for (auto& t : threads)
            t.join();
        EXPECT_TRUE (x11.children().empty());
    }

    // Unloaded for real: nothing of the library kept it mapped.
    std::ifstream maps ("/proc/self/maps");
    for (std::string line; std::getline (maps, line);)
        EXPECT_EQ (line.find (TARNWELL_VST2_PATH), std::string::npos) << line;
}
} // namespace
