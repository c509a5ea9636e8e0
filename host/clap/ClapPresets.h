#pragma once

#include "host/clap/ClapPresetAbi.h"

namespace tarnwell
{
// The 15 factory presets as a CLAP host indexes and loads them: one provider whose one location
// is the plug-in itself, each preset keyed by its slug ("small-room"). [thread-safe] to get; its
// providers' calls are [main-thread] of the indexer, loading a preset [main-thread] of the host.
const clap::PresetDiscoveryFactory& clapPresetDiscoveryFactory() noexcept;

namespace clapExtensions
{
extern const clap::PluginPresetLoad presetLoad;
}
} // namespace tarnwell
