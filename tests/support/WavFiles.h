#pragma once

// WAV files of 32-bit floats, as the tools under test read and write them.

#include "tests/support/ReferenceSignals.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace tarnwell::testreference
{
inline bool writeWav (const juce::File& file, const Channels& audio, double sampleRate)
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

// Every sample a reader holds; empty for none.
inline Channels readAll (juce::AudioFormatReader* reader)
{
    if (reader == nullptr)
        return {};
    juce::AudioBuffer<float> buffer (static_cast<int> (reader->numChannels),
                                     static_cast<int> (reader->lengthInSamples));
    reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, true);
    Channels out;
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        out.emplace_back (buffer.getReadPointer (ch), buffer.getReadPointer (ch) + buffer.getNumSamples());
    return out;
}

// Empty if the file cannot be read.
inline Channels readWav (const juce::File& file)
{
    juce::WavAudioFormat wav;
    const std::unique_ptr<juce::AudioFormatReader> reader (
        wav.createReaderFor (file.createInputStream().release(), true));
    return readAll (reader.get());
}
} // namespace tarnwell::testreference
