#include "host/juce_formats/ProcessorParameter.h"

#include "processor/ParameterTable.h"

namespace tarnwell
{
ProcessorParameter::ProcessorParameter (InstanceCore::Controls owner, int indexInCore)
    : AudioProcessorParameterWithID (juce::ParameterID { parameters::name (indexInCore), 1 },
                                     parameters::name (indexInCore)),
      controls (owner), index (indexInCore)
{}

float ProcessorParameter::getValue() const
{
    return controls.parameter (index);
}

void ProcessorParameter::setValue (float newValue)
{
    controls.setParameter (index, newValue);
}

float ProcessorParameter::getDefaultValue() const
{
    return static_cast<float> (parameters::storedDefault (index));
}

juce::String ProcessorParameter::getName (int maximumStringLength) const
{
    return parameters::name (index).substring (0, maximumStringLength);
}

juce::String ProcessorParameter::getLabel() const
{
    return {}; // the unit is part of the text
}

juce::String ProcessorParameter::getText (float value, int maximumStringLength) const
{
    return controls.textFor (index, value).substring (0, maximumStringLength);
}

float ProcessorParameter::getValueForText (const juce::String& text) const
{
    // Text that is not a value leaves the parameter as it is.
    return parameters::valueForText (index, text).value_or (getValue());
}
} // namespace tarnwell
