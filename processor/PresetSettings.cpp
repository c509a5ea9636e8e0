#include "processor/PresetSettings.h"

#include "processor/SavedSettings.h"

namespace tarnwell
{
juce::MemoryBlock presetSettings (const FactoryPreset& preset)
{
    juce::ValueTree properties ("properties");
    for (int i = 0; i < parameters::count; ++i)
        properties.setProperty (parameters::propertyId (i),
                                static_cast<double> (preset.normalised[static_cast<size_t> (i)]), nullptr);
    juce::MemoryBlock block;
    writeSavedSettings (properties, block);
    return block;
}
} // namespace tarnwell
