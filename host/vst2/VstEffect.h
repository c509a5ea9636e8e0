#pragma once

#include "host/vst2/ChannelLayout.h"
#include "host/vst2/ChunkStore.h"
#include "host/editor_hosting/EditorHost.h"
#include "host/editor_hosting/MessageThread.h"
#include "host/vst2/VstAbi.h"
#include "host/vst2/VstParameterModel.h"
#include "processor/InstanceCore.h"

#include <atomic>

namespace tarnwell
{
// One plug-in instance as a VST 2.4 host sees it: the AEffect record and the answers to the
// host's requests, translated into the instance core. The editor's changes and gestures go
// back to the host as automation and edit brackets.
//
// Threads, as processor/InstanceCore.h marks them: the dispatcher is [main-thread]; the few
// requests some hosts send from the audio thread (events, bypass, process start and stop, the
// tail size) answer with a constant and touch nothing. Processing is [audio-thread]; setParameter
// and getParameter are [thread-safe], as hosts call them from either.
class VstEffect final
{
public:
    // [main-thread] From the entry point; the instance lives until effClose.
    static VstEffect* create (audioMasterCallback host);

    explicit VstEffect (audioMasterCallback host);
    ~VstEffect();

    AEffect* getAEffect() noexcept { return &effect; }

    // [thread-safe] The parameters as the editor sees them.
    ParameterModel& parameterModel() noexcept { return model; }

private:
    static VstEffect* from (AEffect*) noexcept;
    // [main-thread]
    static VstIntPtr dispatchCallback (AEffect*, int opcode, int index, VstIntPtr value, void* ptr, float opt);
    // [audio-thread]
    static void processReplacingCallback (AEffect*, float** inputs, float** outputs, int numFrames);
    static void leaveOutputsCallback (AEffect*, float**, float**, int);
    static void leaveDoubleOutputsCallback (AEffect*, double**, double**, int);
    // [thread-safe]
    static void setParameterCallback (AEffect*, int index, float value);
    static float getParameterCallback (AEffect*, int index);

    VstIntPtr dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr dispatchParameterRequest (int opcode, int index, void* ptr);
    VstIntPtr dispatchProgramRequest (int opcode, int index, void* ptr);
    bool setHostScale (float scale);
    // effEditGetRect: the editor's size as the rectangle the host reads.
    bool editorRect (ERect** rect);
    void resume();

    // First in, last out: JUCE and its message thread outlive everything below.
    SharedMessageThread::User messageThreadUser;

    AEffect effect {};
    const audioMasterCallback host;
    InstanceCore core;
    VstParameterModel model;
    ChannelLayout layout;
    ChunkStore chunks;
    EditorHost editor;
    ERect bounds {}; // effEditGetRect's answer, valid until the next request

    std::atomic<float> requestedSampleRate { 0.0f };
    bool resumed = false; // effMainsChanged's last word; dispatcher calls only
};
} // namespace tarnwell
