#include "processor/FactoryPresets.h"

#include <cctype>
#include <iterator>

namespace tarnwell::factoryPresets
{
namespace
{
// Normalised values chosen so that each shows a round number: T60 = 10 s × v,
// Transition = 50 Hz × 320^v, Mix and Diffusion = v. The comments give what they show.
// Ordered from the smallest space to the longest, then the effects.
const FactoryPreset table[] = {
    // 0.30 s, 0.20 s, 4000 Hz, 15 %, 70 %
    { "Close Ambience",
      "a hint of space around a dry voice or instrument",
      { 0.03f, 0.02f, 0.759671092f, 0.15f, 0.7f } },
    // 0.50 s, 0.30 s, 3000 Hz, 20 %, 70 %
    { "Small Room", "a small furnished room", { 0.05f, 0.03f, 0.709798336f, 0.2f, 0.7f } },
    // 0.70 s, 0.70 s, 8000 Hz, 20 %, 80 %
    { "Bright Room", "a small room with hard walls, highs undamped", { 0.07f, 0.07f, 0.879835546f, 0.2f, 0.8f } },
    // 0.80 s, 0.50 s, 2500 Hz, 25 %, 60 %
    { "Drum Room", "a live room for drums, some early grain left in", { 0.08f, 0.05f, 0.678190947f, 0.25f, 0.6f } },
    // 1.00 s, 0.45 s, 1200 Hz, 25 %, 75 %
    { "Wood Studio", "a warm studio, its highs soaked up by wood", { 0.1f, 0.045f, 0.550949574f, 0.25f, 0.75f } },
    // 1.40 s, 0.90 s, 2000 Hz, 30 %, 85 %
    { "Chamber", "an echo chamber: dense, even, medium length", { 0.14f, 0.09f, 0.639506638f, 0.3f, 0.85f } },
    // 1.80 s, 1.50 s, 5000 Hz, 30 %, 100 %
    { "Bright Plate",
      "a smooth, bright and dense decay for vocals and snare",
      { 0.18f, 0.15f, 0.798355401f, 0.3f, 1.0f } },
    // 2.20 s, 1.40 s, 1500 Hz, 30 %, 85 %
    { "Concert Hall", "a hall for orchestra and piano", { 0.22f, 0.14f, 0.589633882f, 0.3f, 0.85f } },
    // 2.50 s, 2.00 s, 6000 Hz, 30 %, 30 %
    { "Stone Corridor", "a long bare corridor, its echoes left apart", { 0.25f, 0.2f, 0.82996279f, 0.3f, 0.3f } },
    // 3.00 s, 0.80 s, 800 Hz, 30 %, 90 %
    { "Dark Hall", "a large hall whose highs die early", { 0.3f, 0.08f, 0.480657846f, 0.3f, 0.9f } },
    // 4.00 s, 2.00 s, 1000 Hz, 35 %, 90 %
    { "Church", "a stone church", { 0.4f, 0.2f, 0.519342184f, 0.35f, 0.9f } },
    // 6.00 s, 0.40 s, 200 Hz, 40 %, 80 %
    { "Dark Cave", "a deep cave: a long low rumble, almost no highs", { 0.6f, 0.04f, 0.240328923f, 0.4f, 0.8f } },
    // 7.00 s, 3.00 s, 800 Hz, 40 %, 100 %
    { "Cathedral", "a very long space for slow music", { 0.7f, 0.3f, 0.480657846f, 0.4f, 1.0f } },
    // 10.00 s, 6.00 s, 2000 Hz, 50 %, 100 %
    { "Endless Wash", "an effect: the longest decay, a pad under anything", { 1.0f, 0.6f, 0.639506638f, 0.5f, 1.0f } },
    // 1.50 s, 1.20 s, 4000 Hz, 40 %, 0 %
    { "Sparse Echoes",
      "an effect: no diffusion, a metallic cloud of echoes",
      { 0.15f, 0.12f, 0.759671092f, 0.4f, 0.0f } },
};
} // namespace

int count() noexcept
{
    return static_cast<int> (std::size (table));
}

const FactoryPreset* at (int index) noexcept
{
    return index >= 0 && index < count() ? &table[index] : nullptr;
}

const FactoryPreset* find (const juce::String& name) noexcept
{
    for (const auto& preset : table)
        if (name.equalsIgnoreCase (preset.name))
            return &preset;
    return nullptr;
}

std::string slug (const FactoryPreset& preset)
{
    std::string result;
    for (const char* c = preset.name; *c != 0; ++c)
        result += *c == ' ' ? '-' : static_cast<char> (std::tolower (static_cast<unsigned char> (*c)));
    return result;
}
} // namespace tarnwell::factoryPresets
