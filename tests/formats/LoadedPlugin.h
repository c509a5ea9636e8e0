#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <vector>

namespace tarnwell::test
{
enum class Format { vst3, lv2, vst2 };

// One instance of the built plug-in, loaded through JUCE's hosting of the given format. The
// format object outlives the instance, since LV2 instances use its world.
struct LoadedPlugin
{
    std::unique_ptr<juce::AudioPluginFormat> format;
    juce::PluginDescription description;
    std::unique_ptr<juce::AudioPluginInstance> instance;

    LoadedPlugin() = default;
    LoadedPlugin (LoadedPlugin&&) = default;
    LoadedPlugin& operator= (LoadedPlugin&&) = default;
    ~LoadedPlugin() { instance.reset(); }
};

// Empty instance and an error message on failure.
LoadedPlugin loadPlugin (Format, double sampleRate, int blockSize, juce::String& error);

const char* formatName (Format);

// The settings block as the processor wrote it, out of the format's saved state; empty if the
// state does not hold one.
juce::MemoryBlock settingsBlockOf (Format, juce::AudioPluginInstance&);

// Restores a settings block through the format's own way of loading saved state.
void restoreSettingsBlock (Format, juce::AudioPluginInstance&, const juce::MemoryBlock&);

// What Tarnwell.so saves with these parameter values (by index): the block every format must
// save and restore as it is.
juce::MemoryBlock vst2BlockFor (const std::vector<float>& values);
} // namespace tarnwell::test
