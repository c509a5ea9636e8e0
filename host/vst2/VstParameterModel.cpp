#include "host/vst2/VstParameterModel.h"

namespace tarnwell
{
VstParameterModel::VstParameterModel (InstanceCore::Controls coreControls, audioMasterCallback hostCallback, AEffect* e)
    : controls (coreControls), host (hostCallback), effect (e)
{}

float VstParameterModel::value (int index) const
{
    return controls.parameter (index);
}

juce::String VstParameterModel::text (int index) const
{
    return controls.parameterText (index);
}

void VstParameterModel::set (int index, float normalised)
{
    controls.setParameter (index, normalised);
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
