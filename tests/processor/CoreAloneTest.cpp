// The core linked alone, with JUCE's modules that have no GUI (tarnwell_juce_base): it renders,
// saves and restores, and the process it runs in has loaded no display or font library. Its
// CMake file also checks that no GUI code of JUCE's was linked in.

#include "processor/InstanceCore.h"

#include <gtest/gtest.h>

#include <link.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace
{
TEST (CoreAlone, RendersSavesAndRestores)
{
    tarnwell::InstanceCore core;
    core.controls().setParameter (0, 0.3f);
    core.session().prepare (48000.0);

    constexpr int frames = 512;
    std::array<std::vector<float>, 2> audio { std::vector<float> (frames), std::vector<float> (frames) };
    double rightEnergy = 0.0;
    for (int block = 0; block < 94; ++block)
    {
        std::fill (audio[0].begin(), audio[0].end(), 0.0f);
        std::fill (audio[1].begin(), audio[1].end(), 0.0f);
        audio[0][0] = block == 0 ? 1.0f : 0.0f;
        float* channels[] { audio[0].data(), audio[1].data() };
        core.audio().process (channels, 2, channels, 2, frames);
        for (float s : audio[1])
            rightEnergy += static_cast<double> (s) * static_cast<double> (s);
    }
    EXPECT_TRUE (std::isfinite (rightEnergy));
    EXPECT_GT (rightEnergy, 1.0e-6);

    juce::MemoryBlock saved;
    core.session().save (saved);
    tarnwell::InstanceCore restored;
    ASSERT_TRUE (restored.session().restore (saved.getData(), static_cast<int> (saved.getSize())));
    juce::MemoryBlock again;
    restored.session().save (again);
    EXPECT_EQ (saved, again);
    EXPECT_EQ (restored.controls().parameterText (0), core.controls().parameterText (0));
}

int collectName (dl_phdr_info* info, size_t, void* names)
{
    static_cast<std::vector<std::string>*> (names)->emplace_back (info->dlpi_name != nullptr ? info->dlpi_name : "");
    return 0;
}

TEST (CoreAlone, LoadsNoDisplayOrFontLibrary)
{
    std::vector<std::string> loaded;
    dl_iterate_phdr (&collectName, &loaded);
    ASSERT_FALSE (loaded.empty());
    for (const auto& name : loaded)
        for (const char* gui : { "libX11", "libxcb", "libXext", "libfreetype", "libfontconfig", "libGL", "libpng" })
            EXPECT_EQ (name.find (gui), std::string::npos) << name;
}
} // namespace
