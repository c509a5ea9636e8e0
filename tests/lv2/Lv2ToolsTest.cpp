// The bundle as the LV2 package's validator, lilv's lv2info and lv2apply see it.

#include "processor/ParameterTable.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace params = tarnwell::parameters;

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

juce::AudioBuffer<float> readWav (const juce::File& file)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
    if (reader == nullptr)
        return {};
    juce::AudioBuffer<float> audio (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
    reader->read (&audio, 0, audio.getNumSamples(), 0, true, true);
    return audio;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    file.deleteFile();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (file.createOutputStream().release(), sampleRate, static_cast<unsigned int> (audio.getNumChannels()), 32, {}, 0));
    return writer != nullptr && writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}
} // namespace

TEST (Lv2Tools, ValidatorFindsNoErrorOrWarning)
{
    const juce::File bundle (TARNWELL_LV2_BUNDLE);
    const auto result = run ({ TARNWELL_LV2_VALIDATE, bundle.getChildFile ("manifest.ttl").getFullPathName(),
                               bundle.getChildFile ("Tarnwell.ttl").getFullPathName(),
                               bundle.getChildFile ("TarnwellUi.ttl").getFullPathName() });
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
        EXPECT_TRUE (block.contains ("Minimum:     0.000000\n")) << block;
        EXPECT_TRUE (block.contains ("Maximum:     1.000000\n")) << block;
        EXPECT_TRUE (block.contains ("Default:     " + number (params::storedDefault (i)) + "\n")) << block;
    }
    EXPECT_EQ (occurrences (info, "lv2core#ControlPort"), 6) << "five control inputs and the latency output";
}

TEST (Lv2Tools, Lv2applyMatchesTheRenderToolThroughTheVst2Build)
{
    constexpr double sampleRate = 48000.0;
    const auto folder = juce::File::createTempFile ("lv2apply");
    ASSERT_TRUE (folder.createDirectory());
    const auto inFile = folder.getChildFile ("in.wav");
    const auto lv2File = folder.getChildFile ("lv2.wav");
    const auto vst2File = folder.getChildFile ("vst2.wav");

    // Half a second of noise, then a second of the tail.
    juce::AudioBuffer<float> input (2, static_cast<int> (1.5 * sampleRate));
    input.clear();
    juce::Random random (3);
    for (int ch = 0; ch < 2; ++ch)
        for (int n = 0; n < static_cast<int> (0.5 * sampleRate); ++n)
            input.setSample (ch, n, 0.5f * (random.nextFloat() - 0.5f));
    ASSERT_TRUE (writeWav (inFile, input, sampleRate));

    // lv2apply leaves every port it is not told of at its default; the render tool is told
    // those defaults, the VST 2.4 build's own.
    const auto applied = run ({ TARNWELL_LV2APPLY, "-i", inFile.getFullPathName(), "-o", lv2File.getFullPathName(),
                                "-c", "Mix", "0.7", pluginUri });
    ASSERT_EQ (applied.exitCode, 0) << applied.output;

    juce::StringArray render { TARNWELL_RENDER_PATH, "render", inFile.getFullPathName(), vst2File.getFullPathName(),
                               "--plugin", TARNWELL_VST2_PATH, "--tail", "0" };
    for (int i = 0; i < params::count; ++i)
        render.addArray ({ "--set", params::name (i) + "=" + (i == params::mix ? juce::String ("0.7") : juce::String (params::storedDefault (i))) });
    const auto rendered = run (render);
    ASSERT_EQ (rendered.exitCode, 0) << rendered.output;

    const auto lv2 = readWav (lv2File);
    const auto vst2 = readWav (vst2File);
    ASSERT_EQ (lv2.getNumChannels(), 2);
    ASSERT_EQ (vst2.getNumChannels(), 2);
    ASSERT_EQ (lv2.getNumSamples(), input.getNumSamples());
    ASSERT_EQ (vst2.getNumSamples(), input.getNumSamples());

    float largest = 0.0f, tail = 0.0f;
    for (int ch = 0; ch < 2; ++ch)
        for (int n = 0; n < input.getNumSamples(); ++n)
        {
            largest = std::max (largest, std::abs (lv2.getSample (ch, n) - vst2.getSample (ch, n)));
            if (n > sampleRate)
                tail = std::max (tail, std::abs (lv2.getSample (ch, n)));
        }
    EXPECT_GT (tail, 0.001f) << "the reverberation rings on after the input";
    EXPECT_LE (largest, 1e-6f);
    folder.deleteRecursively();
}
