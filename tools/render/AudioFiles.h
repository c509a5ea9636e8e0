#pragma once

#include "tools/render/OutputFile.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <functional>
#include <memory>

namespace tarnwell::render
{
using ProgressCallback = std::function<void (double fraction)>;

// Opens an audio file for reading in blocks; on failure `error` says why, in a few words ("no
// such file"). A WAV or AIFF file shorter than its header says (a copy cut short, a recorder
// that stopped) is refused, not padded with silence.
std::unique_ptr<juce::AudioFormatReader> openAudioFile (const juce::File&, juce::String& error);

// A 32-bit float WAV file being written into an output's hidden file: it keeps every sample
// as the plug-in made it.
class WavWriter
{
public:
    WavWriter (const OutputFile&, double sampleRate, int numChannels);

    bool isOpen() const noexcept { return writer != nullptr; }
    bool write (const juce::AudioBuffer<float>&, int start, int numFrames);

    // Completes the header and closes the file; false if anything failed to reach the disk.
    bool finish();

private:
    juce::FileOutputStream* stream = nullptr; // owned by the writer
    std::unique_ptr<juce::AudioFormatWriter> writer;
    bool failed = false;
};

// Writes all of `audio` as 32-bit float WAV into the output's hidden file and commits it.
bool writeWavFile (OutputFile&, const juce::AudioBuffer<float>& audio, double sampleRate,
                   const ProgressCallback& progress = {});
} // namespace tarnwell::render
