// The audio-ports and audio-ports-config extensions: one stereo input and one stereo output,
// or, where the host picks it, a mono input played into both outputs (as VST 2.4's 1 in, 2 out).

#include "host/clap/ClapExtensions.h"
#include "host/clap/ClapPlugin.h"

#include <cstring>

namespace tarnwell::clapExtensions
{
namespace
{
constexpr clap::Id inputId = 0, outputId = 1;
constexpr clap::Id stereoConfig = 0, monoInputConfig = 1;

// [main-thread]
std::uint32_t TARNWELL_CLAP_CALL portCount (const clap::Plugin* p, bool)
{
    return ClapPlugin::from (p) != nullptr ? 1 : 0;
}

// [main-thread]
bool TARNWELL_CLAP_CALL port (const clap::Plugin* p, std::uint32_t index, bool isInput, clap::AudioPortInfo* info)
{
    const auto* self = ClapPlugin::from (p);
    if (self == nullptr || info == nullptr || index != 0)
        return false;
    const auto channels = isInput ? static_cast<std::uint32_t> (self->inputChannels()) : 2u;
    *info = {};
    info->id = isInput ? inputId : outputId;
    std::strcpy (info->name, isInput ? "Input" : "Output");
    info->flags = clap::audioPortIsMain;
    info->channelCount = channels;
    info->portType = channels == 1 ? clap::portMono : clap::portStereo;
    info->inPlacePair = isInput ? outputId : inputId; // outputs may be their inputs
    return true;
}

// [main-thread]
std::uint32_t TARNWELL_CLAP_CALL configCount (const clap::Plugin*)
{
    return 2;
}

bool TARNWELL_CLAP_CALL config (const clap::Plugin*, std::uint32_t index, clap::AudioPortsConfig* c)
{
    if (c == nullptr || index > 1)
        return false;
    const bool mono = index == monoInputConfig;
    *c = {};
    c->id = index;
    std::strcpy (c->name, mono ? "Mono in, stereo out" : "Stereo");
    c->inputPortCount = c->outputPortCount = 1;
    c->hasMainInput = c->hasMainOutput = true;
    c->mainInputChannelCount = mono ? 1 : 2;
    c->mainInputPortType = mono ? clap::portMono : clap::portStereo;
    c->mainOutputChannelCount = 2;
    c->mainOutputPortType = clap::portStereo;
    return true;
}

// [main-thread] Only while inactive.
bool TARNWELL_CLAP_CALL select (const clap::Plugin* p, clap::Id id)
{
    auto* self = ClapPlugin::from (p);
    return self != nullptr && (id == stereoConfig || id == monoInputConfig)
        && self->selectMonoInput (id == monoInputConfig);
}
} // namespace

const clap::PluginAudioPorts audioPorts { &portCount, &port };
const clap::PluginAudioPortsConfig audioPortsConfig { &configCount, &config, &select };
} // namespace tarnwell::clapExtensions
