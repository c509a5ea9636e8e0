#include "tools/render/AudioFileReading.h"

namespace tarnwell::render
{
namespace
{
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

void registerReadableFormats (juce::AudioFormatManager& formats)
{
    formats.registerFormat (new juce::WavAudioFormat(), true);
    formats.registerFormat (new juce::AiffAudioFormat(), false);
#if JUCE_USE_FLAC
    formats.registerFormat (new juce::FlacAudioFormat(), false);
#endif
}

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
    registerReadableFormats (formats);
    // By what the file holds, not its name (JUCE's own lookup by name misses .aifc, say).
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file.createInputStream()));
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
        return fail (
            juce::String::formatted ("the file is cut short: its header promises %.2f s, it holds at most %.2f s",
                                     double (reader->lengthInSamples) / reader->sampleRate,
                                     double (held) / reader->sampleRate));
    }
    return reader;
}
} // namespace tarnwell::render
