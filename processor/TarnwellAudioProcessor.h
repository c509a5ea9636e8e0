#pragma once

#include "engine/NetworkSettings.h"
#include "engine/ReverbNetwork.h"
#include "processor/LatestValueHandOff.h"
#include "processor/ParameterChangeQueue.h"
#include "processor/ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <mutex>

// The plug-in's audio processor: five parameters, each held twice (the normalised value in the
// property tree, which the host reads back and which is saved, and the physical value the
// network runs on), the reverberation network, and the saved settings.
//
// Threads: parameter changes, saves and restores may come from any host thread, concurrently.
// They are serialised by `settingsLock`, which the audio thread never takes: it picks up
// newly designed coefficients through a lock-free hand-off at the start of each block.
class TarnwellAudioProcessor : public juce::AudioProcessor
{
public:
    TarnwellAudioProcessor();
    ~TarnwellAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;

    // processBlock for a host whose output buffers differ from its input buffers: the same
    // result as processBlock on a buffer holding the inputs in place of the outputs, without
    // copying them there first. The channel counts are the processor's; each output either is
    // its input or does not overlap it.
    void processSeparate (const float* const* inputs, float* const* outputs, int numFrames) noexcept;

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

    // The parameters, by index 0..4; any other index is ignored.
    int getNumParameters() override;
    const juce::String getParameterName (int index) override;
    float getParameter (int index) override;
    const juce::String getParameterText (int index) override;
    void setParameter (int index, float value) override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    // Changes on their way to an open editor (see ParameterChangeQueue).
    tarnwell::ParameterChangeQueue& getParameterChangeQueue() noexcept { return parameterChanges; }

    // The settings the network currently runs on, for tests and tools.
    tarnwell::NetworkSettings getNetworkSettings() const;

private:
    void publishNetwork(); // with settingsLock held
    void storeProperty (int index, const juce::var& value); // with settingsLock held
    void applyParameter (int index, float value); // with settingsLock held
    void showChangesNowIfOnMessageThread();

    mutable std::mutex settingsLock;
    tarnwell::NetworkSettings settings;           // guarded by settingsLock
    juce::ValueTree properties { "properties" };  // guarded by settingsLock

    // Lock-free mirrors for readers on any thread, the audio thread included.
    std::array<std::atomic<float>, tarnwell::parameters::count> storedValues;
    std::array<std::atomic<double>, tarnwell::parameters::count> engineValues;

    tarnwell::LatestValueHandOff<tarnwell::NetworkCoefficients> coefficients;
    tarnwell::ReverbNetwork network; // audio thread only
    tarnwell::ParameterChangeQueue parameterChanges;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellAudioProcessor)
};
