#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace tarnwell::render
{
// Opens an audio file for reading in blocks, through JUCE's formats: WAV (8/16/24/32-bit
// integer, 32/64-bit float, extensible, RF64), AIFF/AIFC and FLAC. On failure `error` says
// why, in a few words ("no such file"). A WAV or AIFF file shorter than its header says (a
// copy cut short, a recorder that stopped) is refused, not padded with silence.
std::unique_ptr<juce::AudioFormatReader> openAudioFile (const juce::File&, juce::String& error);

// The formats the tool reads, registered in a manager.
void registerReadableFormats (juce::AudioFormatManager&);
} // namespace tarnwell::render
