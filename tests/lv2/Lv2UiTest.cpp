// Tarnwell's LV2 UI as a host embeds it: found through lilv, loaded from the bundle, placed in
// a host's X11 window and driven only through the LV2 UI protocol. Needs an X server (run
// under xvfb-run -a).

#include "LilvHost.h"

#include "host/lv2/Lv2Ports.h"
#include "host/lv2/Lv2UiModel.h"
#include "processor/InstanceCore.h"
#include "processor/ParameterTable.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScaledDesktop.h"
#include "tests/support/TemporaryConfigHome.h"
#include "tests/support/X11HostWindow.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <dlfcn.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace params = tarnwell::parameters;
namespace lv2 = tarnwell::lv2;
using tarnwell::test::ChildProcess;
using tarnwell::test::Lv2World;
using tarnwell::test::ScaledDesktop;
using tarnwell::test::X11HostWindow;

namespace
{
// What the UI told the host.
struct HostSide
{
    struct Write
    {
        uint32_t port;
        float value;
    };
    struct Touch
    {
        uint32_t port;
        bool grabbed;
    };
    std::vector<Write> writes;
    std::vector<Touch> touches;
    std::string order; // '(' grabbed, 'w' written, ')' released
    int width = 0, height = 0;

    static void write (LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
    {
        if (format == 0 && size == sizeof (float))
            static_cast<HostSide*> (self)->writes.push_back ({ port, *static_cast<const float*> (buffer) });
        static_cast<HostSide*> (self)->order += 'w';
    }
    static int resize (LV2UI_Feature_Handle self, int w, int h)
    {
        static_cast<HostSide*> (self)->width = w;
        static_cast<HostSide*> (self)->height = h;
        return 0;
    }
    static void touch (LV2UI_Feature_Handle self, uint32_t port, bool grabbed)
    {
        static_cast<HostSide*> (self)->touches.push_back ({ port, grabbed });
        static_cast<HostSide*> (self)->order += grabbed ? '(' : ')';
    }
};

class Lv2Ui : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! (bareServer ? x11.openBare (600, 400) : x11.open (600, 400)))
            GTEST_SKIP() << "no X server";
        ASSERT_NE (world.plugin, nullptr) << "Tarnwell not found in LV2_PATH";

        // The UI as lilv finds it: its class and binary come from the bundle's Turtle.
        const LilvUIs* uis = lilv_plugin_get_uis (world.plugin);
        ASSERT_EQ (lilv_uis_size (uis), 1u);
        const LilvUI* ui = lilv_uis_get (uis, lilv_uis_begin (uis));
        LilvNode* x11Ui = lilv_new_uri (world.get(), LV2_UI__X11UI);
        EXPECT_TRUE (lilv_ui_is_a (ui, x11Ui));
        lilv_node_free (x11Ui);
        uiUri = lilv_node_as_uri (lilv_ui_get_uri (ui));
        char* binary = lilv_file_uri_parse (lilv_node_as_uri (lilv_ui_get_binary_uri (ui)), nullptr);
        char* bundle = lilv_file_uri_parse (lilv_node_as_uri (lilv_ui_get_bundle_uri (ui)), nullptr);
        bundlePath = bundle;
        library = dlopen (binary, RTLD_NOW | RTLD_LOCAL);
        lilv_free (binary);
        lilv_free (bundle);
        ASSERT_NE (library, nullptr) << dlerror();
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction> (dlsym (library, "lv2ui_descriptor"));
        ASSERT_NE (entry, nullptr);
        descriptor = entry (0);
        ASSERT_NE (descriptor, nullptr);
        EXPECT_EQ (std::string (descriptor->URI), uiUri);
        EXPECT_EQ (entry (1), nullptr);
    }

    void TearDown() override
    {
        if (handle != nullptr)
            descriptor->cleanup (handle);
        if (library != nullptr)
            dlclose (library);
        tarnwell::test::configHome.forgetEditorSize();
        EXPECT_EQ (X11HostWindow::errors(), 0);
        x11.close();
    }

    // In x11's window, or in parent if one is named; with the host's ui:scaleFactor if given.
    LV2UI_Handle instantiate (bool withParent, Window parent = 0, float scaleFactor = 0.0f)
    {
        const LV2_Options_Option options[] = { { LV2_OPTIONS_INSTANCE, 0, world.urids.map (LV2_UI__scaleFactor),
                                                 sizeof (float), world.urids.map (LV2_ATOM__Float), &scaleFactor },
                                               { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr } };
        LV2_Feature optionsFeature { LV2_OPTIONS__options, const_cast<LV2_Options_Option*> (options) };
        LV2UI_Resize resize { &host, &HostSide::resize };
        LV2UI_Touch touch { &host, &HostSide::touch };
        LV2_Feature parentFeature { LV2_UI__parent, reinterpret_cast<void*> (parent != 0 ? parent : x11.window) };
        LV2_Feature resizeFeature { LV2_UI__resize, &resize };
        LV2_Feature touchFeature { LV2_UI__touch, &touch };
        std::vector<const LV2_Feature*> features { &world.urids.mapEntry, &resizeFeature, &touchFeature };
        if (scaleFactor > 0.0f)
            features.push_back (&optionsFeature);
        if (withParent)
            features.push_back (&parentFeature);
        features.push_back (nullptr);
        return descriptor->instantiate (descriptor, "https://quennet.audio/plugins/tarnwell", bundlePath.c_str(),
                                        &HostSide::write, &host, &widget, features.data());
    }

    // A mouse button event or a drag step at (x, y) in the UI's window, as the X server would
    // deliver it.
    void mouse (int type, int x, int y)
    {
        XEvent e {};
        e.xbutton.type = type;
        e.xbutton.display = x11.display;
        e.xbutton.window = static_cast<Window> (reinterpret_cast<uintptr_t> (widget));
        e.xbutton.root = DefaultRootWindow (x11.display);
        e.xbutton.x = e.xbutton.x_root = x;
        e.xbutton.y = e.xbutton.y_root = y;
        e.xbutton.same_screen = True;
        e.xbutton.time = static_cast<Time> (++eventTime * 50);
        if (type == MotionNotify)
            e.xmotion.state = Button1Mask;
        else
            e.xbutton.button = Button1;
        const long mask = type == ButtonPress ? ButtonPressMask
            : type == ButtonRelease           ? ButtonReleaseMask
                                              : ButtonMotionMask | PointerMotionMask;
        XSendEvent (x11.display, e.xbutton.window, True, mask, &e);
        XSync (x11.display, False);
        std::this_thread::sleep_for (std::chrono::milliseconds (30));
    }

    // Calls idle as a host's UI loop does until `done`, for at most two seconds.
    template <typename Done>
    bool idleUntil (const LV2UI_Idle_Interface& idle, Done&& done)
    {
        for (int i = 0; i < 200 && ! done(); ++i)
        {
            EXPECT_EQ (idle.idle (handle), 0);
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
        return done();
    }

    bool bareServer = false; // X11HostWindow::openBare's server and error handling
    Lv2World world;
    std::string uiUri, bundlePath;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    X11HostWindow x11;
    HostSide host;
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = nullptr;
    long eventTime = 1;
};
} // namespace

TEST_F (Lv2Ui, EmbedsTheEditorAndSpeaksThePortProtocolBothWays)
{
    EXPECT_EQ (instantiate (false), nullptr) << "no window to embed in: refused";

    handle = instantiate (true);
    ASSERT_NE (handle, nullptr);
    const auto embedded = x11.children();
    ASSERT_EQ (embedded.size(), 1u);
    EXPECT_EQ (reinterpret_cast<uintptr_t> (widget), embedded[0]);
    XWindowAttributes attributes {};
    XGetWindowAttributes (x11.display, embedded[0], &attributes);
    EXPECT_EQ (attributes.width, 453);
    EXPECT_EQ (attributes.height, 200);
    EXPECT_EQ (host.width, 453);
    EXPECT_EQ (host.height, 200);

    const auto* idle = static_cast<const LV2UI_Idle_Interface*> (descriptor->extension_data (LV2_UI__idleInterface));
    ASSERT_NE (idle, nullptr);

    // The host sets Mix; then the user drags the Mix knob up from there. The writes that come
    // back, in per cent as the port holds it, start above the host's value, so the editor
    // showed it.
    const float hostMix = 60.0f;
    const auto mixPort = lv2::portOf (params::mix);
    descriptor->port_event (handle, mixPort, sizeof (float), 0, &hostMix);
    const float ignored = 0.9f;
    descriptor->port_event (handle, lv2::latency, sizeof (float), 0, &ignored);
    idleUntil (*idle, [n = 0]() mutable { return ++n > 20; });
    EXPECT_TRUE (host.writes.empty()) << "values from the host are not sent back";

    const int knobX = 38 + 17, knobY = 55 + 17; // the Mix knob's centre: 35 x 35 at (38, 55)
    mouse (ButtonPress, knobX, knobY);
    for (int step = 1; step <= 6; ++step)
        mouse (MotionNotify, knobX, knobY - 5 * step);
    mouse (ButtonRelease, knobX, knobY - 30);
    ASSERT_TRUE (idleUntil (*idle, [&] { return host.touches.size() >= 2; })) << host.touches.size() << " touches";

    ASSERT_FALSE (host.writes.empty());
    for (const auto& w : host.writes)
        EXPECT_EQ (w.port, mixPort);
    EXPECT_GT (host.writes.front().value, hostMix);
    EXPECT_GT (host.writes.back().value, host.writes.front().value - 1e-6f);
    EXPECT_LE (host.writes.back().value, 100.0f);
    EXPECT_LT (host.writes.front().value, 100.0f);
    EXPECT_EQ (host.touches.front().port, mixPort);
    EXPECT_TRUE (host.touches.front().grabbed);
    EXPECT_EQ (host.touches.back().port, mixPort);
    EXPECT_FALSE (host.touches.back().grabbed);

    // A double-click returns Mix to where a new instance starts: one write inside a touch
    // bracket, of the value in the port's unit, exactly as its text shows it.
    host = {};
    for (int click = 0; click < 2; ++click)
    {
        mouse (ButtonPress, knobX, knobY);
        mouse (ButtonRelease, knobX, knobY);
    }
    ASSERT_TRUE (idleUntil (*idle, [&] { return ! host.writes.empty() && host.order.back() == ')'; })) << host.order;
    ASSERT_EQ (host.writes.size(), 1u);
    EXPECT_EQ (host.writes[0].port, mixPort);
    EXPECT_EQ (host.writes[0].value, 25.0f);
    EXPECT_EQ (host.order.substr (host.order.size() - 3), "(w)");

    descriptor->cleanup (std::exchange (handle, nullptr));
    EXPECT_TRUE (x11.children().empty());
}

// ui:resize both ways. A drag of the editor's corner reaches the host at its next idle; a host
// that resizes our window through the UI's own ui:resize has the size snapped to the editor's
// shape and range, and is told the snapped size.
TEST_F (Lv2Ui, ResizesByTheCornerAndByTheHostThroughUiResize)
{
    handle = instantiate (true);
    ASSERT_NE (handle, nullptr);
    const auto* idle = static_cast<const LV2UI_Idle_Interface*> (descriptor->extension_data (LV2_UI__idleInterface));
    const auto* resize = static_cast<const LV2UI_Resize*> (descriptor->extension_data (LV2_UI__resize));
    ASSERT_NE (idle, nullptr);
    ASSERT_NE (resize, nullptr);
    const auto window = static_cast<Window> (reinterpret_cast<uintptr_t> (widget));
    const auto windowSize = [&] {
        XWindowAttributes attributes {};
        XGetWindowAttributes (x11.display, window, &attributes);
        return std::make_pair (attributes.width, attributes.height);
    };
    EXPECT_EQ (std::make_pair (host.width, host.height), std::make_pair (453, 200));

    mouse (ButtonPress, 447, 194);
    for (int step = 1; step <= 4; ++step)
        mouse (MotionNotify, 447 + 113 * step + (step == 4 ? 1 : 0), 194 + 50 * step);
    mouse (ButtonRelease, 900, 394);
    EXPECT_TRUE (idleUntil (*idle, [&] { return host.width == 906; })) << host.width;
    EXPECT_EQ (host.height, 400);
    EXPECT_EQ (windowSize(), std::make_pair (906, 400));

    for (const auto& [w, h, ew, eh] : { std::tuple { 680, 301, 680, 301 },
                                        { 1000, 400, 1000, 442 },
                                        { 5000, 5000, 1359, 600 },
                                        { 10, 10, 453, 200 } })
    {
        host = {};
        EXPECT_EQ (resize->ui_resize (handle, w, h), 0);
        EXPECT_EQ (windowSize(), std::make_pair (ew, eh)) << w << " x " << h;
        // Told only when the size it took is not the one asked for.
        EXPECT_EQ (std::make_pair (host.width, host.height),
                   w == ew && h == eh ? std::make_pair (0, 0) : std::make_pair (ew, eh));
    }
    EXPECT_NE (resize->ui_resize (handle, 0, 200), 0);
}

namespace
{
// The harshest host (see X11HostWindow::openBare): any X error ends this process.
class Lv2UiOnABareXServer : public Lv2Ui
{
protected:
    Lv2UiOnABareXServer() { bareServer = true; }
};
} // namespace

TEST_F (Lv2UiOnABareXServer, CausesNoXErrorInAnyOrderOfCalls)
{
    const auto* idle = static_cast<const LV2UI_Idle_Interface*> (descriptor->extension_data (LV2_UI__idleInterface));
    ASSERT_NE (idle, nullptr);
    for (int round = 0; round < 50; ++round)
    {
        handle = instantiate (true);
        ASSERT_NE (handle, nullptr) << round;
        const float mix = float (round % 10) * 10.0f; // a changed value to draw
        descriptor->port_event (handle, lv2::portOf (params::mix), sizeof (float), 0, &mix);
        idleUntil (*idle, [n = 0]() mutable { return ++n > 3; });
        descriptor->cleanup (std::exchange (handle, nullptr));
    }

    // Two UIs at once in the same window.
    handle = instantiate (true);
    LV2UI_Handle second = instantiate (true);
    ASSERT_NE (handle, nullptr);
    ASSERT_NE (second, nullptr);
    EXPECT_EQ (x11.children().size(), 2u);
    descriptor->cleanup (second);

    // Parents that are no window a UI can live in fail cleanly.
    const Window inputOnly =
        XCreateWindow (x11.display, x11.window, 0, 0, 10, 10, 0, 0, InputOnly, CopyFromParent, 0, nullptr);
    XSync (x11.display, False);
    for (const Window bogus : { x11.unusableWindow(), inputOnly, Window (0xffffffffu) })
        EXPECT_EQ (instantiate (true, bogus), nullptr) << bogus;
    XDestroyWindow (x11.display, inputOnly);
    EXPECT_EQ (x11.children().size(), 1u);
}

namespace
{
// A plain X11 host on a desktop at 200 % (its own Xvfb and XSETTINGS daemon).
class Lv2UiOnADesktopAt200 : public Lv2Ui
{
protected:
    void SetUp() override
    {
        if (! desktop.useAsDisplay())
            GTEST_SKIP() << "Xvfb with xsettingsd could not be started";
        Lv2Ui::SetUp();
    }

    ScaledDesktop desktop { 2 };
};
} // namespace

// Such a host counts in device pixels: it is told the editor's device size, which the window
// keeps while the host idles. Only a GTK 3 host is told its own, logical, pixels.
TEST_F (Lv2UiOnADesktopAt200, APlainX11HostIsToldAndGivenTheDeviceSize)
{
    handle = instantiate (true);
    ASSERT_NE (handle, nullptr);
    const auto* idle = static_cast<const LV2UI_Idle_Interface*> (descriptor->extension_data (LV2_UI__idleInterface));
    ASSERT_NE (idle, nullptr);
    idleUntil (*idle, [n = 0]() mutable { return ++n > 10; });
    // Our window and what the host was told by ui:resize.
    const auto expectSize = [this] (int width, int height) {
        XWindowAttributes attributes {};
        XGetWindowAttributes (x11.display, static_cast<Window> (reinterpret_cast<uintptr_t> (widget)), &attributes);
        EXPECT_EQ (std::make_pair (attributes.width, attributes.height), std::make_pair (width, height));
        EXPECT_EQ (std::make_pair (host.width, host.height), std::make_pair (width, height));
    };
    expectSize (906, 400);

    // A host that passes its scale is followed rather than the desktop.
    descriptor->cleanup (std::exchange (handle, nullptr));
    handle = instantiate (true, 0, 1.5f);
    ASSERT_NE (handle, nullptr);
    expectSize (680, 300);
}

#ifdef TARNWELL_GTK3_HOST_PATH
// In a GTK 3 host (suil's X11-in-GTK3 wrapper, as jalv.gtk3 shows a UI) on a desktop at 100 % and
// at 200 %: GTK's window holds the editor at its device size, scaled once, and the editor fills it.
TEST (Lv2UiInAGtk3Host, FillsTheHostsWindowAtItsDeviceSizeAtEachScale)
{
    for (const int scale : { 1, 2 })
    {
        ScaledDesktop desktop { scale };
        if (! desktop.isRunning())
            GTEST_SKIP() << "Xvfb with xsettingsd could not be started";
        const auto log = ::testing::TempDir() + "tarnwell-gtk3-host-" + std::to_string (getpid()) + ".log";
        ChildProcess host ({ TARNWELL_GTK3_HOST_PATH, "https://quennet.audio/plugins/tarnwell" },
                           { "DISPLAY=" + desktop.display(), "GDK_BACKEND=x11", "NO_AT_BRIDGE=1",
                             "GSETTINGS_BACKEND=memory" },
                           log);
        const auto status = host.waitForExit (std::chrono::seconds (20));
        const auto output = host.log();
        std::remove (log.c_str());
        ASSERT_TRUE (status.has_value() && WIFEXITED (*status) && WEXITSTATUS (*status) == 0) << output;

        const auto size = std::to_string (453 * scale) + "x" + std::to_string (200 * scale);
        EXPECT_NE (output.find ("window " + size + " ui " + size + " at 0,0\n"), std::string::npos)
            << "at scale " << scale << ": " << output;
    }
}
#endif

// What the UI's editor shows for any port value the host sends: the value and the text the
// plug-in's own instance reports for that port value, range ends, beyond and no number included.
TEST (Lv2UiModel, ShowsWhatTheInstanceReportsForAnyPortValue)
{
    tarnwell::lv2::Lv2UiModel model;
    const auto instance = std::make_unique<tarnwell::InstanceCore>(); // large: its network's rings
    const auto core = instance->controls();
    std::minstd_rand random (26);
    for (int index = 0; index < params::count; ++index)
    {
        EXPECT_EQ (model.value (index), core.parameter (index)) << "a new UI starts where a new instance does";
        EXPECT_EQ (model.text (index), core.parameterText (index));
        const float low = lv2::portValueOf (index, 0.0f), high = lv2::portValueOf (index, 1.0f);
        std::uniform_real_distribution<float> inRange (low, high);
        for (const float port :
             { low, high, 2.0f * high, low - 1.0f, inRange (random), inRange (random), std::nanf ("") })
        {
            const float normalised = lv2::normalisedOfPort (index, port);
            model.show (index, normalised);
            core.setParameter (index, normalised);
            EXPECT_EQ (model.value (index), core.parameter (index)) << index << " at " << port;
            EXPECT_EQ (model.text (index), core.parameterText (index)) << index << " at " << port;
        }
    }
}
