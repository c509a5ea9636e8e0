#pragma once

#include "host/lv2/Lv2Ports.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <memory>

namespace tarnwell::lv2
{
// One plug-in instance as an LV2 host sees it: the ports, run, and the saved settings
// through the state interface. Control ports reach the processor at the start of each run,
// through the same parameter objects VST 2.4 automation uses.
class Lv2Plugin
{
public:
    // Null if the processor cannot be made. Without urid:map the instance has no state.
    static Lv2Plugin* create (double sampleRate, const LV2_Feature* const* features);

    Lv2Plugin (double sampleRate, const LV2_URID_Map* map);

    void connect (std::uint32_t port, void* data) noexcept;
    void activate();
    void run (std::uint32_t frames) noexcept;
    void deactivate();

    LV2_State_Status save (LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    juce::AudioProcessor& getProcessor() noexcept { return *processor; }

private:
    void prepare();
    void applyControlPorts() noexcept;

    // A control value the processor has been given, so unchanged ports cost nothing. Until
    // the first run nothing has been given: a new instance takes every port's value.
    struct Applied
    {
        float value = 0.0f;
        bool known = false;
    };

    const std::unique_ptr<juce::AudioProcessor> processor;
    const double sampleRate;
    const LV2_URID stateKey, stringType; // 0 without urid:map

    std::array<juce::AudioProcessorParameter*, parameters::count> parameterObjects {};
    std::array<float*, 4> audio {};
    std::array<const float*, parameters::count> controls {};
    float* latencyOut = nullptr;
    std::array<Applied, parameters::count> applied {};
    bool deactivated = false;

    // Audio thread only: a view of the host's buffers, never allocating.
    juce::AudioBuffer<float> inPlace;
    juce::MidiBuffer noMidi;
};
} // namespace tarnwell::lv2
