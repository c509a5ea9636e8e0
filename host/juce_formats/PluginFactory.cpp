#include "host/juce_formats/TarnwellAudioProcessor.h"

// The factory every plug-in wrapper calls to make the processor of a new instance.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new tarnwell::TarnwellAudioProcessor();
}
