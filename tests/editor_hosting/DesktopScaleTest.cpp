// The desktop's scale as the plug-in's editors and the standalone app follow it: the readers of
// what desktops publish, and the watch that learns of changes from the X server's own news.
// The watch's tests start an X server and an XSETTINGS daemon of their own.

#include "host/editor_hosting/DesktopScaleSettings.h"
#include "host/editor_hosting/XSettingsWatch.h"
#include "tests/support/ScaledDesktop.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using tarnwell::scaleFromResources;
using tarnwell::scaleFromXSettings;
using tarnwell::test::ScaledDesktop;

namespace
{
// An XSETTINGS property as a settings daemon writes it, in either byte order.
class XSettingsBytes
{
public:
    explicit XSettingsBytes (bool msbFirst) : msb (msbFirst)
    {
        bytes = { static_cast<unsigned char> (msb ? 1 : 0), 0, 0, 0 };
        card (7, 4); // serial
        card (0, 4); // count, set as settings are added
    }

    XSettingsBytes& integer (const std::string& name, std::uint32_t value)
    {
        return add (0, name, [&] { card (value, 4); });
    }
    XSettingsBytes& string (const std::string& name, const std::string& value)
    {
        return add (1, name, [&] {
            card (static_cast<std::uint32_t> (value.size()), 4);
            text (value);
        });
    }
    XSettingsBytes& colour (const std::string& name)
    {
        return add (2, name, [&] {
            for (int channel = 0; channel < 4; ++channel)
                card (0xffff, 2);
        });
    }

    // Exactly as long as the property, so reading past its end is reading past the buffer.
    std::vector<unsigned char> property() const { return bytes; }

private:
    template <typename Value>
    XSettingsBytes& add (unsigned char type, const std::string& name, Value value)
    {
        bytes.insert (bytes.end(), { type, 0 });
        card (static_cast<std::uint32_t> (name.size()), 2);
        text (name);
        card (1, 4); // the setting's serial
        value();
        ++count;
        for (int i = 0; i < 4; ++i)
            bytes[8 + static_cast<std::size_t> (i)] = static_cast<unsigned char> (count >> (8 * (msb ? 3 - i : i)));
        return *this;
    }

    void card (std::uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            bytes.push_back (static_cast<unsigned char> (value >> (8 * (msb ? size - 1 - i : i))));
    }

    // Padded with zeros to a multiple of four bytes.
    void text (const std::string& s)
    {
        bytes.insert (bytes.end(), s.begin(), s.end());
        bytes.resize (bytes.size() + (4 - s.size() % 4) % 4, 0);
    }

    bool msb;
    std::uint32_t count = 0;
    std::vector<unsigned char> bytes;
};

float scaleOf (const std::vector<unsigned char>& property)
{
    return scaleFromXSettings (property.data(), property.size());
}

constexpr std::uint32_t dpi144 = 144 * 1024, dpi192 = 192 * 1024; // Xft/DPI counts 1024ths
} // namespace

// Whatever comes before the scale's settings (any name length, a multiple of four included, so
// no padding is added where none is due; strings of any length; colours), in either byte order,
// the scale is found: the window scaling factor first, else the font resolution over 96 dpi.
TEST (XSettingsReader, FindsTheScaleBehindSettingsOfAnyLengthTypeAndByteOrder)
{
    for (const bool msb : { false, true })
        for (std::size_t nameLength = 1; nameLength <= 17; ++nameLength)
            for (int kind = 0; kind < 3; ++kind)
            {
                SCOPED_TRACE (testing::Message()
                              << "msb " << msb << ", name length " << nameLength << ", kind " << kind);
                const std::string name (nameLength, 'n');
                XSettingsBytes settings (msb);
                if (kind == 0)
                    settings.integer (name, 7);
                else if (kind == 1)
                    settings.string (name, std::string (nameLength % 5, 'v'));
                else
                    settings.colour (name);
                EXPECT_EQ (scaleOf (XSettingsBytes (settings).integer ("Xft/DPI", dpi144).property()), 1.5f);
                EXPECT_EQ (scaleOf (
                               settings.integer ("Xft/DPI", dpi144).integer ("Gdk/WindowScalingFactor", 2).property()),
                           2.0f);
            }

    // A few dots off 96 stay at the pixel-exact 100 %; a setting of the right name but not an
    // integer, or none, is no scale.
    EXPECT_EQ (scaleOf (XSettingsBytes (false).integer ("Xft/DPI", 100 * 1024).property()), 1.0f);
    EXPECT_EQ (scaleOf (XSettingsBytes (false).string ("Xft/DPI", "192").property()), 0.0f);
    EXPECT_EQ (scaleOf (XSettingsBytes (true).integer ("Gtk/FontName", dpi192).property()), 0.0f);
}

// A property cut anywhere is read no further than its end (the sanitizer builds see any byte
// beyond it) and gives either no scale or the one it holds.
TEST (XSettingsReader, APropertyCutAnywhereIsReadNoFurtherThanItsEnd)
{
    const auto whole = XSettingsBytes (false)
                           .string ("Net/ThemeName", "Adwaita")
                           .colour ("Gtk/Color")
                           .integer ("Xft/DPI", dpi192)
                           .property();
    ASSERT_EQ (scaleOf (whole), 2.0f);
    for (std::size_t size = 0; size < whole.size(); ++size)
    {
        const std::vector<unsigned char> cut (whole.begin(), whole.begin() + static_cast<std::ptrdiff_t> (size));
        EXPECT_EQ (scaleOf (cut), 0.0f) << size;
    }
}

TEST (XResources, XftDpiOnAnyLineIsTheScale)
{
    EXPECT_EQ (scaleFromResources ("Xft.dpi:\t192\n"), 2.0f);
    EXPECT_EQ (scaleFromResources ("Xcursor.size:\t24\nXft.dpi: 144"), 1.5f);
    EXPECT_EQ (scaleFromResources ("Xcursor.size:\t24\nXft.antialias:\t1\n"), 0.0f);
    EXPECT_EQ (scaleFromResources ("Xft.dpi:\t90\n"), 1.0f) << "never below 100 %";
}

namespace
{
// Waits for the server's news on the watch's descriptor (up to 10 s) and takes it in, until
// the watch shows the scale expected; the scale it shows then. The watch learns of a change
// only here, when its descriptor woke: nothing else asks the server.
float scaleOnceItIs (tarnwell::XSettingsWatch& watch, float expected)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (10);
    while (watch.scale() != expected && std::chrono::steady_clock::now() < deadline)
    {
        pollfd news { watch.fileDescriptor(), POLLIN, 0 };
        if (poll (&news, 1, 100) == 1)
            watch.handleNews();
    }
    return watch.scale();
}

// Whether the watch's descriptor stays quiet for a while: nothing wakes it while nothing changes.
bool staysQuiet (const tarnwell::XSettingsWatch& watch)
{
    pollfd news { watch.fileDescriptor(), POLLIN, 0 };
    return poll (&news, 1, 300) == 0;
}

class XSettingsWatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! desktop.useAsDisplay() || tarnwell::Xcb::get() == nullptr)
            GTEST_SKIP() << "Xvfb with xsettingsd could not be started";
    }

    ScaledDesktop desktop { 2 };
};
} // namespace

// A desktop that changes its font resolution alone (as some do for a new scale) is followed as
// the server tells of it, and between changes the watch's connection stays quiet.
TEST_F (XSettingsWatchTest, FollowsTheDesktopsXftDpiAsItChangesAndIsQuietBetween)
{
    tarnwell::XSettingsWatch watch (*tarnwell::Xcb::get());
    ASSERT_GE (watch.fileDescriptor(), 0);
    EXPECT_EQ (watch.scale(), 2.0f);
    EXPECT_TRUE (staysQuiet (watch));

    desktop.announce ("Net/ThemeName \"Adwaita\"\nXft/DPI " + std::to_string (dpi144) + "\n");
    EXPECT_EQ (scaleOnceItIs (watch, 1.5f), 1.5f);
    EXPECT_FALSE (watch.handleNews()) << "nothing more to take in";
    EXPECT_TRUE (staysQuiet (watch));

    desktop.announce ("Net/ThemeName \"Adwaita\"\nXft/DPI " + std::to_string (dpi192) + "\n");
    EXPECT_EQ (scaleOnceItIs (watch, 2.0f), 2.0f);
}

// The settings daemon quits (its owner window goes) and another takes over: the watch finds the
// new owner and its scale; in between, the X resources speak.
TEST_F (XSettingsWatchTest, FindsTheNextSettingsDaemonWhenOneQuits)
{
    tarnwell::XSettingsWatch watch (*tarnwell::Xcb::get());
    ASSERT_EQ (watch.scale(), 2.0f);

    desktop.stopSettingsDaemon();
    EXPECT_EQ (scaleOnceItIs (watch, 0.0f), 0.0f) << "no settings, no resources";

    ASSERT_TRUE (desktop.startSettingsDaemon ("Gdk/WindowScalingFactor 3\n"));
    EXPECT_EQ (scaleOnceItIs (watch, 3.0f), 3.0f);
    EXPECT_TRUE (staysQuiet (watch));
}
