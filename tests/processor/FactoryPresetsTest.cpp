// The preset table: what every format's preset files are made from.

#include "processor/PresetSettings.h"
#include "processor/TarnwellAudioProcessor.h"

#include <gtest/gtest.h>

#include <cstring>
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
            const auto number = text.upToFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf ("%", false, false);
            const auto hundredths = juce::roundToInt (number.getDoubleValue() * 100.0);
            // 100 Hz; 5 %; 0.05 s.
            const int step = p == params::transition ? 10000 : p == params::mix || p == params::diffusion ? 500 : 5;
            EXPECT_EQ (hundredths % step, 0) << params::name (p) << " shows " << text;
        }

        const auto block = tarnwell::presetSettings (preset);
        tarnwell::TarnwellAudioProcessor processor;
        processor.setStateInformation (block.getData(), static_cast<int> (block.getSize()));
        for (int p = 0; p < params::count; ++p)
            EXPECT_EQ (processor.getParameters()[p]->getValue(), preset.normalised[static_cast<size_t> (p)]) << params::name (p);
        juce::MemoryBlock saved;
        processor.getStateInformation (saved);
        EXPECT_EQ (saved, block);
    }
    EXPECT_EQ (presets::find ("no such preset"), nullptr);
}
