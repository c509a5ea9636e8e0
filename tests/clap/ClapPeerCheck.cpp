// Our CLAP test host against plug-ins built by others with the real CLAP headers (Debian's
// dragonfly-reverb-clap), run inside a Debian tree: every plug-in in each .clap given is made,
// its parameters listed and read, audio processed, and its state saved and restored into a
// new instance that then plays exactly as the saved one. Where our declarations of the ABI
// were wrong, a real plug-in would show it here.
//
//   clap_peer_check PLUGIN.clap ...     (built with: g++ -std=c++17 -Isrc ... -lgtest -ldl -pthread)

#include "tools/clap_host/ClapHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

using namespace tarnwell::clapHost;

namespace
{
std::vector<std::string> pluginFiles;

std::vector<std::vector<float>> noise (std::uint32_t frames)
{
    std::mt19937 random (11);
    std::uniform_real_distribution<float> sample (-0.5f, 0.5f);
    std::vector<std::vector<float>> audio (2, std::vector<float> (frames, 0.0f));
    for (auto& channel : audio)
        for (std::uint32_t n = 0; n < frames / 4; ++n)
            channel[n] = sample (random);
    return audio;
}

// Every parameter's id, read back in range, with a text for its value.
std::vector<clap::Id> listParameters (Instance& instance, const std::string& what)
{
    std::vector<clap::Id> ids;
    const auto count = instance.params->count (instance.plugin);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        clap::ParamInfo info {};
        EXPECT_TRUE (instance.params->getInfo (instance.plugin, i, &info)) << what << " parameter " << i;
        EXPECT_NE (info.name[0], 0) << what;
        EXPECT_LE (info.minValue, info.maxValue) << what << " " << info.name;
        const double value = instance.value (info.id);
        EXPECT_GE (value, info.minValue) << what << " " << info.name;
        EXPECT_LE (value, info.maxValue) << what << " " << info.name;
        char text[256] = {};
        if (instance.params->valueToText (instance.plugin, info.id, value, text, sizeof (text)))
            std::printf ("  %u %s = %g (%s) [%g .. %g]\n", info.id, info.name, value, text, info.minValue,
                         info.maxValue);
        ids.push_back (info.id);
    }
    return ids;
}

// The first parameter with a range, set to 37 % of it as a host automates it: an event at the
// start of a block, here a block of silence.
void changeOne (Instance& instance, std::vector<std::vector<float>> silence)
{
    EventList events;
    clap::ParamInfo info {};
    for (std::uint32_t i = 0; instance.params->getInfo (instance.plugin, i, &info); ++i)
        if (info.maxValue > info.minValue)
        {
            events.add (0, info.id, info.minValue + 0.37 * (info.maxValue - info.minValue));
            break;
        }
    instance.process (silence, 0, static_cast<std::uint32_t> (silence[0].size()), &events, 0, false);
}
} // namespace

TEST (ClapPeers, EnumerateProcessAndRestoreState)
{
    ASSERT_FALSE (pluginFiles.empty()) << "usage: clap_peer_check PLUGIN.clap ...";
    for (const auto& file : pluginFiles)
    {
        Library library (file);
        ASSERT_TRUE (library.isLoaded()) << file;
        const auto count = library.factory->getPluginCount (library.factory);
        EXPECT_GT (count, 0u) << file;
        for (std::uint32_t p = 0; p < count; ++p)
        {
            const auto* d = library.factory->getPluginDescriptor (library.factory, p);
            ASSERT_NE (d, nullptr);
            const std::string what = file + ": " + d->id;
            std::printf ("%s (%s, %s, version %s)\n", what.c_str(), d->name, d->vendor, d->version);

            // A changed setting saved, and restored into a new instance, plays as an instance
            // given the same change.
            Instance saved (library, d->id), restored (library, d->id), changed (library, d->id);
            ASSERT_TRUE (saved.plugin != nullptr && restored.plugin != nullptr && changed.plugin != nullptr) << what;
            ASSERT_TRUE (saved.params != nullptr && saved.state != nullptr) << what;
            const auto ids = listParameters (saved, what);
            EXPECT_FALSE (ids.empty()) << what;
            const std::vector<std::vector<float>> silence (2, std::vector<float> (512, 0.0f));
            ASSERT_TRUE (saved.start (48000, 512)) << what;
            changeOne (saved, silence);
            const auto state = saved.save (1u << 20);
            ASSERT_FALSE (state.empty()) << what;

            ASSERT_TRUE (restored.load (state, 1u << 20)) << what;
            for (const auto id : ids)
                EXPECT_EQ (restored.value (id), saved.value (id)) << what << " parameter " << id;
            ASSERT_TRUE (restored.start (48000, 512)) << what;
            ASSERT_TRUE (changed.start (48000, 512)) << what;
            changeOne (changed, silence);
            auto quiet = silence;
            restored.process (quiet, 0, 512, nullptr, 0, false);

            auto a = noise (48000), b = a;
            for (std::uint32_t start = 0; start < 48000; start += 512)
            {
                const auto frames = std::min<std::uint32_t> (512, 48000 - start);
                EXPECT_NE (changed.process (a, start, frames, nullptr, 0, false), clap::processError) << what;
                EXPECT_NE (restored.process (b, start, frames, nullptr, 0, false), clap::processError) << what;
            }
            double energy = 0;
            for (const auto& channel : a)
                for (const float s : channel)
                {
                    ASSERT_TRUE (std::isfinite (s)) << what;
                    energy += static_cast<double> (s) * s;
                }
            EXPECT_GT (energy, 0.0) << what;
            // Some peers modulate from a random source, so the two may differ a little; a setting
            // the restore lost would differ by far more.
            double difference = 0;
            for (size_t ch = 0; ch < a.size(); ++ch)
                for (size_t n = 0; n < a[ch].size(); ++n)
                    difference += static_cast<double> (a[ch][n] - b[ch][n]) * (a[ch][n] - b[ch][n]);
            std::printf ("  restored against changed: difference %.2e of the output's energy\n", difference / energy);
            EXPECT_LT (difference, 1e-3 * energy) << what << ": the restored instance plays otherwise";
            std::printf ("  processed 1 s at 48 kHz (energy %.3f); state of %zu bytes restored\n", energy,
                         state.size());
        }
    }
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    pluginFiles.assign (argv + 1, argv + argc);
    return RUN_ALL_TESTS();
}
