#include "processor/ProcessorParameter.h"

#include "processor/InstanceCore.h"
#include "processor/ParameterTable.h"

namespace tarnwell
{
ProcessorParameter::ProcessorParameter (InstanceCore& owner, int indexInCore)
    : AudioProcessorParameterWithID (juce::ParameterID { parameters::name (indexInCore), 1 },
                                     parameters::name (indexInCore)),
      core (owner), index (indexInCore)
{}

float ProcessorParameter::getValue() const
{
    return core.parameter (index);
}

void ProcessorParameter::setValue (float newValue)
{
    core.setParameter (index, newValue);
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
    return core.textFor (index, value).substring (0, maximumStringLength);
}

float ProcessorParameter::getValueForText (const juce::String& text) const
{
    // Text that is not a value leaves the parameter as it is.
    return parameters::valueForText (index, text).value_or (getValue());
}
} // namespace tarnwell
