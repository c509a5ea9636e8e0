#pragma once

#include "host/clap/ClapAbi.h"

namespace tarnwell
{
// Who Tarnwell is to a CLAP host. Hosts find saved projects' plug-ins by the id: never change it.
constexpr const char* clapPluginId = "audio.quennet.tarnwell";

// [thread-safe]
const clap::PluginDescriptor& clapDescriptor() noexcept;
} // namespace tarnwell
