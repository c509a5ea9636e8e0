// The render tool drives Tarnwell.so through JUCE's VST2 hosting, code we did not write:
// its output must be the processor's own, sample for sample.

#include "InProcessReference.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstdlib>

using namespace tarnwell::testreference;

namespace
{
bool writeWav (const juce::File& file, const Channels& audio, double sampleRate)
{
    juce::AudioBuffer<float> buffer (static_cast<int> (audio.size()), static_cast<int> (audio[0].size()));
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        buffer.copyFrom (ch, 0, audio[static_cast<size_t> (ch)].data(), buffer.getNumSamples());

    file.deleteFile();
    auto stream = file.createOutputStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, static_cast<unsigned> (buffer.getNumChannels()), 32, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release();
    return writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples());
}

Channels readWav (const juce::File& file)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
    if (reader == nullptr)
        return {};
    juce::AudioBuffer<float> buffer (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
    reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, true);
    Channels out;
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        out.emplace_back (buffer.getReadPointer (ch), buffer.getReadPointer (ch) + buffer.getNumSamples());
    return out;
}

TEST (RenderTool, OutputIsTheProcessorsOwn)
{
    const juce::TemporaryFile in (".wav"), out (".wav");
    const double rate = 48000.0;
    auto input = noise (2, 48000, 7);
    ASSERT_TRUE (writeWav (in.getFile(), input, rate));

    const juce::String command = juce::String ("'") + TARNWELL_RENDER_PATH + "' render '" + in.getFile().getFullPathName()
                                 + "' '" + out.getFile().getFullPathName() + "' --plugin '" + TARNWELL_VST2_PATH
                                 + "' --set Mix=0.4 --set diffusion=0.9 --set T60High=0.2 --tail 0.25 > /dev/null";
    ASSERT_EQ (std::system (command.toRawUTF8()), 0);

    // The tool appends a quarter second of silence for the tail.
    for (auto& ch : input)
        ch.resize (ch.size() + 12000, 0.0f);
    const auto expected = reference (2, 2, { { 3, 0.4f }, { 4, 0.9f }, { 1, 0.2f } }, input, 512, rate);

    expectNear (readWav (out.getFile()), expected);
}

TEST (RenderTool, RefusesWhatItCannotDo)
{
    const juce::TemporaryFile in (".wav"), out (".wav");
    ASSERT_TRUE (writeWav (in.getFile(), noise (1, 1000, 8), 44100.0));

    const auto run = [&] (const juce::String& extra) {
        const juce::String command = juce::String ("'") + TARNWELL_RENDER_PATH + "' render '" + in.getFile().getFullPathName()
                                     + "' '" + out.getFile().getFullPathName() + "' --plugin '" + TARNWELL_VST2_PATH + "' "
                                     + extra + " > /dev/null 2>&1";
        return std::system (command.toRawUTF8());
    };
    EXPECT_NE (run ("--set NoSuchParameter=0.5"), 0);
    EXPECT_NE (run ("--set Mix=loud"), 0);
    EXPECT_NE (run ("--plugin /nonexistent/Tarnwell.so"), 0);
    EXPECT_EQ (run ("--set Mix=1"), 0); // and a mono file is fine
    EXPECT_EQ (readWav (out.getFile()).size(), 2u);
}
} // namespace
