#include "host/standalone/DeviceChoice.h"

#include <memory>

namespace tarnwell::standalone
{
juce::String deviceToPrefer (const juce::PropertySet& settings)
{
    // Where JUCE's standalone holder keeps the device choice: empty until the user makes one.
    if (settings.getXmlValue ("audioSetup") != nullptr)
        return {};

    // Lists JACK's clients only while a server runs; it never starts one.
    const std::unique_ptr<juce::AudioIODeviceType> jack (juce::AudioIODeviceType::createAudioIODeviceType_JACK());
    if (jack == nullptr)
        return {};
    jack->scanForDevices();
    const auto outputs = jack->getDeviceNames (false);
    return outputs[jack->getDefaultDeviceIndex (false)];
}
} // namespace tarnwell::standalone
