#pragma once

#include "engine/NetworkSettings.h"
#include "engine/ReverbNetwork.h"
#include "processor/ParameterTable.h"
#include "processor/ParameterValues.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <mutex>

namespace tarnwell
{
// The plug-in's audio processor: five parameters (the normalised value, which the host reads
// back and which is saved, and the physical value the network runs on and the texts show), the
// reverberation network, and the saved settings.
//
// Threads: parameter changes may come from any host thread, the audio thread included, and
// never lock or allocate: the values live in lock-free atomics (ParameterValues). The audio
// thread designs the network's coefficients itself, at the start of a block whose values differ
// from those it last designed from. Saves and restores are serialised among themselves by
// `stateLock`, which the audio thread never takes.
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

    // The settings the network runs on from the next block, for tests and tools.
    NetworkSettings getNetworkSettings() const;

private:
    void designForCurrentValues() noexcept; // audio thread

    ParameterValues values;
    std::atomic<double> sampleRate { NetworkSettings {}.sampleRate };

    // The saved settings' frame: the element, its order and whatever else a restored block
    // held. Its five parameter properties are brought up to date from `values` when saving.
    std::mutex stateLock;
    juce::ValueTree properties { "properties" }; // guarded by stateLock

    // Audio thread only: the coefficients and what they were designed from.
    ParameterValues::Snapshot designedValues;
    double designedSampleRate;
    NetworkCoefficients coefficients;
    ReverbNetwork network;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellAudioProcessor)
};
} // namespace tarnwell
