#include "host/vst2/VstEffect.h"

#include "editor/TarnwellEditor.h"
#include "host/vst2/HostText.h"
#include "host/vst2/PluginIdentity.h"

#include <cmath>
#include <cstdio>

namespace tarnwell
{
namespace
{
constexpr double defaultSampleRate = 44100.0;
}

VstEffect* VstEffect::create (audioMasterCallback hostCallback)
{
    return std::make_unique<VstEffect> (hostCallback).release();
}

VstEffect::VstEffect (audioMasterCallback hostCallback)
    : host (hostCallback), model (core.controls(), hostCallback, &effect),
      editor ([this] { return std::make_unique<TarnwellEditor> (model); },
              // The user dragged the editor's corner: the host fits its window (effEditGetRect
              // answers the new size from now on). Hosts need not call effEditIdle, so the
              // request goes out from the editor's thread, as the drag happens.
              [this] (int width, int height) { host (&effect, audioMasterSizeWindow, width, height, nullptr, 0.0f); })
{
    effect.magic = vst::effectMagic;
    effect.dispatcher = &VstEffect::dispatchCallback;
    effect.process = &VstEffect::leaveOutputsCallback;
    effect.setParameter = &VstEffect::setParameterCallback;
    effect.getParameter = &VstEffect::getParameterCallback;
    effect.numPrograms = 0;
    effect.numParams = parameters::count;
    effect.numInputs = identity::numInputs;
    effect.numOutputs = identity::numOutputs;
    effect.flags = identity::effectFlags;
    effect.initialDelay = 0;
    effect.float1 = 1.0f; // ioRatio
    effect.object = this;
    effect.uniqueID = identity::uniqueId;
    effect.version = identity::effectVersion;
    effect.processReplacing = &VstEffect::processReplacingCallback;
    effect.processDoubleReplacing = &VstEffect::leaveDoubleOutputsCallback;
}

VstEffect::~VstEffect()
{
    editor.close();
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

        case effSetSampleRate:
            // A host may set the rate while resumed (Audacity does, just after resuming): it
            // takes effect from the next block, as if the host had suspended and resumed.
            requestedSampleRate = opt;
            if (resumed)
                resume();
            return 0;
        case effMainsChanged:
            // A suspend keeps the tail; the blocks' size is whatever each call brings.
            resumed = value != 0;
            if (resumed)
                resume();
            return 0;

        case effSetSpeakerArrangement:
            return layout.accept (reinterpret_cast<const VstSpeakerArrangement*> (value),
                                  static_cast<const VstSpeakerArrangement*> (ptr))
                ? 1
                : 0;
        case effGetInputProperties:
            return layout.describePin (true, index, static_cast<VstPinProperties*> (ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return layout.describePin (false, index, static_cast<VstPinProperties*> (ptr)) ? 1 : 0;

        // Blocks are far below 2 GiB, so the size fits a 32-bit host's VstIntPtr.
        case effGetChunk:
            return static_cast<VstIntPtr> (chunks.get (core.session(), static_cast<void**> (ptr)));
        case effSetChunk:
            return static_cast<VstIntPtr> (ChunkStore::set (core.session(), ptr, value));

        case effEditOpen:
            return editor.open (ptr) ? 1 : 0;
        case effEditGetRect:
            return editorRect (static_cast<ERect**> (ptr)) ? 1 : 0;
        case effEditClose:
            editor.close();
            return 0;
        case effEditIdle:
            return 0; // JUCE's message loop keeps the editor going
        case effVendorSpecific:
            return index == vst::scaleMessageIndex && value == vst::scaleMessageValue && setHostScale (opt) ? 1 : 0;

        case effGetEffectName:
            copyToHost (ptr, identity::effectName, identity::maxIdentityChars);
            return 1;
        case effGetProductString:
            copyToHost (ptr, identity::productString, identity::maxIdentityChars);
            return 1;
        case effGetVendorString:
            copyToHost (ptr, identity::vendorString, identity::maxIdentityChars);
            return 1;
        case effGetVendorVersion:
            return identity::vendorVersion;
        case effGetPlugCategory:
            return identity::plugCategory;
        case effGetVstVersion:
            return identity::vstVersion;
        case vst::effGetTailSize:
            return identity::tailSize;
        case effIdentify:
            return identity::identifyAnswer;
        case effCanDo:
            return identity::canDo (static_cast<const char*> (ptr));

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
    if (resized && editorRect (&rect))
        host (&effect, audioMasterSizeWindow, rect->right - rect->left, rect->bottom - rect->top, nullptr, 0.0f);
    return true;
}

bool VstEffect::editorRect (ERect** rect)
{
    if (rect == nullptr)
        return false;
    const auto size = editor.size();
    if (! size)
        return false;
    bounds = { 0, 0, static_cast<short> (size->height), static_cast<short> (size->width) };
    *rect = &bounds;
    return true;
}

VstIntPtr VstEffect::dispatchParameterRequest (int opcode, int index, void* ptr)
{
    const bool valid = parameters::isValid (index);

    switch (opcode)
    {
        case effGetParamName:
            copyToHost (ptr, valid ? parameters::name (index) : juce::String(), identity::maxParameterNameChars);
            return 0;
        case effGetParamDisplay:
            copyToHost (ptr, core.controls().parameterText (index), identity::maxParameterTextChars);
            return 0;
        case effGetParamLabel:
            copyToHost (ptr, {}, identity::maxParameterTextChars); // the unit is part of the display text
            return 0;
        case effCanBeAutomated:
            return valid ? 1 : 0;
        default:
            return 0; // effString2Parameter: texts are not parsed
    }
}

// There are no programs: none to choose, and every name is empty.
VstIntPtr VstEffect::dispatchProgramRequest (int opcode, int, void* ptr)
{
    if (opcode == effGetProgramName)
        copyToHost (ptr, {}, identity::maxProgramNameChars);
    return 0;
}

//==============================================================================
// The channel counts are announced on stdout at each resume, as this format always has.
void VstEffect::resume()
{
    const float rate = requestedSampleRate.load();
    const double sampleRate = rate > 0.0f && std::isfinite (rate) ? static_cast<double> (rate) : defaultSampleRate;
    core.session().prepare (sampleRate);

    std::printf ("%d input channels\n", layout.inputs());
    std::printf ("%d output channels\n", layout.outputs());
    std::fflush (stdout);
}

//==============================================================================
// A host that never resumed gets the core as it was made, at 44100 Hz.
void VstEffect::processReplacingCallback (AEffect* e, float** inputs, float** outputs, int numFrames)
{
    if (auto* self = from (e))
        self->core.audio().process (inputs, self->layout.inputs(), outputs, self->layout.outputs(), numFrames);
}

// The accumulating call and double precision are not offered; outputs stay as they are.
void VstEffect::leaveOutputsCallback (AEffect*, float**, float**, int) {}
void VstEffect::leaveDoubleOutputsCallback (AEffect*, double**, double**, int) {}

void VstEffect::setParameterCallback (AEffect* e, int index, float value)
{
    if (auto* self = from (e))
        self->core.controls().setParameter (index, value);
}

float VstEffect::getParameterCallback (AEffect* e, int index)
{
    auto* self = from (e);
    return self != nullptr ? self->core.controls().parameter (index) : 0.0f;
}
} // namespace tarnwell
