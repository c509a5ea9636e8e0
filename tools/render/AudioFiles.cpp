#include "tools/render/AudioFiles.h"

namespace tarnwell::render
{
namespace
{
    constexpr int framesPerStep = 1 << 16; // between progress reports

    // The smallest header of each uncompressed format that holds nothing but its samples.
    juce::int64 smallestHeader (const juce::String& formatName)
    {
        if (formatName.startsWith ("WAV"))
            return 44;
        if (formatName.startsWith ("AIFF"))
            return 54;
        return -1; // compressed: the length in bytes says nothing
    }
} // namespace

std::unique_ptr<juce::AudioFormatReader> openAudioFile (const juce::File& file, juce::String& error)
{
    const auto fail = [&error] (const juce::String& why) {
        error = why;
        return nullptr;
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

    // JUCE reads the samples a header promises beyond the end of the file as silence.
    const auto header = smallestHeader (reader->getFormatName());
    const auto bytesPerFrame = static_cast<juce::int64> (reader->numChannels * reader->bitsPerSample / 8);
    if (header > 0 && bytesPerFrame > 0 && reader->lengthInSamples > (file.getSize() - header) / bytesPerFrame)
    {
        const auto held = juce::jmax (juce::int64 (0), (file.getSize() - header) / bytesPerFrame);
        return fail (juce::String::formatted ("the file is cut short: its header promises %.2f s, it holds at most %.2f s",
                                              double (reader->lengthInSamples) / reader->sampleRate,
                                              double (held) / reader->sampleRate));
    }
    return reader;
}

WavWriter::WavWriter (const OutputFile& output, double sampleRate, int numChannels)
{
    auto file = std::make_unique<juce::FileOutputStream> (output.getTemporary());
    if (! file->openedOk())
        return;
    juce::WavAudioFormat wav;
    writer.reset (wav.createWriterFor (file.get(), sampleRate, static_cast<unsigned int> (numChannels), 32, {}, 0));
    if (writer != nullptr)
        stream = file.release(); // the writer owns it now
}

bool WavWriter::write (const juce::AudioBuffer<float>& audio, int start, int numFrames)
{
    failed = failed || writer == nullptr || ! writer->writeFromAudioSampleBuffer (audio, start, numFrames);
    return ! failed;
}

bool WavWriter::finish()
{
    if (writer == nullptr)
        return false;
    failed = failed || ! writer->flush() || stream->getStatus().failed();
    writer.reset(); // rewrites the header's lengths
    return ! failed;
}

bool writeWavFile (OutputFile& output, const juce::AudioBuffer<float>& audio, double sampleRate, const ProgressCallback& progress)
{
    WavWriter writer (output, sampleRate, audio.getNumChannels());
    for (int start = 0; start < audio.getNumSamples(); start += framesPerStep)
    {
        const int frames = juce::jmin (framesPerStep, audio.getNumSamples() - start);
        if (! writer.write (audio, start, frames))
            return false;
        if (progress)
            progress (double (start + frames) / audio.getNumSamples());
    }
    return writer.finish() && output.commit();
}
} // namespace tarnwell::render
