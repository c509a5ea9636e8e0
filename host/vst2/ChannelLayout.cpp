#include "host/vst2/ChannelLayout.h"

#include "host/vst2/HostText.h"
#include "host/vst2/PluginIdentity.h"

#include <cstring>

namespace tarnwell
{
bool ChannelLayout::isSupported (int inputs, int outputs) noexcept
{
    return (inputs == 1 && outputs == 1) || (inputs == 1 && outputs == 2) || (inputs == 2 && outputs == 2);
}

bool ChannelLayout::accept (const VstSpeakerArrangement* in, const VstSpeakerArrangement* out) noexcept
{
    if (in == nullptr || out == nullptr || ! isSupported (in->numChannels, out->numChannels))
        return false;

    numInputs = in->numChannels;
    numOutputs = out->numChannels;
    inputType = in->type;
    outputType = out->type;
    arrangementAccepted = true;
    return true;
}

bool ChannelLayout::describePin (bool isInput, int pin, VstPinProperties* props) const
{
    if (props == nullptr || pin < 0 || pin >= 2)
        return false;

    // Pins are named by their number and paired as stereo, as the processor names its
    // channels for JUCE's wrappers.
    const auto name = juce::String (pin + 1);

    // Only the fields FST knows: a host's structure may be no larger.
    std::memset (props->label, 0, sizeof (props->label));
    std::memset (props->shortLabel, 0, sizeof (props->shortLabel));
    copyToHost (props->label, name, identity::maxPinLabelChars);
    copyToHost (props->shortLabel, name, identity::maxPinShortLabelChars);

    if (arrangementAccepted)
    {
        props->flags = vst::pinUseSpeaker;
        props->arrangementType = isInput ? inputType.load() : outputType.load();
    }
    else
    {
        props->flags = vst::pinIsActive | vst::pinIsStereo;
        props->arrangementType = 0;
    }
    return true;
}
} // namespace tarnwell
