// The bundle as the LV2 package's validator, lilv's lv2info and lv2apply see it.

#include "host/lv2/Lv2Ports.h"
#include "processor/FactoryPresets.h"
#include "processor/ParameterTable.h"
#include "tests/support/WavFiles.h"

#include <gtest/gtest.h>

#include <cmath>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace params = tarnwell::parameters;
using namespace tarnwell::testreference;

namespace
{
const juce::String pluginUri = "https://quennet.audio/plugins/tarnwell";

struct Run
{
    int exitCode = -1;
    juce::String output;
};

Run run (const juce::StringArray& command)
{
    juce::ChildProcess process;
    Run result;
    if (! process.start (command))
        return result;
    result.output = process.readAllProcessOutput();
    process.waitForProcessToFinish (60000);
    result.exitCode = static_cast<int> (process.getExitCode());
    return result;
}

// The lines lv2info prints for the port whose symbol is given, up to the next port.
juce::String portBlock (const juce::String& info, const juce::String& symbol)
{
    auto rest = info;
    while (rest.contains ("\tPort "))
    {
        rest = rest.fromFirstOccurrenceOf ("\tPort ", false, false);
        const auto block = rest.upToFirstOccurrenceOf ("\tPort ", false, false);
        if (block.contains ("Symbol:      " + symbol + "\n"))
            return block;
    }
    return {};
}

int occurrences (const juce::String& text, const juce::String& what)
{
    int count = 0;
    for (int at = text.indexOf (what); at >= 0; at = text.indexOf (at + 1, what))
        ++count;
    return count;
}

juce::String number (double value)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%f", value);
    return text;
}
} // namespace

TEST (Lv2Tools, ValidatorFindsNoErrorOrWarning)
{
    const juce::File bundle (TARNWELL_LV2_BUNDLE);
    const auto result = run ({ TARNWELL_LV2_VALIDATE, bundle.getChildFile ("manifest.ttl").getFullPathName(),
                               bundle.getChildFile ("Tarnwell.ttl").getFullPathName(),
                               bundle.getChildFile ("TarnwellUi.ttl").getFullPathName(),
                               bundle.getChildFile ("presets.ttl").getFullPathName() });
    EXPECT_EQ (result.exitCode, 0) << result.output;
    EXPECT_TRUE (result.output.contains ("Found 0 errors")) << result.output;
    EXPECT_FALSE (result.output.containsIgnoreCase ("warning")) << result.output;
}

TEST (Lv2Tools, Lv2infoShowsTheMakerAndFiveControlPortsWithTheirRanges)
{
    const auto result = run ({ TARNWELL_LV2INFO, pluginUri });
    ASSERT_EQ (result.exitCode, 0) << result.output;
    const auto& info = result.output;

    EXPECT_TRUE (info.contains ("\tName:              Tarnwell\n")) << info;
    EXPECT_TRUE (info.contains ("\tAuthor:            Quennet\n")) << info;
    EXPECT_TRUE (info.contains ("\tAuthor Homepage:   https://quennet.audio\n")) << info;
    EXPECT_FALSE (info.contains ("Author Email")) << info;
    EXPECT_TRUE (info.contains ("Has latency:       yes")) << info;

    for (int i = 0; i < params::count; ++i)
    {
        const auto block = portBlock (info, params::name (i));
        EXPECT_TRUE (block.contains ("lv2core#ControlPort") && block.contains ("lv2core#InputPort")) << block;
        // In the displayed unit; the default as the stored default's text shows it.
        const auto& d = params::describe (i);
        const double portDefault =
            std::round (params::displayValue (i, static_cast<float> (d.storedDefault)) * 100.0) / 100.0;
        EXPECT_TRUE (block.contains ("Minimum:     " + number (d.displayMinimum) + "\n")) << block;
        EXPECT_TRUE (block.contains ("Maximum:     " + number (d.displayMaximum) + "\n")) << block;
        EXPECT_TRUE (block.contains ("Default:     " + number (portDefault) + "\n")) << block;
        EXPECT_EQ (block.contains ("port-props#logarithmic"), i == params::transition) << block;
    }
    // The host's bypass switch, after every other port.
    const auto enabled = portBlock (info, "enabled");
    EXPECT_TRUE (enabled.contains ("lv2core#InputPort") && enabled.contains ("lv2core#toggled")) << enabled;
    EXPECT_TRUE (enabled.contains ("Default:     " + number (1.0) + "\n")) << enabled;
    EXPECT_EQ (occurrences (info, "lv2core#ControlPort"), 7)
        << "five control inputs, the latency output and the switch";

    // The factory presets, by their labels.
    EXPECT_TRUE (info.contains ("\tPresets:")) << info;
    for (int i = 0; i < tarnwell::factoryPresets::count(); ++i)
        EXPECT_TRUE (info.contains (juce::String (" ") + tarnwell::factoryPresets::at (i)->name + "\n")) << info;
}

// Each preset's port values as presets.ttl spells them: the fewest decimals that play the
// value the preset stands for (0.3, not 0.29999998), read as hosts read them.
TEST (Lv2Tools, PresetPortValuesAreTheShortestDecimalsThatPlayThePresetsValues)
{
    const auto turtle = juce::File (TARNWELL_LV2_BUNDLE).getChildFile ("presets.ttl").loadFileAsString();
    auto rest = turtle;
    const auto plays = [] (int p, double portValue) {
        return tarnwell::lv2::normalisedOfPort (p, static_cast<float> (portValue));
    };
    for (int i = 0; i < tarnwell::factoryPresets::count(); ++i)
    {
        const auto& preset = *tarnwell::factoryPresets::at (i);
        rest = rest.fromFirstOccurrenceOf ("rdfs:label \"" + juce::String (preset.name) + "\"", false, false);
        for (int p = 0; p < params::count; ++p)
        {
            rest = rest.fromFirstOccurrenceOf ("lv2:symbol \"" + params::name (p) + "\" ;\n        pset:value ", false,
                                               false);
            const auto text = rest.upToFirstOccurrenceOf (" ;", false, false).toStdString();
            SCOPED_TRACE (std::string (preset.name) + " " + params::name (p).toStdString() + " " + text);
            const auto point = text.find ('.');
            ASSERT_NE (point, std::string::npos);
            const double value = std::strtod (text.c_str(), nullptr);
            const float expected = tarnwell::lv2::normalisedOfPort (
                p, tarnwell::lv2::portValueOf (p, preset.normalised[static_cast<size_t> (p)]));
            EXPECT_EQ (plays (p, value), expected);

            // One decimal fewer, rounded either way, plays another value.
            const int places =
                text.size() - point - 1 == 1 && text.back() == '0' ? 0 : static_cast<int> (text.size() - point - 1);
            if (places > 0)
            {
                const double scale = std::pow (10.0, places - 1);
                EXPECT_NE (plays (p, std::floor (value * scale) / scale), expected);
                EXPECT_NE (plays (p, std::ceil (value * scale) / scale), expected);
            }
        }
    }
}

namespace
{
// Half a second of noise, then a second of the tail, in a folder of its own.
class Lv2Rendering : public ::testing::Test
{
protected:
    static constexpr double sampleRate = 48000.0;

    void SetUp() override
    {
        ASSERT_TRUE (folder.createDirectory());
        juce::Random random (3);
        for (auto& channel : input)
            for (size_t n = 0; n < static_cast<size_t> (0.5 * sampleRate); ++n)
                channel[n] = 0.5f * (random.nextFloat() - 0.5f);
        ASSERT_TRUE (writeWav (inFile, input, sampleRate));
    }

    void TearDown() override { folder.deleteRecursively(); }

    // The render tool's output through `plugin` with every parameter set: Mix to `mix`, the
    // others to the VST 2.4 build's defaults. `printed` gets what the tool printed.
    Channels renderTool (const juce::String& plugin, const juce::String& mix, juce::String& printed)
    {
        const auto outFile = folder.getChildFile (juce::File (plugin).getFileName() + ".wav");
        juce::StringArray command { TARNWELL_RENDER_PATH,
                                    "render",
                                    inFile.getFullPathName(),
                                    outFile.getFullPathName(),
                                    "--plugin",
                                    plugin,
                                    "--tail",
                                    "0" };
        for (int i = 0; i < params::count; ++i)
            command.addArray (
                { "--set",
                  params::name (i) + "=" + (i == params::mix ? mix : juce::String (params::storedDefault (i))) });
        const auto rendered = run (command);
        EXPECT_EQ (rendered.exitCode, 0) << rendered.output;
        printed = rendered.output;
        return readWav (outFile);
    }

    // Largest difference between two renderings of the input, after checking their shape.
    float differenceBetween (const Channels& a, const Channels& b) const
    {
        const auto shaped = [this] (const Channels& c) { return c.size() == 2 && c[0].size() == input[0].size(); };
        EXPECT_TRUE (shaped (a) && shaped (b));
        return shaped (a) && shaped (b) ? largestDifference (a, b) : 1.0f;
    }

    const juce::File folder = juce::File::createTempFile ("lv2rendering");
    const juce::File inFile = folder.getChildFile ("in.wav");
    Channels input = Channels (2, std::vector<float> (static_cast<size_t> (1.5 * sampleRate), 0.0f));
};
} // namespace

TEST_F (Lv2Rendering, Lv2applyMatchesTheRenderToolThroughTheVst2Build)
{
#ifdef TARNWELL_PLUGIN_NEEDS_SANITIZER_RUNTIME
    GTEST_SKIP() << "lv2apply cannot load a plug-in built with sanitizers";
#endif
    // lv2apply leaves every port it is not told of at its default; Mix is in per cent.
    const auto lv2File = folder.getChildFile ("lv2apply.wav");
    const auto applied = run ({ TARNWELL_LV2APPLY, "-i", inFile.getFullPathName(), "-o", lv2File.getFullPathName(),
                                "-c", "Mix", "70", pluginUri });
    ASSERT_EQ (applied.exitCode, 0) << applied.output;
    const auto lv2 = readWav (lv2File);

    juce::String printed;
    EXPECT_LE (differenceBetween (lv2, renderTool (TARNWELL_VST2_PATH, "0.7", printed)), 1e-6f);
    ASSERT_EQ (lv2.size(), 2u);
    ASSERT_EQ (lv2[0].size(), input[0].size());
    Channels lastHalfSecond;
    for (const auto& channel : lv2)
        lastHalfSecond.emplace_back (channel.begin() + static_cast<std::ptrdiff_t> (sampleRate), channel.end());
    EXPECT_GT (peak (lastHalfSecond), 0.001f) << "the reverberation rings on after the input";
}

TEST_F (Lv2Rendering, RenderToolHearsAndMeasuresTheBundleAsTheVst2Build)
{
    juce::String lv2Printed, vst2Printed;
    const auto lv2 = renderTool (TARNWELL_LV2_BUNDLE, "0.4", lv2Printed);
    const auto vst2 = renderTool (TARNWELL_VST2_PATH, "0.4", vst2Printed);
    EXPECT_LE (differenceBetween (lv2, vst2), 1e-6f);

    // The table of decay times by band, measured and set.
    const auto measured = [] (const juce::String& printed) {
        return printed.fromFirstOccurrenceOf ("Decay (T60) by octave band", true, false)
            .upToFirstOccurrenceOf ("Decay picture", false, false);
    };
    EXPECT_TRUE (measured (vst2Printed).contains ("250 Hz")) << vst2Printed;
    EXPECT_EQ (measured (lv2Printed), measured (vst2Printed));
    EXPECT_FALSE (lv2Printed.contains ("input channels")) << "the plug-in's own printing, made quiet by default";
}
