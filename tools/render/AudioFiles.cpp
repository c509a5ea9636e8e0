#include "tools/render/AudioFiles.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <limits>

namespace tarnwell::render
{
namespace
{
    constexpr int framesPerStep = 1 << 16; // between progress reports
} // namespace

bool readAudioFile (const juce::File& file, juce::AudioBuffer<float>& audio, double& sampleRate, juce::String& error,
                    const ProgressCallback& progress)
{
    const auto fail = [&error] (const juce::String& why) {
        error = why;
        return false;
    };
    if (file.isDirectory())
        return fail ("it is a folder");
    if (! file.existsAsFile())
        return fail ("no such file");

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    if (reader == nullptr)
    {
        juce::StringArray names;
        for (int i = 0; i < formats.getNumKnownFormats(); ++i)
            names.add (formats.getKnownFormat (i)->getFormatName().upToFirstOccurrenceOf (" ", false, false));
        return fail ("not an audio file this tool reads (" + names.joinIntoString (", ") + ")");
    }
    if (reader->numChannels == 0)
        return fail ("it has no channels");
    if (reader->lengthInSamples > std::numeric_limits<int>::max() / 2)
        return fail ("it is too long");

    sampleRate = reader->sampleRate;
    audio.setSize (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
    for (int start = 0; start < audio.getNumSamples(); start += framesPerStep)
    {
        const int frames = juce::jmin (framesPerStep, audio.getNumSamples() - start);
        if (! reader->read (&audio, start, frames, start, true, true))
            return fail ("the file is damaged");
        if (progress)
            progress (double (start + frames) / audio.getNumSamples());
    }
    return true;
}

bool writeWavFile (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate,
                   const ProgressCallback& progress)
{
    juce::TemporaryFile temporary (file, juce::TemporaryFile::useHiddenFile);
    {
        auto stream = std::make_unique<juce::FileOutputStream> (temporary.getFile());
        if (! stream->openedOk())
            return false;

        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (stream.get(), sampleRate, static_cast<unsigned int> (audio.getNumChannels()), 32, {}, 0));
        if (writer == nullptr)
            return false;
        auto* written = stream.release(); // the writer owns it now
        for (int start = 0; start < audio.getNumSamples(); start += framesPerStep)
        {
            const int frames = juce::jmin (framesPerStep, audio.getNumSamples() - start);
            if (! writer->writeFromAudioSampleBuffer (audio, start, frames))
                return false;
            if (progress)
                progress (double (start + frames) / audio.getNumSamples());
        }
        if (! writer->flush() || written->getStatus().failed())
            return false;
    }
    return temporary.overwriteTargetFileWithTemporary();
}
} // namespace tarnwell::render
