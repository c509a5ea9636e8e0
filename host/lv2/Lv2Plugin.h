#pragma once

#include "host/lv2/BypassCrossfade.h"
#include "host/lv2/Lv2Ports.h"
#include "processor/InstanceCore.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>

namespace tarnwell::lv2
{
// One plug-in instance as an LV2 host sees it: the ports, run, and the saved settings
// through the state interface, each translated into the instance core. Control ports reach
// the core at the start of each run.
//
// Threads, as processor/InstanceCore.h marks them, from LV2's threading classes: instantiation
// calls are [main-thread] and never overlap any other call on the instance, run included.
class Lv2Plugin
{
public:
    // [main-thread] Without urid:map the instance has no state.
    static Lv2Plugin* create (double sampleRate, const LV2_Feature* const* features);

    Lv2Plugin (double sampleRate, const LV2_URID_Map* map);

    // [audio-thread] (LV2's audio class: never during run, whichever thread calls it)
    void connect (std::uint32_t port, void* data) noexcept;
    // [main-thread] (instantiation class)
    void activate();
    // [audio-thread]
    void run (std::uint32_t frames) noexcept;
    // [main-thread] (instantiation class)
    void deactivate();

    // [main-thread] save may overlap run; restore is of the instantiation class and never does.
    LV2_State_Status save (LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
    // [audio-thread] Parts of run.
    void applyControlPorts (InstanceCore::Audio) noexcept;
    void runFading (InstanceCore::Audio, int frames, bool on) noexcept;

    // A control value the core has been given, so unchanged ports cost nothing. Until the
    // first run nothing has been given: a new instance takes every port's value.
    struct Applied
    {
        float value = 0.0f;
        bool known = false;
    };

    InstanceCore core;
    const LV2_URID stateKey, stringType; // 0 without urid:map

    std::array<float*, 4> audio {};
    std::array<const float*, parameters::count> controls {};
    float* latencyOut = nullptr;
    const float* enabledIn = nullptr;
    std::array<Applied, parameters::count> applied {};
    const double sampleRate;
    bool deactivated = false;

    // Switching off and on: the dry input as it was before the network wrote over it.
    BypassCrossfade bypass;
    std::array<std::array<float, InstanceCore::maxPiece>, 2> dry {};
};
} // namespace tarnwell::lv2
