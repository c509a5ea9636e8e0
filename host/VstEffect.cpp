#include "host/VstEffect.h"

#include "host/HostText.h"
#include "host/PluginIdentity.h"
#include "processor/TarnwellAudioProcessor.h"

#include <algorithm>
#include <cstring>

// The processor factory, in the shared code.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

namespace tarnwell
{
namespace
{
    constexpr double defaultSampleRate = 44100.0;
    constexpr int defaultBlockSize = 1024;
    constexpr int maxChannels = 2;
}

VstEffect* VstEffect::create (audioMasterCallback hostCallback)
{
    auto instance = std::make_unique<VstEffect> (hostCallback);
    return instance->processor != nullptr ? instance.release() : nullptr;
}

VstEffect::VstEffect (audioMasterCallback hostCallback)
    : host (hostCallback),
      processor (createPluginFilter()),
      ownProcessor (dynamic_cast<TarnwellAudioProcessor*> (processor.get())),
      editor (processor.get())
{
    if (processor == nullptr)
        return;

    effect.magic = vst::effectMagic;
    effect.dispatcher = &VstEffect::dispatchCallback;
    effect.process = &VstEffect::leaveOutputsCallback;
    effect.setParameter = &VstEffect::setParameterCallback;
    effect.getParameter = &VstEffect::getParameterCallback;
    effect.numPrograms = processor->getNumPrograms();
    effect.numParams = processor->getParameters().size();
    effect.numInputs = identity::numInputs;
    effect.numOutputs = identity::numOutputs;
    effect.flags = identity::effectFlags;
    effect.initialDelay = processor->getLatencySamples();
    effect.float1 = 1.0f; // ioRatio
    effect.object = this;
    effect.uniqueID = identity::uniqueId;
    effect.version = identity::effectVersion;
    effect.processReplacing = &VstEffect::processReplacingCallback;
    effect.processDoubleReplacing = &VstEffect::leaveDoubleOutputsCallback;

    processor->setPlayConfigDetails (identity::numInputs, identity::numOutputs, 0.0, 0);
    processor->addListener (this);
}

VstEffect::~VstEffect()
{
    if (processor != nullptr)
    {
        editor.close();
        processor->removeListener (this);
    }
}

VstEffect* VstEffect::from (AEffect* e) noexcept
{
    return e != nullptr ? static_cast<VstEffect*> (e->object) : nullptr;
}

//==============================================================================
VstIntPtr VstEffect::dispatchCallback (AEffect* e, int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    auto* self = from (e);
    if (self == nullptr)
        return 0;

    if (opcode == effClose)
    {
        delete self;
        return 1;
    }

    // No exception may cross into the host.
    try
    {
        return self->dispatch (opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        return 0;
    }
}

VstIntPtr VstEffect::dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
        case effOpen:
            if (editor.probe())
                effect.flags |= effFlagsHasEditor;
            else
                effect.flags &= ~static_cast<VstIntPtr> (effFlagsHasEditor);
            return 0;

        case effSetSampleRate: requestedSampleRate = opt; return 0;
        case effSetBlockSize: requestedBlockSize = static_cast<int> (std::clamp<VstIntPtr> (value, 0, 1 << 24)); return 0;
        case effMainsChanged:
            if (value != 0)
                resume();
            else
                suspend();
            return 0;

        case effSetSpeakerArrangement:
            return setSpeakerArrangement (reinterpret_cast<const VstSpeakerArrangement*> (value),
                                          static_cast<const VstSpeakerArrangement*> (ptr)) ? 1 : 0;
        case effGetInputProperties:
            return layout.describePin (*processor, true, index, static_cast<VstPinProperties*> (ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return layout.describePin (*processor, false, index, static_cast<VstPinProperties*> (ptr)) ? 1 : 0;

        // Blocks are far below 2 GiB, so the size fits a 32-bit host's VstIntPtr.
        case effGetChunk: return static_cast<VstIntPtr> (chunks.get (*processor, index == 0, static_cast<void**> (ptr)));
        case effSetChunk: return static_cast<VstIntPtr> (ChunkStore::set (*processor, index == 0, ptr, value));

        case effEditOpen: return editor.open (ptr) ? 1 : 0;
        case effEditGetRect: return editor.getRect (static_cast<ERect**> (ptr)) ? 1 : 0;
        case effEditClose: editor.close(); return 0;
        case effEditIdle: return 0; // JUCE's message loop keeps the editor going
        case effVendorSpecific:
            return index == vst::scaleMessageIndex && value == vst::scaleMessageValue && setHostScale (opt) ? 1 : 0;

        case effGetEffectName: copyToHost (ptr, identity::effectName, identity::maxIdentityChars); return 1;
        case effGetProductString: copyToHost (ptr, identity::productString, identity::maxIdentityChars); return 1;
        case effGetVendorString: copyToHost (ptr, identity::vendorString, identity::maxIdentityChars); return 1;
        case effGetVendorVersion: return identity::vendorVersion;
        case effGetPlugCategory: return identity::plugCategory;
        case effGetVstVersion: return identity::vstVersion;
        case vst::effGetTailSize: return identity::tailSize;
        case effIdentify: return identity::identifyAnswer;
        case effCanDo: return identity::canDo (static_cast<const char*> (ptr));

        case effGetParamName:
        case effGetParamDisplay:
        case effGetParamLabel:
        case effCanBeAutomated:
        case effString2Parameter:
            return dispatchParameterRequest (opcode, index, ptr);

        case effGetProgram:
        case effSetProgram:
        case effGetProgramName:
        case effSetProgramName:
        case effGetProgramNameIndexed:
            return dispatchProgramRequest (opcode, index, ptr);

        default:
            // Bypass, events, idle and the rest: the plain VST 2.4 answer, touching nothing.
            return 0;
    }
}

bool VstEffect::setHostScale (float scale)
{
    bool resized = false;
    if (! editor.setHostScale (scale, resized))
        return false;

    // The editor's window grew or shrank inside the host's: ask the host to fit it.
    ERect* rect = nullptr;
    if (resized && editor.getRect (&rect))
        host (&effect, audioMasterSizeWindow, rect->right - rect->left, rect->bottom - rect->top, nullptr, 0.0f);
    return true;
}

VstIntPtr VstEffect::dispatchParameterRequest (int opcode, int index, void* ptr)
{
    auto* p = parameter (index);

    switch (opcode)
    {
        case effGetParamName:
            copyToHost (ptr, p != nullptr ? p->getName (identity::maxParameterNameChars) : juce::String(),
                        identity::maxParameterNameChars);
            return 0;
        case effGetParamDisplay:
            copyToHost (ptr, p != nullptr ? p->getCurrentValueAsText() : juce::String(), identity::maxParameterTextChars);
            return 0;
        case effGetParamLabel:
            copyToHost (ptr, {}, identity::maxParameterTextChars); // the unit is part of the display text
            return 0;
        case effCanBeAutomated:
            return p != nullptr && p->isAutomatable() ? 1 : 0;
        default:
            return 0; // effString2Parameter: texts are not parsed
    }
}

VstIntPtr VstEffect::dispatchProgramRequest (int opcode, int index, void* ptr)
{
    switch (opcode)
    {
        case effGetProgram: return processor->getCurrentProgram();
        case effGetProgramName:
            copyToHost (ptr, processor->getProgramName (processor->getCurrentProgram()), identity::maxProgramNameChars);
            return 0;
        case effSetProgramName:
            if (ptr != nullptr)
                processor->changeProgramName (processor->getCurrentProgram(), textFromHost (ptr, identity::maxProgramNameChars));
            return 0;
        case effGetProgramNameIndexed:
            if (index < 0 || index >= processor->getNumPrograms())
                return 0;
            copyToHost (ptr, processor->getProgramName (index), identity::maxProgramNameChars);
            return ptr != nullptr ? 1 : 0;
        default:
            return 0; // effSetProgram: there are no programs to choose
    }
}

juce::AudioProcessorParameter* VstEffect::parameter (int index) const noexcept
{
    const auto& params = processor->getParameters();
    return index >= 0 && index < params.size() ? params.getUnchecked (index) : nullptr;
}

//==============================================================================
int VstEffect::requestedOrDefaultBlockSize() const noexcept
{
    const int block = requestedBlockSize.load();
    return block > 0 ? block : defaultBlockSize;
}

void VstEffect::resume()
{
    const float rate = requestedSampleRate.load();
    const double sampleRate = rate > 0.0f && std::isfinite (rate) ? static_cast<double> (rate) : defaultSampleRate;
    const int blockSize = requestedOrDefaultBlockSize();

    processor->setPlayConfigDetails (layout.inputs(), layout.outputs(), sampleRate, blockSize);
    processor->prepareToPlay (sampleRate, blockSize);
    preparedBlockSize = blockSize;
    everResumed = true;
}

void VstEffect::suspend()
{
    processor->releaseResources();
}

bool VstEffect::setSpeakerArrangement (const VstSpeakerArrangement* in, const VstSpeakerArrangement* out)
{
    if (! layout.accept (in, out))
        return false;

    processor->setPlayConfigDetails (layout.inputs(), layout.outputs(), processor->getSampleRate(), processor->getBlockSize());
    return true;
}

//==============================================================================
void VstEffect::processReplacing (float** inputs, float** outputs, int numFrames) noexcept
{
    if (inputs == nullptr || outputs == nullptr || numFrames <= 0)
        return;

    const int ins = std::min (layout.inputs(), maxChannels);
    const int outs = std::min (layout.outputs(), maxChannels);
    const int channels = std::max (ins, outs);

    for (int ch = 0; ch < ins; ++ch)
        if (inputs[ch] == nullptr)
            return;
    for (int ch = 0; ch < outs; ++ch)
        if (outputs[ch] == nullptr)
            return;

    // A host may send more frames than the block size it set; the processor only ever sees
    // blocks of the size it was prepared for. A host that never resumed gets the processor as
    // it was made, at 44100 Hz: preparing it here would lock and print on the audio thread.
    const int piece = std::max (1, everResumed.load() ? preparedBlockSize.load() : requestedOrDefaultBlockSize());

    // Separate buffers go to the network as they are: copying the input into the output first
    // costs several per cent of the network's own time, the more the larger the block. That
    // needs every output to be its own input or no input at all.
    bool inPlaceAlready = true, separable = true;
    for (int out = 0; out < outs; ++out)
        for (int in = 0; in < ins; ++in)
        {
            if (in == out)
                inPlaceAlready = inPlaceAlready && outputs[out] == inputs[in];
            else
                separable = separable && outputs[out] != inputs[in];
        }

    if (! inPlaceAlready && separable && ownProcessor != nullptr)
    {
        for (int start = 0; start < numFrames; start += piece)
        {
            const float* in[maxChannels] {};
            float* out[maxChannels] {};
            for (int ch = 0; ch < ins; ++ch)
                in[ch] = inputs[ch] + start;
            for (int ch = 0; ch < outs; ++ch)
                out[ch] = outputs[ch] + start;
            ownProcessor->processSeparate (in, out, std::min (piece, numFrames - start));
        }
        return;
    }

    // Otherwise the processor works in place: each output buffer first receives its input.
    float* inPlaceChannels[maxChannels] {};
    for (int ch = 0; ch < channels; ++ch)
        inPlaceChannels[ch] = ch < outs ? outputs[ch] : inputs[ch];
    for (int ch = 0; ch < std::min (ins, outs); ++ch)
        if (inputs[ch] != outputs[ch])
            std::memmove (outputs[ch], inputs[ch], sizeof (float) * static_cast<size_t> (numFrames));

    for (int start = 0; start < numFrames; start += piece)
    {
        inPlace.setDataToReferTo (inPlaceChannels, channels, start, std::min (piece, numFrames - start));
        processor->processBlock (inPlace, noMidi);
    }
}

void VstEffect::processReplacingCallback (AEffect* e, float** inputs, float** outputs, int numFrames)
{
    if (auto* self = from (e))
        self->processReplacing (inputs, outputs, numFrames);
}

// The accumulating call and double precision are not offered; outputs stay as they are.
void VstEffect::leaveOutputsCallback (AEffect*, float**, float**, int) {}
void VstEffect::leaveDoubleOutputsCallback (AEffect*, double**, double**, int) {}

void VstEffect::setParameterCallback (AEffect* e, int index, float value)
{
    if (auto* self = from (e))
        if (auto* p = self->parameter (index))
            p->setValue (value);
}

float VstEffect::getParameterCallback (AEffect* e, int index)
{
    if (auto* self = from (e))
        if (auto* p = self->parameter (index))
            return p->getValue();
    return 0.0f;
}

//==============================================================================
void VstEffect::audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value)
{
    host (&effect, audioMasterAutomate, index, 0, nullptr, value);
}

void VstEffect::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index)
{
    host (&effect, audioMasterBeginEdit, index, 0, nullptr, 0.0f);
}

void VstEffect::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index)
{
    host (&effect, audioMasterEndEdit, index, 0, nullptr, 0.0f);
}
} // namespace tarnwell
