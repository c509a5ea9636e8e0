#include "host/clap/ClapPresets.h"

#include "host/ProductIdentity.h"
#include "host/clap/ClapDescriptor.h"
#include "host/clap/ClapPlugin.h"
#include "processor/FactoryPresets.h"
#include "processor/PresetSettings.h"

#include <cstring>
#include <memory>

namespace tarnwell
{
namespace
{
constexpr const char* providerId = "audio.quennet.tarnwell.factory-presets";

const clap::PresetProviderDescriptor providerDescriptor { clap::version, providerId, "Tarnwell factory presets",
                                                          product::vendor };

const FactoryPreset* presetOf (const char* loadKey)
{
    for (int i = 0; loadKey != nullptr && i < factoryPresets::count(); ++i)
        if (factoryPresets::slug (*factoryPresets::at (i)) == loadKey)
            return factoryPresets::at (i);
    return nullptr;
}

// A provider holds only its indexer: the presets are the plug-in's own table.
struct Provider
{
    clap::PresetProvider record;
    const clap::PresetIndexer* indexer;
};

// Every provider call: [main-thread] of the indexer, which need not be the host's.
bool TARNWELL_CLAP_CALL providerInit (const clap::PresetProvider* p)
{
    const auto* indexer = static_cast<const Provider*> (p->providerData)->indexer;
    const clap::PresetLocation inThePlugin { clap::presetIsFactoryContent, "Tarnwell factory presets",
                                             clap::presetLocationPlugin, nullptr };
    return indexer->declareLocation != nullptr && indexer->declareLocation (indexer, &inThePlugin);
}

void TARNWELL_CLAP_CALL providerDestroy (const clap::PresetProvider* p)
{
    delete static_cast<const Provider*> (p->providerData);
}

bool TARNWELL_CLAP_CALL metadata (const clap::PresetProvider*, std::uint32_t kind, const char* location,
                                  const clap::PresetMetadataReceiver* receiver)
{
    if (kind != clap::presetLocationPlugin || location != nullptr || receiver == nullptr)
        return false;
    try
    {
        const clap::UniversalPluginId plugin { "clap", clapPluginId };
        for (int i = 0; i < factoryPresets::count(); ++i)
        {
            const auto& preset = *factoryPresets::at (i);
            if (! receiver->beginPreset (receiver, preset.name, factoryPresets::slug (preset).c_str()))
                break;
            receiver->addPluginId (receiver, &plugin);
            receiver->setFlags (receiver, clap::presetIsFactoryContent);
            receiver->addCreator (receiver, product::vendor);
            receiver->setDescription (receiver, preset.summary);
            receiver->addFeature (receiver, "reverb");
        }
        return true;
    }
    catch (...)
    {
        return false;
    }
}

const void* TARNWELL_CLAP_CALL providerExtension (const clap::PresetProvider*, const char*)
{
    return nullptr;
}

// [thread-safe] (all three)
std::uint32_t TARNWELL_CLAP_CALL providerCount (const clap::PresetDiscoveryFactory*)
{
    return 1;
}

const clap::PresetProviderDescriptor* TARNWELL_CLAP_CALL descriptorAt (const clap::PresetDiscoveryFactory*,
                                                                       std::uint32_t index)
{
    return index == 0 ? &providerDescriptor : nullptr;
}

const clap::PresetProvider* TARNWELL_CLAP_CALL createProvider (const clap::PresetDiscoveryFactory*,
                                                               const clap::PresetIndexer* indexer, const char* id)
{
    if (indexer == nullptr || id == nullptr || std::strcmp (id, providerId) != 0)
        return nullptr;
    auto* provider = new (std::nothrow) Provider {};
    if (provider == nullptr)
        return nullptr;
    provider->indexer = indexer;
    provider->record = {
        &providerDescriptor, provider, &providerInit, &providerDestroy, &metadata, &providerExtension
    };
    return &provider->record;
}

const clap::PresetDiscoveryFactory factory { &providerCount, &descriptorAt, &createProvider };

// [main-thread] A preset sets all five values, as restoring its settings block does.
bool TARNWELL_CLAP_CALL loadPreset (const clap::Plugin* p, std::uint32_t kind, const char* location,
                                    const char* loadKey)
{
    auto* self = ClapPlugin::from (p);
    if (self == nullptr || kind != clap::presetLocationPlugin || location != nullptr)
        return false;
    try
    {
        const auto* preset = presetOf (loadKey);
        if (preset == nullptr)
            return false;
        return self->restore (presetSettings (*preset));
    }
    catch (...)
    {
        return false;
    }
}
} // namespace

const clap::PresetDiscoveryFactory& clapPresetDiscoveryFactory() noexcept
{
    return factory;
}

const clap::PluginPresetLoad clapExtensions::presetLoad { &loadPreset };
} // namespace tarnwell
