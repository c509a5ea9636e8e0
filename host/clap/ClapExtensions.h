#pragma once

#include "host/clap/ClapExtensionsAbi.h"

// The extension records Tarnwell offers, one file each; ClapPlugin hands them out by id. Each
// record's functions are marked with their CLAP thread where they are defined.
namespace tarnwell::clapExtensions
{
extern const clap::PluginAudioPorts audioPorts;
extern const clap::PluginAudioPortsConfig audioPortsConfig;
extern const clap::PluginParams params;
extern const clap::PluginState state;
extern const clap::PluginLatency latency;
extern const clap::PluginTail tail;
extern const clap::PluginRender render;
extern const clap::PluginGui gui;
extern const clap::PluginPosixFdSupport posixFdSupport; // these two not on Windows
extern const clap::PluginTimerSupport timerSupport;
} // namespace tarnwell::clapExtensions
