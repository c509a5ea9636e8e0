#pragma once

// The preset-discovery factory and the preset-load extension of CLAP 1.x, declared from their
// published facts as ClapAbi.h declares the core.

#include "host/clap/ClapAbi.h"

namespace tarnwell::clap
{
// The factory's id, and the one of the draft that hosts of CLAP 1.1 ask for (the same layout).
constexpr const char* presetDiscoveryFactoryId = "clap.preset-discovery-factory/2";
constexpr const char* presetDiscoveryFactoryDraftId = "clap.preset-discovery-factory/draft-2";

namespace extension
{
constexpr const char* presetLoad = "clap.preset-load";
constexpr const char* presetLoadDraft = "clap.preset-load.draft/2";
} // namespace extension

enum PresetLocationKind : std::uint32_t {
    presetLocationFile = 0,
    presetLocationPlugin = 1, // presets inside the plug-in itself; the location is null
};

constexpr std::uint32_t presetIsFactoryContent = 1u << 0;

struct UniversalPluginId
{
    const char* abi; // "clap"
    const char* id;
};

struct PresetMetadataReceiver
{
    void* receiverData;
    void (TARNWELL_CLAP_CALL* onError) (const PresetMetadataReceiver*, std::int32_t osError, const char* message);
    bool (TARNWELL_CLAP_CALL* beginPreset) (const PresetMetadataReceiver*, const char* name, const char* loadKey);
    void (TARNWELL_CLAP_CALL* addPluginId) (const PresetMetadataReceiver*, const UniversalPluginId*);
    void (TARNWELL_CLAP_CALL* setSoundpackId) (const PresetMetadataReceiver*, const char*);
    void (TARNWELL_CLAP_CALL* setFlags) (const PresetMetadataReceiver*, std::uint32_t flags);
    void (TARNWELL_CLAP_CALL* addCreator) (const PresetMetadataReceiver*, const char*);
    void (TARNWELL_CLAP_CALL* setDescription) (const PresetMetadataReceiver*, const char*);
    void (TARNWELL_CLAP_CALL* setTimestamps) (const PresetMetadataReceiver*, std::uint64_t created,
                                              std::uint64_t modified);
    void (TARNWELL_CLAP_CALL* addFeature) (const PresetMetadataReceiver*, const char*);
    void (TARNWELL_CLAP_CALL* addExtraInfo) (const PresetMetadataReceiver*, const char* key, const char* value);
};

struct PresetFiletype
{
    const char* name;
    const char* description;
    const char* fileExtension;
};

struct PresetLocation
{
    std::uint32_t flags;
    const char* name;
    std::uint32_t kind;
    const char* location;
};

struct PresetProviderDescriptor
{
    Version clapVersion;
    const char* id;
    const char* name;
    const char* vendor;
};

struct PresetProvider
{
    const PresetProviderDescriptor* desc;
    void* providerData;
    bool (TARNWELL_CLAP_CALL* init) (const PresetProvider*);
    void (TARNWELL_CLAP_CALL* destroy) (const PresetProvider*);
    bool (TARNWELL_CLAP_CALL* getMetadata) (const PresetProvider*, std::uint32_t locationKind, const char* location,
                                            const PresetMetadataReceiver*);
    const void*(TARNWELL_CLAP_CALL* getExtension) (const PresetProvider*, const char* id);
};

struct PresetIndexer
{
    Version clapVersion;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    void* indexerData;
    bool (TARNWELL_CLAP_CALL* declareFiletype) (const PresetIndexer*, const PresetFiletype*);
    bool (TARNWELL_CLAP_CALL* declareLocation) (const PresetIndexer*, const PresetLocation*);
    bool (TARNWELL_CLAP_CALL* declareSoundpack) (const PresetIndexer*, const void*);
    const void*(TARNWELL_CLAP_CALL* getExtension) (const PresetIndexer*, const char* id);
};

struct PresetDiscoveryFactory
{
    std::uint32_t (TARNWELL_CLAP_CALL* count) (const PresetDiscoveryFactory*);
    const PresetProviderDescriptor*(TARNWELL_CLAP_CALL* getDescriptor) (const PresetDiscoveryFactory*,
                                                                        std::uint32_t index);
    const PresetProvider*(TARNWELL_CLAP_CALL* create) (const PresetDiscoveryFactory*, const PresetIndexer*,
                                                       const char* providerId);
};

struct PluginPresetLoad
{
    bool (TARNWELL_CLAP_CALL* fromLocation) (const Plugin*, std::uint32_t locationKind, const char* location,
                                             const char* loadKey);
};

#if ! defined(_WIN32) || defined(_WIN64)
static_assert (sizeof (PresetLocation) == 32 && sizeof (PresetIndexer) == 88 && sizeof (PresetMetadataReceiver) == 88);
#endif
} // namespace tarnwell::clap
