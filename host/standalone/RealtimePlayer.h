#pragma once

#include "host/standalone/AudioCallbackGate.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace tarnwell::standalone
{
// Plays the processor through the standalone app's audio device, in place of JUCE's
// AudioProcessorPlayer (which the standalone holder uses through our patch, see
// cmake/juce-patches/juce_audio_plugin_client-standalone-player.patch). JUCE's player locks
// its own mutex and its MIDI collector's on every block, and the message thread holds the
// first while it prepares the processor, so the audio thread could wait for it.
//
// The audio callback here allocates nothing, locks nothing of its own and never waits: the
// message thread's changes (device start and stop, a new processor) close a gate that the
// callback only tries to pass, playing silence meanwhile. The one lock it takes is the
// processor's callback lock, as every JUCE wrapper does, and only with a try: a block that
// finds it held plays silence. Tarnwell neither takes nor sends MIDI, so no MIDI flows.
class RealtimePlayer
{
public:
    RealtimePlayer() = default;
    ~RealtimePlayer();

    // [message-thread] The processor is prepared for the device's rate, block size and channels
    // here (or when the device starts); the one it replaces is released.
    void setProcessor (juce::AudioProcessor* processorToPlay);
    void audioDeviceAboutToStart (juce::AudioIODevice* device);
    void audioDeviceStopped();
    // What audioDeviceAboutToStart reads from the device.
    void prepare (double sampleRate, int maximumBlockSize, int deviceInputs, int deviceOutputs);

    // [audio-thread] Any block length (longer blocks are played in pieces of the prepared size).
    void audioDeviceIOCallbackWithContext (const float* const* inputs, int numInputs, float* const* outputs,
                                           int numOutputs, int numSamples,
                                           const juce::AudioIODeviceCallbackContext&) noexcept;

private:
    struct Channels
    {
        int ins = 0, outs = 0;
    };

    void prepareProcessor();
    Channels mostSuitableLayout() const;
    bool play (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs,
               int numSamples) noexcept;
    void playPiece (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs, int offset,
                    int numSamples) noexcept;

    AudioCallbackGate gate;

    // Changed by the message thread only with the gate closed.
    juce::AudioProcessor* processor = nullptr;
    bool prepared = false;
    double sampleRate = 0;
    int blockSize = 0;
    Channels deviceChannels, processorChannels;
    std::vector<float*> channelPointers;
    juce::AudioBuffer<float> spareChannels; // processor channels the device has no output for
    juce::MidiBuffer noMidi;
};
} // namespace tarnwell::standalone
