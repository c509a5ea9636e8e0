#include "host/editor_hosting/DesktopScaleSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace tarnwell
{
namespace
{
// The integer settings of an XSETTINGS property: a byte-order byte and three spare, serial
// and count, then per setting its type, name, serial and value, each name and string padded
// to a multiple of four bytes.
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
                case 0:
                    valueSize = 4;
                    break; // integer
                case 1: // string
                    if (const auto length = card32 (valueAt))
                        valueSize = 4 + padded (*length);
                    else
                        return std::nullopt;
                    break;
                case 2:
                    valueSize = 8;
                    break; // colour
                default:
                    return std::nullopt;
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
            v |= static_cast<std::uint32_t> (data[at + static_cast<std::size_t> (msbFirst() ? bytes - 1 - i : i)])
                << (8 * i);
        return v;
    }

    std::optional<std::uint32_t> card16 (std::size_t at) const { return card (at, 2); }
    std::optional<std::uint32_t> card32 (std::size_t at) const { return card (at, 4); }

    const unsigned char* data;
    std::size_t size;
};

// Dots per inch over the 96 of 100 %, to the nearest quarter, so that a desktop a few dots
// off 96 keeps the pixel-exact 100 %.
float scaleForDpi (double dpi)
{
    return dpi > 0.0 ? std::max (1.0f, static_cast<float> (std::round (dpi / 96.0 * 4.0) / 4.0)) : 0.0f;
}
} // namespace

float scaleFromXSettings (const unsigned char* property, std::size_t size)
{
    const SettingsReader settings (property, size);
    if (const auto factor = settings.integer ("Gdk/WindowScalingFactor"); factor && *factor > 0)
        return static_cast<float> (*factor);
    if (const auto dpi = settings.integer ("Xft/DPI"); dpi && *dpi > 0)
        return scaleForDpi (*dpi / 1024.0); // in 1024ths
    return 0.0f;
}

float scaleFromResources (std::string_view resources)
{
    constexpr std::string_view key = "Xft.dpi:";
    for (std::size_t line = 0; line < resources.size();)
    {
        if (resources.compare (line, key.size(), key) == 0)
        {
            // strtod needs its text to end: the rest of the line, copied.
            const auto end = resources.find ('\n', line);
            const std::string value (
                resources.substr (line + key.size(), end == std::string_view::npos ? end : end - line - key.size()));
            return scaleForDpi (std::strtod (value.c_str(), nullptr));
        }
        const auto end = resources.find ('\n', line);
        if (end == std::string_view::npos)
            break;
        line = end + 1;
    }
    return 0.0f;
}
} // namespace tarnwell
