#pragma once

#include "host/ChannelLayout.h"
#include "host/ChunkStore.h"
#include "host/EditorHost.h"
#include "host/MessageThread.h"
#include "host/VstAbi.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>

namespace tarnwell
{
class InstanceCore;
class TarnwellAudioProcessor;

// One plug-in instance as a VST 2.4 host sees it: the AEffect record and the answers to the
// host's requests, translated into the instance core; the processor around the core serves
// the editor. Parameter changes and gestures made on the processor's parameter objects go
// back to the host as automation and edit brackets.
class VstEffect final : private juce::AudioProcessorListener
{
public:
    static VstEffect* create (audioMasterCallback host);

    explicit VstEffect (audioMasterCallback host);
    ~VstEffect() override;

    AEffect* getAEffect() noexcept { return &effect; }
    juce::AudioProcessor& getProcessor() noexcept;

private:

    static VstEffect* from (AEffect*) noexcept;
    static VstIntPtr dispatchCallback (AEffect*, int opcode, int index, VstIntPtr value, void* ptr, float opt);
    static void processReplacingCallback (AEffect*, float** inputs, float** outputs, int numFrames);
    static void leaveOutputsCallback (AEffect*, float**, float**, int);
    static void leaveDoubleOutputsCallback (AEffect*, double**, double**, int);
    static void setParameterCallback (AEffect*, int index, float value);
    static float getParameterCallback (AEffect*, int index);

    VstIntPtr dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr dispatchParameterRequest (int opcode, int index, void* ptr);
    VstIntPtr dispatchProgramRequest (int opcode, int index, void* ptr);
    bool setHostScale (float scale);
    void resume();
    void suspend();
    bool setSpeakerArrangement (const VstSpeakerArrangement* in, const VstSpeakerArrangement* out);
    juce::AudioProcessorParameter* parameter (int index) const noexcept;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override;
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override;
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override;

    // First in, last out: JUCE and its message thread outlive everything below.
    SharedMessageThread::User messageThreadUser;

    AEffect effect {};
    const audioMasterCallback host;
    const std::unique_ptr<TarnwellAudioProcessor> processor;
    InstanceCore& core;
    ChannelLayout layout;
    ChunkStore chunks;
    EditorHost editor;

    std::atomic<float> requestedSampleRate { 0.0f };
    std::atomic<int> requestedBlockSize { 0 };
};
} // namespace tarnwell
