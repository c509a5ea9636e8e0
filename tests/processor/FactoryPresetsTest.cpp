// The preset table: what every format's preset files are made from.

#include "processor/PresetSettings.h"
#include "host/juce_formats/TarnwellAudioProcessor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>
#include <vector>
#include <set>

namespace params = tarnwell::parameters;
namespace presets = tarnwell::factoryPresets;

// Each preset restores as a saved block would and is saved back unchanged, its names are
// unique (file names, URIs and menu items), and each setting shows a round value: a float typed
// a digit off shows as 0.51 sec or 2999.98 Hz.
TEST (FactoryPresets, RoundValuesUniqueNamesAndBlocksThatRestoreAsSaved)
{
    ASSERT_GE (presets::count(), 12);
    ASSERT_LE (presets::count(), 16);
    EXPECT_EQ (presets::at (-1), nullptr);
    EXPECT_EQ (presets::at (presets::count()), nullptr);

    std::set<std::string> names, slugs;
    for (int i = 0; i < presets::count(); ++i)
    {
        const auto& preset = *presets::at (i);
        SCOPED_TRACE (preset.name);
        EXPECT_TRUE (names.insert (juce::String (preset.name).toLowerCase().toStdString()).second);
        EXPECT_TRUE (slugs.insert (presets::slug (preset)).second);
        EXPECT_EQ (presets::find (juce::String (preset.name).toUpperCase()), &preset);
        EXPECT_LT (std::strlen (preset.name), 24u); // a VST 2.4 program name's room

        for (int p = 0; p < params::count; ++p)
        {
            const auto v = preset.normalised[static_cast<size_t> (p)];
            ASSERT_TRUE (v >= 0.0f && v <= 1.0f) << params::name (p);
            const auto text = params::text (p, params::engineValue (p, v));
            const auto number =
                text.upToFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf ("%", false, false);
            const auto hundredths = juce::roundToInt (number.getDoubleValue() * 100.0);
            // 100 Hz; 5 %; 0.05 s.
            const int step = p == params::transition ? 10000 : p == params::mix || p == params::diffusion ? 500 : 5;
            EXPECT_EQ (hundredths % step, 0) << params::name (p) << " shows " << text;
        }

        const auto block = tarnwell::presetSettings (preset);
        tarnwell::TarnwellAudioProcessor processor;
        processor.setStateInformation (block.getData(), static_cast<int> (block.getSize()));
        for (int p = 0; p < params::count; ++p)
            EXPECT_EQ (processor.getParameters()[p]->getValue(), preset.normalised[static_cast<size_t> (p)])
                << params::name (p);
        juce::MemoryBlock saved;
        processor.getStateInformation (saved);
        EXPECT_EQ (saved, block);
    }
    EXPECT_EQ (presets::find ("no such preset"), nullptr);
}

// What each preset shows, written out here rather than taken from the preset table: a value
// typed wrongly there would otherwise agree with itself.
TEST (FactoryPresets, EachShowsItsFiveTexts)
{
    const std::vector<std::pair<const char*, std::array<const char*, 5>>> shown {
        { "Close Ambience", { "0.30 sec", "0.20 sec", "4000.00 Hz", "15.00%", "70.00%" } },
        { "Small Room", { "0.50 sec", "0.30 sec", "3000.00 Hz", "20.00%", "70.00%" } },
        { "Bright Room", { "0.70 sec", "0.70 sec", "8000.00 Hz", "20.00%", "80.00%" } },
        { "Drum Room", { "0.80 sec", "0.50 sec", "2500.00 Hz", "25.00%", "60.00%" } },
        { "Wood Studio", { "1.00 sec", "0.45 sec", "1200.00 Hz", "25.00%", "75.00%" } },
        { "Chamber", { "1.40 sec", "0.90 sec", "2000.00 Hz", "30.00%", "85.00%" } },
        { "Bright Plate", { "1.80 sec", "1.50 sec", "5000.00 Hz", "30.00%", "100.00%" } },
        { "Concert Hall", { "2.20 sec", "1.40 sec", "1500.00 Hz", "30.00%", "85.00%" } },
        { "Stone Corridor", { "2.50 sec", "2.00 sec", "6000.00 Hz", "30.00%", "30.00%" } },
        { "Dark Hall", { "3.00 sec", "0.80 sec", "800.00 Hz", "30.00%", "90.00%" } },
        { "Church", { "4.00 sec", "2.00 sec", "1000.00 Hz", "35.00%", "90.00%" } },
        { "Dark Cave", { "6.00 sec", "0.40 sec", "200.00 Hz", "40.00%", "80.00%" } },
        { "Cathedral", { "7.00 sec", "3.00 sec", "800.00 Hz", "40.00%", "100.00%" } },
        { "Endless Wash", { "10.00 sec", "6.00 sec", "2000.00 Hz", "50.00%", "100.00%" } },
        { "Sparse Echoes", { "1.50 sec", "1.20 sec", "4000.00 Hz", "40.00%", "0.00%" } },
    };
    ASSERT_EQ (presets::count(), static_cast<int> (shown.size()));
    for (int i = 0; i < presets::count(); ++i)
    {
        const auto& [name, texts] = shown[static_cast<size_t> (i)];
        const auto& preset = *presets::at (i);
        EXPECT_STREQ (preset.name, name);
        for (int p = 0; p < params::count; ++p)
            EXPECT_EQ (params::text (p, params::engineValue (p, preset.normalised[static_cast<size_t> (p)])),
                       texts[static_cast<size_t> (p)])
                << name << " " << params::name (p);
    }
}
