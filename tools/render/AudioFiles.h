#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>

namespace tarnwell::render
{
using ProgressCallback = std::function<void (double fraction)>;

// Reads a whole audio file; on failure `error` says why, in a few words ("no such file").
bool readAudioFile (const juce::File&, juce::AudioBuffer<float>& audio, double& sampleRate, juce::String& error,
                    const ProgressCallback& progress = {});

// Writes 32-bit float WAV, which keeps every sample as the plug-in made it. Writes a hidden
// file beside `file` and renames it, so a failure leaves no partial file behind.
bool writeWavFile (const juce::File&, const juce::AudioBuffer<float>& audio, double sampleRate,
                   const ProgressCallback& progress = {});
} // namespace tarnwell::render
