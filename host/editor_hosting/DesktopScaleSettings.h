#pragma once

#include <cstddef>
#include <string_view>

namespace tarnwell
{
// The desktop's scale as its settings announce it, read from the bytes a desktop publishes;
// 0 where they announce none. Pure parsing: the X side is in XSettingsWatch.

// An XSETTINGS property (the _XSETTINGS_SETTINGS bytes of the settings owner's window, in
// freedesktop.org's XSETTINGS format): Gdk/WindowScalingFactor, else Xft/DPI over 96.
float scaleFromXSettings (const unsigned char* property, std::size_t size);

// The root window's X resources, as xrdb sets them: the line "Xft.dpi: 192", over 96.
float scaleFromResources (std::string_view resources);
} // namespace tarnwell
