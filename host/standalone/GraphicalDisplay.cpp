#include "host/standalone/GraphicalDisplay.h"

#include "host/editor_hosting/XcbConnection.h"

#include <cstdlib>

namespace tarnwell::standalone
{
std::string whyNoGraphicalDisplay()
{
    const char* const display = std::getenv ("DISPLAY");
    if (display == nullptr || *display == 0)
        return "Tarnwell needs a graphical display, and DISPLAY is not set";

    const auto* xcb = Xcb::get();
    if (xcb == nullptr)
        return "Tarnwell needs a graphical display, and libxcb cannot be loaded";
    if (! Connection (*xcb).isOpen())
        return std::string ("Tarnwell needs a graphical display, and no X server answers at DISPLAY=") + display;
    return {};
}
} // namespace tarnwell::standalone
