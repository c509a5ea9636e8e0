#pragma once

#include "tools/render/OutputFile.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <functional>
#include <memory>

namespace tarnwell::render
{
using ProgressCallback = std::function<void (double fraction)>;

// Why the tool can't write audio under this name, or empty: it writes by the name's extension,
// .wav (32-bit float, every sample as the plug-in made it), .aiff or .aif (24-bit) and .flac
// (24-bit).
juce::String whyNotAnAudioName (const juce::File& target);

// An audio file being written, in the format its target's extension names, into an output's
// hidden file, block by block.
class AudioFileWriter
{
public:
    AudioFileWriter (const OutputFile&, double sampleRate, int numChannels);
    ~AudioFileWriter();

    bool isOpen() const noexcept { return writer != nullptr; }
    bool write (const juce::AudioBuffer<float>&, int start, int numFrames);

    // Completes the header and closes the file; false if anything failed to reach the disk.
    bool finish();

private:
    // Ours, so that what the writer sends as it closes (the header's lengths, FLAC's last
    // frames) is checked too: the writer gets a stream that forwards to it.
    std::unique_ptr<juce::FileOutputStream> file;
    std::unique_ptr<juce::AudioFormatWriter> writer;
    bool failed = false;
};

// Writes all of `audio` into the output's hidden file and commits it.
bool writeAudioFile (OutputFile&, const juce::AudioBuffer<float>& audio, double sampleRate,
                     const ProgressCallback& progress = {});
} // namespace tarnwell::render
