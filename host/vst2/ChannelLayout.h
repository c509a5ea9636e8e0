#pragma once

#include "host/vst2/VstAbi.h"

#include <atomic>

namespace tarnwell
{
// The channel configuration a host chose: (1, 1), (1, 2) or (2, 2), starting at (2, 2), and
// the pin properties that follow from it.
class ChannelLayout
{
public:
    static bool isSupported (int inputs, int outputs) noexcept;

    // [main-thread]
    // effSetSpeakerArrangement: takes the counts and types if supported. Reads only the two
    // header fields, as FST leaves the speaker array open-ended. Null is refused.
    bool accept (const VstSpeakerArrangement* in, const VstSpeakerArrangement* out) noexcept;

    // [main-thread]
    // effGetInputProperties / effGetOutputProperties for pins 0 and 1; false for any other pin.
    bool describePin (bool isInput, int pin, VstPinProperties* props) const;

    // [thread-safe] The counts processing plays with.
    int inputs() const noexcept { return numInputs.load(); }
    int outputs() const noexcept { return numOutputs.load(); }

private:
    std::atomic<int> numInputs { 2 }, numOutputs { 2 };
    std::atomic<int> inputType { 0 }, outputType { 0 };
    std::atomic<bool> arrangementAccepted { false };
};
} // namespace tarnwell
