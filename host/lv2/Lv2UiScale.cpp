#include "host/lv2/Lv2UiScale.h"

#include "host/editor_hosting/XcbConnection.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace tarnwell::lv2
{
namespace
{
// A library opened for a while.
struct Library
{
    void* const handle;
    ~Library()
    {
        if (handle != nullptr)
            dlclose (handle);
    }
    template <typename Function>
    Function get (const char* name) const
    {
        return handle != nullptr ? reinterpret_cast<Function> (dlsym (handle, name)) : nullptr;
    }
};
} // namespace

float hostScaleFactor (const LV2_Feature* const* features)
{
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    for (auto f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, LV2_URID__map) == 0)
            map = static_cast<const LV2_URID_Map*> ((*f)->data);
        else if (std::strcmp ((*f)->URI, LV2_OPTIONS__options) == 0)
            options = static_cast<const LV2_Options_Option*> ((*f)->data);
    if (map == nullptr || options == nullptr)
        return 0.0f;

    const auto key = map->map (map->handle, LV2_UI__scaleFactor);
    const auto floatType = map->map (map->handle, LV2_ATOM__Float);
    for (auto o = options; o->key != 0; ++o)
        if (o->key == key && o->type == floatType && o->size == sizeof (float) && o->value != nullptr)
        {
            float scale;
            std::memcpy (&scale, o->value, sizeof (float));
            return scale;
        }
    return 0.0f;
}

int GtkHostSize::gtkScaleOf (void* parent)
{
    // Only libraries the host has loaded already: none is ever loaded here.
    const Library gdk { dlopen ("libgdk-3.so.0", RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD) };
    const Library gobject { dlopen ("libgobject-2.0.so.0", RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD) };

    using TypeId = unsigned long; // GType
    const auto defaultDisplay = gdk.get<void* (*)()> ("gdk_display_get_default");
    const auto x11DisplayType = gdk.get<TypeId (*)()> ("gdk_x11_display_get_type");
    const auto windowOf = gdk.get<void* (*)(void*, unsigned long)> ("gdk_x11_window_lookup_for_display");
    const auto scaleOf = gdk.get<int (*) (void*)> ("gdk_window_get_scale_factor");
    const auto isA = gobject.get<int (*) (void*, TypeId)> ("g_type_check_instance_is_a");
    if (defaultDisplay == nullptr || x11DisplayType == nullptr || windowOf == nullptr || scaleOf == nullptr
        || isA == nullptr)
        return 1;

    // GDK on Wayland has no X windows to look up.
    void* display = defaultDisplay();
    if (display == nullptr || isA (display, x11DisplayType()) == 0)
        return 1;
    void* window = windowOf (display, static_cast<unsigned long> (reinterpret_cast<std::uintptr_t> (parent)));
    const int scale = window != nullptr ? scaleOf (window) : 1;
    return scale > 1 ? scale : 1;
}

std::unique_ptr<GtkHostSize> GtkHostSize::start (void* window, int width, int height, int gtkScale)
{
    const auto* xcb = Xcb::get();
    if (xcb == nullptr || gtkScale <= 1 || width <= 0 || height <= 0)
        return nullptr;
    auto x = std::make_unique<Connection> (*xcb);
    if (! x->isOpen())
        return nullptr;

    // The editor's window comes over another connection: wait (a second at most) until the
    // server has it at its size, so that the logical size below comes after that.
    const auto id = static_cast<xcb_window_t> (reinterpret_cast<std::uintptr_t> (window));
    for (int i = 0; i < 100 && x->size (id) != std::make_pair (width, height); ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));

    std::unique_ptr<GtkHostSize> keeper (new GtkHostSize (std::move (x), id, width, height, gtkScale));
    keeper->x->watchResizes (id);
    const auto logical = keeper->hostSize();
    keeper->x->resize (id, logical.first, logical.second);
    keeper->x->size (id); // a round trip: the server has the logical size before the host looks
    return keeper;
}

GtkHostSize::GtkHostSize (std::unique_ptr<Connection> connection, unsigned w, int deviceWidth, int deviceHeight,
                          int scale)
    : x (std::move (connection)), window (w), width (deviceWidth), height (deviceHeight), gtkScale (scale)
{}

GtkHostSize::~GtkHostSize() = default;

std::pair<int, int> GtkHostSize::hostSize() const
{
    return { (width + gtkScale - 1) / gtkScale, (height + gtkScale - 1) / gtkScale };
}

void GtkHostSize::setDeviceSize (int deviceWidth, int deviceHeight)
{
    if (deviceWidth == width && deviceHeight == height)
        return;
    width = deviceWidth;
    height = deviceHeight;
    // The host resizes our window to the logical size it is told; the next idle puts it back.
    atDeviceSize = false;
}

void GtkHostSize::idle (const std::function<std::pair<int, int>()>& deviceSize)
{
    const bool resized = x->resizedSinceLastAsked();
    if (atDeviceSize && ! resized)
        return;
    atDeviceSize = true;
    const auto wanted = deviceSize();
    if (wanted.first > 0 && wanted.second > 0 && x->size (window) != wanted)
        x->resize (window, wanted.first, wanted.second);
}
} // namespace tarnwell::lv2
