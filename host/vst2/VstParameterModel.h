#pragma once

#include "editor/ParameterModel.h"
#include "host/vst2/VstAbi.h"
#include "processor/InstanceCore.h"

namespace tarnwell
{
// The editor's parameters in the VST 2.4 glue: the instance core's values and texts, with the
// user's changes and gestures passed to the host as automation and edit brackets.
// [message-thread] Every call, as the editor makes it: on Linux that is our own message thread,
// so the host's automation callbacks come from there, not from its GUI thread.
class VstParameterModel final : public ParameterModel
{
public:
    // The core and the effect outlive the model.
    VstParameterModel (InstanceCore::Controls, audioMasterCallback host, AEffect* effect);

    float value (int index) const override;
    juce::String text (int index) const override;
    void set (int index, float normalised) override;
    void beginGesture (int index) override;
    void endGesture (int index) override;

private:
    const InstanceCore::Controls controls;
    const audioMasterCallback host;
    AEffect* const effect;
};
} // namespace tarnwell
