#pragma once

#include "tools/clap_host/ClapHost.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace tarnwell::render
{
// One plug-in of a .clap as a JUCE plug-in instance, so the render tool drives it as it drives
// JUCE's own hosting: one stereo input and output, parameters set between blocks (sent as
// events at the start of the next one), state through the host's streams.
//
// A parameter's JUCE value spreads its CLAP range linearly over 0..1; Tarnwell's own plug-in
// takes Tarnwell's normalised values instead, so `--set T60Low=0.35` means the same in every
// format.
class ClapInstance final : public juce::AudioPluginInstance
{
public:
    // Null, with `error` set, if the plug-in of that id can't be made.
    static std::unique_ptr<ClapInstance> create (std::shared_ptr<clapHost::Library>, const juce::String& pluginId,
                                                 juce::String& error);

    ClapInstance (std::shared_ptr<clapHost::Library>, std::unique_ptr<clapHost::Instance>);
    ~ClapInstance() override;

    void fillInPluginDescription (juce::PluginDescription&) const override;
    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock&) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

private:
    class Parameter;

    void stop();

    std::shared_ptr<clapHost::Library> library; // outlives the instance
    std::unique_ptr<clapHost::Instance> clap;
    std::vector<Parameter*> parameters; // owned by the processor
    clapHost::EventList changes;
    juce::AudioBuffer<float> inputCopy;
    double rate = 44100;
};

// Describes each plug-in in a .clap file for JUCE (the CLAP id in the description's
// fileOrIdentifier after the path and a '#').
void describeClapPlugins (const juce::String& path, juce::OwnedArray<juce::PluginDescription>&);
} // namespace tarnwell::render
