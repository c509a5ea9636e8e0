// The exported clap_entry: Tarnwell's one plug-in through the plug-in factory.

#include "host/clap/ClapDescriptor.h"
#include "host/clap/ClapPlugin.h"
#include "host/clap/ClapPresets.h"

#include <cstring>

namespace tarnwell
{
namespace
{
// [main-thread] (all three)
std::uint32_t TARNWELL_CLAP_CALL pluginCount (const clap::PluginFactory*)
{
    return 1;
}

const clap::PluginDescriptor* TARNWELL_CLAP_CALL pluginDescriptor (const clap::PluginFactory*, std::uint32_t index)
{
    return index == 0 ? &clapDescriptor() : nullptr;
}

const clap::Plugin* TARNWELL_CLAP_CALL createPlugin (const clap::PluginFactory*, const clap::Host* host, const char* id)
{
    if (host == nullptr || id == nullptr || std::strcmp (id, clapPluginId) != 0)
        return nullptr;
    try
    {
        return ClapPlugin::create (host);
    }
    catch (...)
    {
        return nullptr;
    }
}

const clap::PluginFactory factory { &pluginCount, &pluginDescriptor, &createPlugin };

// [main-thread] Nothing to set up or leave: JUCE's message thread starts with the first
// editor and ends with the last instance, as in the other formats.
bool TARNWELL_CLAP_CALL init (const char*)
{
    return true;
}
void TARNWELL_CLAP_CALL deinit() {}

// [thread-safe] The plug-ins, and the presets for hosts that index them.
const void* TARNWELL_CLAP_CALL getFactory (const char* id)
{
    const auto is = [id] (const char* name) { return id != nullptr && std::strcmp (id, name) == 0; };
    if (is (clap::pluginFactoryId))
        return &factory;
    if (is (clap::presetDiscoveryFactoryId) || is (clap::presetDiscoveryFactoryDraftId))
        return &clapPresetDiscoveryFactory();
    return nullptr;
}
} // namespace
} // namespace tarnwell

// In the DLL, exports.def names it.
#ifdef _WIN32
#define TARNWELL_CLAP_EXPORT
#else
#define TARNWELL_CLAP_EXPORT __attribute__ ((visibility ("default")))
#endif

extern "C" TARNWELL_CLAP_EXPORT const tarnwell::clap::PluginEntry clap_entry { tarnwell::clap::version, &tarnwell::init,
                                                                               &tarnwell::deinit,
                                                                               &tarnwell::getFactory };
