// The plug-in's LV2 entry point, its descriptor: the DSP binary's only exported symbol. The UI
// has a binary of its own (Lv2UiEntry.cpp), so a host that never shows it loads nothing that
// draws. No exception crosses into the host. Each call's thread is that of the Lv2Plugin method
// it forwards to.

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Plugin.h"

#include <cstring>

namespace
{
using tarnwell::lv2::Lv2Plugin;

Lv2Plugin* plugin (LV2_Handle h)
{
    return static_cast<Lv2Plugin*> (h);
}

LV2_Handle instantiate (const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features)
{
    try
    {
        return Lv2Plugin::create (sampleRate, features);
    }
    catch (...)
    {
        return nullptr;
    }
}

void connectPort (LV2_Handle h, uint32_t port, void* data)
{
    plugin (h)->connect (port, data);
}
void activate (LV2_Handle h)
{
    plugin (h)->activate();
}
void run (LV2_Handle h, uint32_t frames)
{
    plugin (h)->run (frames);
}
void deactivate (LV2_Handle h)
{
    plugin (h)->deactivate();
}
void cleanup (LV2_Handle h)
{
    delete plugin (h);
}

LV2_State_Status save (LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                       const LV2_Feature* const*)
{
    try
    {
        return plugin (h)->save (store, handle);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restore (LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                          const LV2_Feature* const*)
{
    try
    {
        return plugin (h)->restore (retrieve, handle);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

const void* extensionData (const char* uri)
{
    static const LV2_State_Interface state { &save, &restore };
    return std::strcmp (uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor pluginDescriptor {
    tarnwell::lv2::pluginUri, &instantiate, &connectPort, &activate, &run, &deactivate, &cleanup, &extensionData
};
} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
    return index == 0 ? &pluginDescriptor : nullptr;
}
