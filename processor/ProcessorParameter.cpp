#include "processor/ProcessorParameter.h"

#include "processor/ParameterTable.h"
#include "processor/TarnwellAudioProcessor.h"

namespace tarnwell
{
ProcessorParameter::ProcessorParameter (TarnwellAudioProcessor& owner, int indexInProcessor)
    : AudioProcessorParameterWithID (juce::ParameterID { parameters::name (indexInProcessor), 1 },
                                     parameters::name (indexInProcessor)),
      processor (owner), index (indexInProcessor)
{
}

float ProcessorParameter::getValue() const { return processor.getParameter (index); }

void ProcessorParameter::setValue (float newValue) { processor.setParameter (index, newValue); }

float ProcessorParameter::getDefaultValue() const
{
    return static_cast<float> (parameters::storedDefault (index));
}

juce::String ProcessorParameter::getName (int maximumStringLength) const
{
    return processor.getParameterName (index).substring (0, maximumStringLength);
}

juce::String ProcessorParameter::getLabel() const
{
    return {}; // the unit is part of the text
}

juce::String ProcessorParameter::getText (float value, int maximumStringLength) const
{
    // The current value reads as the processor's own text, which shows the engine's value.
    const auto text = value == getValue() ? processor.getParameterText (index)
                                          : parameters::text (index, parameters::engineValue (index, parameters::clamped (value)));
    return text.substring (0, maximumStringLength);
}

float ProcessorParameter::getValueForText (const juce::String& text) const
{
    return text.getFloatValue();
}
} // namespace tarnwell
