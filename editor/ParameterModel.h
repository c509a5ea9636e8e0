#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell
{
// The five parameters as the editor sees them, whichever way it is hosted: the JUCE processor's
// parameter objects, the VST 2.4 glue, or an LV2 UI speaking the port protocol. Indices are
// 0..4. [message-thread] Every call, as the editor makes it.
class ParameterModel
{
public:
    virtual ~ParameterModel() = default;

    // The current normalised value, and its readout ("3.50 sec" and the like).
    virtual float value (int index) const = 0;
    virtual juce::String text (int index) const = 0;

    // A change the user made: taken at once, and passed on to the host as automation.
    virtual void set (int index, float normalised) = 0;

    // The brackets around the user's changes that the host records as one gesture.
    virtual void beginGesture (int index) = 0;
    virtual void endGesture (int index) = 0;
};
} // namespace tarnwell
