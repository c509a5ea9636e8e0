#pragma once

// A small LV2 host on lilv, an LV2 host library independent of our code: it finds Tarnwell in
// the LV2 path the test runs with (the built bundle's folder and LV2's own bundles),
// instantiates it with urid:map, connects every port and runs it, as port-based hosts do.

#include "host/lv2/Lv2Ports.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tarnwell::test
{
class UridMap
{
public:
    LV2_URID map (const char* uri)
    {
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return static_cast<LV2_URID> (i + 1);
        uris.emplace_back (uri);
        return static_cast<LV2_URID> (uris.size());
    }
    const char* unmap (LV2_URID urid) const
    {
        return urid > 0 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
    }

    LV2_URID_Map mapFeature { this, [] (LV2_URID_Map_Handle h, const char* uri) {
                                 return static_cast<UridMap*> (h)->map (uri);
                             } };
    LV2_URID_Unmap unmapFeature { this, [] (LV2_URID_Unmap_Handle h, LV2_URID u) {
                                     return static_cast<UridMap*> (h)->unmap (u);
                                 } };
    LV2_Feature mapEntry { LV2_URID__map, &mapFeature };
    LV2_Feature unmapEntry { LV2_URID__unmap, &unmapFeature };
    const LV2_Feature* features[3] = { &mapEntry, &unmapEntry, nullptr };

private:
    std::vector<std::string> uris;
};

struct LilvWorldDeleter
{
    void operator() (LilvWorld* w) const { lilv_world_free (w); }
};

// The world, with Tarnwell found in it (plugin is null if not).
class Lv2World
{
public:
    Lv2World() : world (lilv_world_new())
    {
        lilv_world_load_all (world.get());
        LilvNode* uri = lilv_new_uri (world.get(), "https://quennet.audio/plugins/tarnwell");
        plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world.get()), uri);
        lilv_node_free (uri);
    }

    LilvWorld* get() const { return world.get(); }

    std::unique_ptr<LilvWorld, LilvWorldDeleter> world;
    const LilvPlugin* plugin = nullptr;
    UridMap urids;
};

// One instance with every port connected to buffers of this object.
class Lv2Instance
{
public:
    Lv2Instance (Lv2World& w, double sampleRate, int maxFrames)
        : world (w), instance (lilv_plugin_instantiate (w.plugin, sampleRate, w.urids.features))
    {
        for (auto& channel : audio)
            channel.assign (static_cast<size_t> (maxFrames), 0.0f);
        if (instance == nullptr)
            return;

        for (uint32_t port = 0; port < lv2::numPorts; ++port)
            ports[port] = defaultOf (port);
        for (uint32_t port = 0; port < lv2::numPorts; ++port)
            lilv_instance_connect_port (instance, port,
                                        port <= lv2::outRight ? static_cast<void*> (audio[port].data()) : &ports[port]);
        lilv_instance_activate (instance);
    }

    ~Lv2Instance()
    {
        if (instance != nullptr)
        {
            lilv_instance_deactivate (instance);
            lilv_instance_free (instance);
        }
    }

    Lv2Instance (const Lv2Instance&) = delete;
    Lv2Instance& operator= (const Lv2Instance&) = delete;

    float& control (int parameter) { return ports[lv2::portOf (parameter)]; }

    // Runs `frames` frames of the inputs from `offset`, leaving the outputs in out.
    void run (const std::vector<std::vector<float>>& input, size_t offset, int frames,
              std::vector<std::vector<float>>& out)
    {
        for (size_t ch = 0; ch < 2; ++ch)
            std::copy_n (input[ch].begin() + static_cast<std::ptrdiff_t> (offset), frames,
                         audio[lv2::inLeft + ch].begin());
        lilv_instance_run (instance, static_cast<uint32_t> (frames));
        for (size_t ch = 0; ch < 2; ++ch)
            std::copy_n (audio[lv2::outLeft + ch].begin(), frames,
                         out[ch].begin() + static_cast<std::ptrdiff_t> (offset));
    }

    // State through lilv, port values included, as hosts save it.
    LilvState* saveState()
    {
        return lilv_state_new_from_instance (world.plugin, instance, &world.urids.mapFeature, nullptr, nullptr, nullptr,
                                             nullptr, &Lv2Instance::portValue, this,
                                             LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, world.urids.features);
    }

    // withPorts false: the plug-in's own state alone, ports left as they are.
    void restoreState (const LilvState* state, bool withPorts)
    {
        lilv_state_restore (state, instance, withPorts ? &Lv2Instance::setPortValue : nullptr, this, 0,
                            world.urids.features);
    }

    Lv2World& world;
    LilvInstance* const instance;
    std::array<float, lv2::numPorts> ports {};
    std::array<std::vector<float>, 4> audio;

private:
    float defaultOf (uint32_t port) const
    {
        LilvNode* value = nullptr;
        lilv_port_get_range (world.plugin, lilv_plugin_get_port_by_index (world.plugin, port), &value, nullptr,
                             nullptr);
        const float result = value != nullptr ? lilv_node_as_float (value) : 0.0f;
        lilv_node_free (value);
        return result;
    }

    int indexOfSymbol (const char* symbol) const
    {
        for (uint32_t port = 0; port < lv2::numPorts; ++port)
        {
            const LilvNode* s = lilv_port_get_symbol (world.plugin, lilv_plugin_get_port_by_index (world.plugin, port));
            if (std::string (lilv_node_as_string (s)) == symbol)
                return static_cast<int> (port);
        }
        return -1;
    }

    static const void* portValue (const char* symbol, void* self, uint32_t* size, uint32_t* type)
    {
        auto& me = *static_cast<Lv2Instance*> (self);
        const int port = me.indexOfSymbol (symbol);
        *size = sizeof (float);
        *type = me.world.urids.map (LV2_ATOM__Float);
        return port >= 0 ? &me.ports[static_cast<size_t> (port)] : nullptr;
    }

    static void setPortValue (const char* symbol, void* self, const void* value, uint32_t size, uint32_t type)
    {
        auto& me = *static_cast<Lv2Instance*> (self);
        const int port = me.indexOfSymbol (symbol);
        if (port >= 0 && size == sizeof (float) && type == me.world.urids.map (LV2_ATOM__Float))
            me.ports[static_cast<size_t> (port)] = *static_cast<const float*> (value);
    }
};
} // namespace tarnwell::test
