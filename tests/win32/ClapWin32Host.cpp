// Tarnwell.clap for Windows through our CLAP test host, built for x86 and x64 like the plug-in
// and run under Wine: found only through clap_entry, its parameters listed, its output and
// settings blocks held against the Linux VST 2.4 build's results, and its editor in a real
// Win32 window.
//
//   tarnwell_clap_win32_host [GoogleTest flags] <Tarnwell.clap> <reference file from tarnwell_win32_reference>

#include "HostWindow.h"
#include "ReferenceRun.h"
#include "tests/support/ExpectedDefaults.h"
#include "tools/clap_host/ClapHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace tarnwell::clapHost;
using namespace tarnwell::crosscheck;
namespace expected = tarnwell::expected;

namespace
{
std::string pluginPath;
Reference linux;

std::vector<std::uint8_t> bytes (const std::vector<char>& block)
{
    return { block.begin(), block.end() };
}

// One scenario of the reference run, its settings restored from the block the VST 2.4 build
// saved after setting them: the outputs, channel after channel.
std::vector<float> run (const Library& library, const Scenario& s, const std::vector<char>& settings)
{
    Instance clap (library);
    if (clap.plugin == nullptr || ! clap.load (bytes (settings)))
        return {};
    if (s.inputs == 1)
    {
        const auto* config = clap.extension<clap::PluginAudioPortsConfig> (clap::extension::audioPortsConfig);
        if (config == nullptr || ! config->select (clap.plugin, 1))
            return {};
    }
    if (! clap.start (s.sampleRate, static_cast<std::uint32_t> (s.hostBlock)))
        return {};

    auto audio = input (s);
    for (int start = 0; start < s.frames; start += s.hostBlock)
        clap.process (audio, static_cast<std::uint32_t> (start),
                      static_cast<std::uint32_t> (std::min (s.hostBlock, s.frames - start)), nullptr,
                      static_cast<std::uint32_t> (s.inputs), s.inPlace);
    std::vector<float> result;
    for (const auto& channel : audio)
        result.insert (result.end(), channel.begin(), channel.end());
    return result;
}

class ClapDll : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (library.isLoaded()) << pluginPath;
        ASSERT_NE (instance.plugin, nullptr);
        ASSERT_NE (instance.params, nullptr);
        ASSERT_NE (instance.state, nullptr);
    }

    Library library { pluginPath };
    Instance instance { library };
};
} // namespace

//==============================================================================
TEST_F (ClapDll, EntryIdentityAndFiveParameters)
{
    EXPECT_EQ (exportedNames (GetModuleHandleA (pluginPath.c_str())), (std::set<std::string> { "clap_entry" }));
    EXPECT_EQ (library.entry->clapVersion.major, 1u);
    ASSERT_EQ (library.factory->getPluginCount (library.factory), 1u);
    const auto& d = *library.factory->getPluginDescriptor (library.factory, 0);
    EXPECT_STREQ (d.id, "audio.quennet.tarnwell");
    EXPECT_STREQ (d.name, expected::productName);
    EXPECT_STREQ (d.vendor, expected::vendor);

    ASSERT_EQ (instance.params->count (instance.plugin), 5u);
    for (std::uint32_t i = 0; i < 5; ++i)
    {
        SCOPED_TRACE (expected::parameterNames[i]);
        clap::ParamInfo info {};
        ASSERT_TRUE (instance.params->getInfo (instance.plugin, i, &info));
        EXPECT_EQ (info.id, i);
        EXPECT_STREQ (info.name, expected::parameterNames[i]);
        EXPECT_NEAR (instance.value (i), info.defaultValue, 1e-9);
        // The formatting of numbers goes through Windows' C run-time here.
        char text[64] = {};
        ASSERT_TRUE (instance.params->valueToText (instance.plugin, i, instance.value (i), text, sizeof text));
        EXPECT_STREQ (text, expected::defaultTexts[i]);
    }
    double typed = 0;
    ASSERT_TRUE (instance.params->textToValue (instance.plugin, 2, "1.2 kHz", &typed));
    EXPECT_NEAR (typed, 1200.0, 1e-3);
}

// Every run of the reference, its settings restored from the saved block, plays as
// Tarnwell.so did; the blocks saved are the VST 2.4 build's, byte for byte.
TEST_F (ClapDll, OutputAndStateMatchTarnwellSo)
{
    EXPECT_EQ (instance.save(), bytes (linux.newChunk));

    const auto all = scenarios();
    ASSERT_EQ (linux.scenarioChunks.size(), all.size());
    std::vector<std::pair<Scenario, std::vector<char>>> runs;
    for (size_t i = 0; i < all.size(); ++i)
        runs.emplace_back (all[i], linux.scenarioChunks[i]);
    runs.emplace_back (all.front(), linux.configuredChunk); // the reference's restored run
    ASSERT_EQ (runs.size(), linux.outputs.size());
    for (size_t i = 0; i < runs.size(); ++i)
    {
        SCOPED_TRACE ("run " + std::to_string (i));
        const auto output = run (library, runs[i].first, runs[i].second);
        const double difference = largestDifference (output, linux.outputs[i]);
        std::printf ("run %u: largest difference %.3g\n", static_cast<unsigned> (i), difference);
        EXPECT_FALSE (output.empty());
        EXPECT_LE (difference, 1.0e-6);
    }

    // A round trip through another instance keeps every byte; what is no settings block is
    // refused and changes nothing.
    const auto block = bytes (linux.scenarioChunks.back());
    ASSERT_TRUE (instance.load (block));
    const auto saved = instance.save();
    EXPECT_EQ (saved, block);
    Instance other (library);
    ASSERT_TRUE (other.load (saved, 3));
    EXPECT_EQ (other.save (11), block);
    for (std::uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ (other.value (i), instance.value (i)) << expected::parameterNames[i];
    EXPECT_FALSE (other.load ({ 'n', 'o', 't', ' ', 'a', ' ', 'b', 'l', 'o', 'c', 'k' }));
    EXPECT_EQ (other.save(), block);
}

//==============================================================================
// The editor as a child of the host's Win32 window, drawn by the host's own message loop, gone
// with destroy; at twice the size at the host's scale of 2.
TEST_F (ClapDll, EditorEmbedsAsAWin32ChildWindow)
{
    const auto* gui = instance.extension<clap::PluginGui> (clap::extension::gui);
    ASSERT_NE (gui, nullptr);
    EXPECT_TRUE (gui->isApiSupported (instance.plugin, "win32", false));
    EXPECT_FALSE (gui->isApiSupported (instance.plugin, "x11", false));
    EXPECT_FALSE (gui->isApiSupported (instance.plugin, "win32", true));
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE (gui->getPreferredApi (instance.plugin, &api, &floating));
    EXPECT_STREQ (api, "win32");
    EXPECT_FALSE (floating);

    HostWindow host (1000, 500);
    ASSERT_NE (host.handle, nullptr);
    for (const double scale : { 1.0, 2.0 })
    {
        SCOPED_TRACE ("scale " + std::to_string (scale));
        ASSERT_TRUE (gui->create (instance.plugin, "win32", false));
        if (scale != 1.0)
        {
            ASSERT_TRUE (gui->setScale (instance.plugin, scale));
        }
        std::uint32_t w = 0, h = 0;
        ASSERT_TRUE (gui->getSize (instance.plugin, &w, &h));
        const auto width = static_cast<int> (453 * scale), height = static_cast<int> (200 * scale);
        EXPECT_EQ (static_cast<int> (w), width);
        EXPECT_EQ (static_cast<int> (h), height);

        clap::Window window {};
        window.api = "win32";
        window.win32 = host.handle;
        ASSERT_TRUE (gui->setParent (instance.plugin, &window));
        ASSERT_TRUE (gui->show (instance.plugin));
        HWND editor = host.editor();
        ASSERT_NE (editor, nullptr);
        RECT client {};
        GetClientRect (editor, &client);
        EXPECT_EQ (client.right, width);
        EXPECT_EQ (client.bottom, height);
        pumpMessages (30);
        if (scale == 1.0)
        {
            EXPECT_GT (coloursShown (editor, width, height), 50u) << "the editor drew its picture and controls";
        }

        gui->destroy (instance.plugin);
        pumpMessages (2);
        EXPECT_EQ (host.editor(), nullptr);
    }
}

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: %s [GoogleTest flags] <Tarnwell.clap> <reference file>\n", argv[0]);
        return 2;
    }
    pluginPath = argv[1];
    if (! read (argv[2], linux))
    {
        std::fprintf (stderr, "cannot read the reference %s\n", argv[2]);
        return 1;
    }
    return RUN_ALL_TESTS();
}
