#include "host/editor_hosting/ParentWindow.h"
#include "host/editor_hosting/XcbConnection.h"

#include <cstdint>
#include <cstdlib>

namespace tarnwell
{
bool isUsableParentWindow (void* window)
{
    const char* display = std::getenv ("DISPLAY");
    if (window == nullptr || display == nullptr || *display == '\0')
        return false;

    // A connection of our own, whose errors come back here rather than to the host's handler.
    const auto* xcb = Xcb::get();
    if (xcb == nullptr)
        return false;
    const Connection x (*xcb);
    const auto id = reinterpret_cast<std::uintptr_t> (window);
    return x.isOpen() && id <= UINT32_MAX && x.canParent (static_cast<xcb_window_t> (id));
}
} // namespace tarnwell
