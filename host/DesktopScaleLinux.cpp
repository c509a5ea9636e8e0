#include "host/DesktopScale.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell
{
namespace
{
    // The integer settings of an XSETTINGS property (freedesktop.org's XSETTINGS format): a
    // byte-order byte and three spare, serial and count, then per setting its type, name, serial
    // and value.
    class SettingsReader
    {
    public:
        SettingsReader (const unsigned char* d, std::size_t n) : data (d), size (n) {}

        std::optional<std::int32_t> integer (std::string_view wanted) const
        {
            std::size_t at = 12;
            const auto count = card32 (8);
            for (std::uint32_t i = 0; count && i < *count; ++i)
            {
                const auto type = byte (at);
                const auto nameLength = card16 (at + 2);
                if (! type || ! nameLength)
                    return std::nullopt;
                const std::size_t nameAt = at + 4;
                const std::size_t valueAt = nameAt + padded (*nameLength) + 4; // after the setting's serial
                if (valueAt > size)
                    return std::nullopt;
                const std::string_view name (reinterpret_cast<const char*> (data + nameAt), *nameLength);

                std::size_t valueSize = 0;
                switch (*type)
                {
                    case 0: valueSize = 4; break; // integer
                    case 1:                       // string
                        if (const auto length = card32 (valueAt))
                            valueSize = 4 + padded (*length);
                        else
                            return std::nullopt;
                        break;
                    case 2: valueSize = 8; break; // colour
                    default: return std::nullopt;
                }
                if (*type == 0 && name == wanted)
                    if (const auto value = card32 (valueAt))
                        return static_cast<std::int32_t> (*value);
                at = valueAt + valueSize;
            }
            return std::nullopt;
        }

    private:
        static std::size_t padded (std::size_t n) { return (n + 3) & ~std::size_t (3); }
        bool msbFirst() const { return size > 0 && data[0] == 1; } // X's MSBFirst

        std::optional<std::uint8_t> byte (std::size_t at) const
        {
            return at < size ? std::optional<std::uint8_t> (data[at]) : std::nullopt;
        }

        std::optional<std::uint32_t> card (std::size_t at, int bytes) const
        {
            if (at + static_cast<std::size_t> (bytes) > size)
                return std::nullopt;
            std::uint32_t v = 0;
            for (int i = 0; i < bytes; ++i)
                v |= static_cast<std::uint32_t> (data[at + static_cast<std::size_t> (msbFirst() ? bytes - 1 - i : i)]) << (8 * i);
            return v;
        }

        std::optional<std::uint32_t> card16 (std::size_t at) const { return card (at, 2); }
        std::optional<std::uint32_t> card32 (std::size_t at) const { return card (at, 4); }

        const unsigned char* data;
        std::size_t size;
    };

    float scaleFrom (const SettingsReader& settings)
    {
        if (const auto factor = settings.integer ("Gdk/WindowScalingFactor"); factor && *factor > 0)
            return static_cast<float> (*factor);

        // In 1024ths of a dot per inch, over the 96 of 100 %; to the nearest quarter, so a desktop
        // a few dots off 96 keeps the pixel-exact 100 %.
        if (const auto dpi = settings.integer ("Xft/DPI"); dpi && *dpi > 0)
            return std::max (1.0f, std::round (static_cast<float> (*dpi) / 1024.0f / 96.0f * 4.0f) / 4.0f);

        return 0.0f;
    }
} // namespace

float desktopScale()
{
    // A connection of our own through xcb, whose errors come back to the caller: the process's
    // Xlib error handler is the host's.
    int screen = 0;
    xcb_connection_t* connection = xcb_connect (nullptr, &screen);
    const auto atom = [connection] (const std::string& name)
    {
        auto* reply = xcb_intern_atom_reply (connection, xcb_intern_atom (connection, 1, static_cast<std::uint16_t> (name.size()), name.c_str()),
                                             nullptr);
        const xcb_atom_t found = reply != nullptr ? reply->atom : static_cast<xcb_atom_t> (XCB_ATOM_NONE);
        std::free (reply);
        return found;
    };

    float scale = 0.0f;
    if (xcb_connection_has_error (connection) == 0)
    {
        const auto selection = atom ("_XSETTINGS_S" + std::to_string (screen));
        auto* owner = selection != XCB_ATOM_NONE
                          ? xcb_get_selection_owner_reply (connection, xcb_get_selection_owner (connection, selection), nullptr)
                          : nullptr;
        if (owner != nullptr && owner->owner != XCB_NONE)
        {
            auto* property = xcb_get_property_reply (connection,
                                                     xcb_get_property (connection, 0, owner->owner, atom ("_XSETTINGS_SETTINGS"),
                                                                       XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
                                                     nullptr);
            if (property != nullptr && property->format == 8)
                scale = scaleFrom (SettingsReader (static_cast<const unsigned char*> (xcb_get_property_value (property)),
                                                   static_cast<std::size_t> (xcb_get_property_value_length (property))));
            std::free (property);
        }
        std::free (owner);
    }
    xcb_disconnect (connection);
    return scale;
}
} // namespace tarnwell
