#pragma once

#include "processor/InstanceCore.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
// The plug-in as JUCE's wrappers (the VST3 and the standalone app) see it: a
// juce::AudioProcessor that translates into the instance core, which does the work. Its
// parameter objects forward to the core's controls, and its editor binds to them. Our own glue
// (VST 2.4, LV2, CLAP) reaches the core directly.
//
// Threads, as InstanceCore marks them: processBlock is [audio-thread]; everything else is
// [main-thread], the host's (or the standalone app's) control thread, as JUCE's wrappers call it,
// but for the editor, made on the [message-thread], and getTailLengthSeconds, [thread-safe].
class TarnwellAudioProcessor : public juce::AudioProcessor
{
public:
    TarnwellAudioProcessor();
    ~TarnwellAudioProcessor() override;

    // [thread-safe] The parameters of the core this processor translates into.
    InstanceCore::Controls controls() noexcept { return instance.controls(); }

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;

    bool isBusesLayoutSupported (const BusesLayout&) const override;

    const juce::String getInputChannelName (int index) const override;
    const juce::String getOutputChannelName (int index) const override;
    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;

    bool acceptsMidi() const override;
    bool producesMidi() const override;
    double getTailLengthSeconds() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    // The settings the network runs on from the next block, for tests and tools.
    NetworkSettings getNetworkSettings() const;

private:
    InstanceCore instance;
    const InstanceCore::Session session = instance.session(); // held for JUCE's const queries

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellAudioProcessor)
};
} // namespace tarnwell
