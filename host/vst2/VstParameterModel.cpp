#include "host/vst2/VstParameterModel.h"

#include "processor/InstanceCore.h"

namespace tarnwell
{
VstParameterModel::VstParameterModel (InstanceCore& instance, audioMasterCallback hostCallback, AEffect* e)
    : core (instance), host (hostCallback), effect (e)
{}

float VstParameterModel::value (int index) const
{
    return core.parameter (index);
}

juce::String VstParameterModel::text (int index) const
{
    return core.parameterText (index);
}

void VstParameterModel::set (int index, float normalised)
{
    core.setParameter (index, normalised);
    host (effect, audioMasterAutomate, index, 0, nullptr, normalised);
}

void VstParameterModel::beginGesture (int index)
{
    host (effect, audioMasterBeginEdit, index, 0, nullptr, 0.0f);
}

void VstParameterModel::endGesture (int index)
{
    host (effect, audioMasterEndEdit, index, 0, nullptr, 0.0f);
}
} // namespace tarnwell
