#include "host/clap/ClapPlugin.h"

#include "host/clap/ClapDescriptor.h"
#include "host/clap/ClapEditor.h"
#include "host/clap/ClapExtensions.h"
#include "host/clap/ClapParameters.h"
#include "host/clap/ClapPresets.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarnwell
{
namespace
{
constexpr int outputChannels = 2;
constexpr std::uint32_t rescanValuesFlag = 1u << 0;

// No exception may cross into the host.
template <typename Result, typename Call>
Result guarded (Result failed, Call&& call) noexcept
{
    try
    {
        return call();
    }
    catch (...)
    {
        return failed;
    }
}
} // namespace

const clap::Plugin* ClapPlugin::create (const clap::Host* host)
{
    return &(new ClapPlugin (host))->record;
}

ClapPlugin* ClapPlugin::from (const clap::Plugin* p) noexcept
{
    return p != nullptr ? static_cast<ClapPlugin*> (p->pluginData) : nullptr;
}

ClapPlugin::ClapPlugin (const clap::Host* h) : hostRecord (h)
{
    record.desc = &clapDescriptor();
    record.pluginData = this;
    record.init = &initCallback;
    record.destroy = &destroyCallback;
    record.activate = &activateCallback;
    record.deactivate = &deactivateCallback;
    record.startProcessing = &startProcessingCallback;
    record.stopProcessing = &stopProcessingCallback;
    record.reset = &resetCallback;
    record.process = &processCallback;
    record.getExtension = &getExtensionCallback;
    record.onMainThread = &onMainThreadCallback;
}

// The editor goes first: it reads the core until it is closed.
ClapPlugin::~ClapPlugin()
{
    editor.reset();
}

const void* ClapPlugin::hostExtension (const char* id) const
{
    if (hostRecord == nullptr || hostRecord->getExtension == nullptr)
        return nullptr;
    return hostRecord->getExtension (hostRecord, id);
}

bool ClapPlugin::selectMonoInput (bool mono)
{
    if (active)
        return false;
    monoInput = mono;
    return true;
}

//==============================================================================
bool ClapPlugin::activate (double sampleRate) noexcept
{
    if (! (sampleRate > 0) || ! std::isfinite (sampleRate))
        return false;
    guarded (0, [&] {
        core.session().prepare (sampleRate);
        return 0;
    });
    active = true;
    return true;
}

void ClapPlugin::deactivate() noexcept
{
    active = false;
}

std::int32_t ClapPlugin::process (const clap::Process& p) noexcept
{
    const auto frames = p.framesCount;
    if (p.audioOutputsCount < 1 || p.audioOutputs == nullptr || p.audioOutputs[0].data32 == nullptr)
    {
        flush (p.inEvents, p.outEvents); // no audio, but the events still count
        return frames == 0 ? clap::processContinue : clap::processError;
    }

    // Each parameter event takes effect at its frame: the audio before it plays the old values.
    const auto audio = core.audio();
    std::uint32_t done = 0;
    const auto* events = p.inEvents;
    const auto count = events != nullptr && events->size != nullptr ? events->size (events) : 0u;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const auto* header = events->get (events, i);
        if (header == nullptr)
            continue;
        const auto at = std::clamp (header->time, done, frames); // late ones act at once
        processPart (audio, p, done, at);
        done = at;
        clapParameters::apply (audio, *header);
    }
    processPart (audio, p, done, frames);

    fromEditor.sendTo (p.outEvents);
    return clap::processContinue;
}

void ClapPlugin::processPart (InstanceCore::Audio audio, const clap::Process& p, std::uint32_t start,
                              std::uint32_t end) noexcept
{
    if (end <= start)
        return;

    const auto& out = p.audioOutputs[0];
    const int numOut = static_cast<int> (std::min<std::uint32_t> (out.channelCount, outputChannels));
    float* outs[outputChannels] {};
    for (int ch = 0; ch < numOut; ++ch)
        outs[ch] = out.data32[ch] != nullptr ? out.data32[ch] + start : nullptr;

    const bool hasInput = p.audioInputsCount > 0 && p.audioInputs != nullptr && p.audioInputs[0].data32 != nullptr
        && p.audioInputs[0].channelCount > 0;
    const float* ins[outputChannels] {};
    int numIn = 0;
    if (hasInput)
    {
        const auto& in = p.audioInputs[0];
        numIn = static_cast<int> (std::min<std::uint32_t> (in.channelCount, outputChannels));
        for (int ch = 0; ch < numIn; ++ch)
            ins[ch] = in.data32[ch] != nullptr ? in.data32[ch] + start : nullptr;
    }
    else
    {
        // No input: the tail plays on over silence, made in the outputs themselves.
        numIn = numOut;
        for (int ch = 0; ch < numOut; ++ch)
            if (outs[ch] != nullptr)
            {
                std::fill_n (outs[ch], end - start, 0.0f);
                ins[ch] = outs[ch];
            }
    }
    audio.process (ins, numIn, outs, numOut, static_cast<int> (end - start));
}

void ClapPlugin::flush (const clap::InputEvents* in, const clap::OutputEvents* out) noexcept
{
    const auto count = in != nullptr && in->size != nullptr ? in->size (in) : 0u;
    for (std::uint32_t i = 0; i < count; ++i)
        if (const auto* header = in->get (in, i))
            clapParameters::apply (core.audio(), *header);
    fromEditor.sendTo (out);
}

void ClapPlugin::requestFlush() const noexcept
{
    if (processing.load())
        return; // the next block takes the changes along
    if (hostParams != nullptr && hostParams->requestFlush != nullptr)
        hostParams->requestFlush (hostRecord);
}

bool ClapPlugin::restore (const juce::MemoryBlock& block)
{
    if (! core.session().restore (block.getData(), static_cast<int> (block.getSize())))
        return false;
    if (hostParams != nullptr && hostParams->rescan != nullptr)
        hostParams->rescan (hostRecord, rescanValuesFlag);
    return true;
}

const void* ClapPlugin::extension (const char* id) const noexcept
{
    if (id == nullptr)
        return nullptr;
    const auto is = [id] (const char* name) { return std::strcmp (id, name) == 0; };
    namespace ext = clap::extension;
    if (is (ext::audioPorts))
        return &clapExtensions::audioPorts;
    if (is (ext::audioPortsConfig))
        return &clapExtensions::audioPortsConfig;
    if (is (ext::params))
        return &clapExtensions::params;
    if (is (ext::state))
        return &clapExtensions::state;
    if (is (ext::latency))
        return &clapExtensions::latency;
    if (is (ext::tail))
        return &clapExtensions::tail;
    if (is (ext::render))
        return &clapExtensions::render;
    if (is (ext::presetLoad) || is (ext::presetLoadDraft))
        return &clapExtensions::presetLoad;
    if (is (ext::gui))
        return &clapExtensions::gui;
#ifndef _WIN32
    if (is (ext::posixFdSupport))
        return &clapExtensions::posixFdSupport;
    if (is (ext::timerSupport))
        return &clapExtensions::timerSupport;
#endif
    return nullptr;
}

//==============================================================================
// [main-thread] The host's extensions may be asked for from here on.
bool ClapPlugin::initCallback (const clap::Plugin* p)
{
    auto* self = from (p);
    if (self == nullptr)
        return false;
    self->hostParams = static_cast<const clap::HostParams*> (self->hostExtension (clap::extension::params));
    return true;
}

// [main-thread]
void ClapPlugin::destroyCallback (const clap::Plugin* p)
{
    guarded (0, [&] {
        delete from (p);
        return 0;
    });
}

// [main-thread] The rate applies from the first block; the tail carries over, as a VST 2.4 resume.
bool ClapPlugin::activateCallback (const clap::Plugin* p, double sampleRate, std::uint32_t, std::uint32_t)
{
    auto* self = from (p);
    return self != nullptr && self->activate (sampleRate);
}

// [main-thread]
void ClapPlugin::deactivateCallback (const clap::Plugin* p)
{
    if (auto* self = from (p))
        self->deactivate();
}

// [audio-thread]
bool ClapPlugin::startProcessingCallback (const clap::Plugin* p)
{
    if (auto* self = from (p))
        self->processing = true;
    return true;
}

// [audio-thread]
void ClapPlugin::stopProcessingCallback (const clap::Plugin* p)
{
    if (auto* self = from (p))
        self->processing = false;
}

// [audio-thread] The tail is the network's memory, which no other format clears either.
void ClapPlugin::resetCallback (const clap::Plugin*) {}

// [audio-thread]
std::int32_t ClapPlugin::processCallback (const clap::Plugin* p, const clap::Process* process)
{
    auto* self = from (p);
    return self != nullptr && process != nullptr ? self->process (*process) : clap::processError;
}

// [thread-safe]
const void* ClapPlugin::getExtensionCallback (const clap::Plugin* p, const char* id)
{
    const auto* self = from (p);
    return self != nullptr ? self->extension (id) : nullptr;
}

// [main-thread]
void ClapPlugin::onMainThreadCallback (const clap::Plugin*) {}
} // namespace tarnwell
