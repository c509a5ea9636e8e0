#include "host/lv2/Lv2Plugin.h"

#include "host/lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace tarnwell::lv2
{
namespace
{
constexpr int channels = 2;

LV2_URID mapped (const LV2_URID_Map* map, const char* uri)
{
    return map != nullptr ? map->map (map->handle, uri) : 0;
}

bool sameBits (float a, float b) noexcept
{
    return std::memcmp (&a, &b, sizeof (float)) == 0;
}
} // namespace

Lv2Plugin* Lv2Plugin::create (double sampleRate, const LV2_Feature* const* features)
{
    const LV2_URID_Map* map = nullptr;
    for (auto f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, LV2_URID__map) == 0)
            map = static_cast<const LV2_URID_Map*> ((*f)->data);

    return std::make_unique<Lv2Plugin> (sampleRate, map).release();
}

Lv2Plugin::Lv2Plugin (double rate, const LV2_URID_Map* map)
    : stateKey (mapped (map, stateKeyUri)), stringType (mapped (map, LV2_ATOM__String)), sampleRate (rate),
      bypass (rate)
{
    // Ready to run from the start: the sample rate is fixed for the instance's life, and some
    // hosts (JUCE's LV2 hosting among them) run instances they never activated.
    core.session().prepare (sampleRate);
}

void Lv2Plugin::connect (std::uint32_t port, void* data) noexcept
{
    if (port <= outRight)
        audio[port] = static_cast<float*> (data);
    else if (isParameterPort (port))
        controls[static_cast<size_t> (parameterOf (port))] = static_cast<const float*> (data);
    else if (port == latency)
        latencyOut = static_cast<float*> (data);
    else if (port == enabled)
        enabledIn = static_cast<const float*> (data);
}

// As VST 2.4 resume and suspend: the instance was prepared when made.
void Lv2Plugin::activate()
{
    if (std::exchange (deactivated, false))
        core.session().prepare (sampleRate);
}

void Lv2Plugin::deactivate()
{
    deactivated = true;
}

void Lv2Plugin::applyControlPorts (InstanceCore::Audio processing) noexcept
{
    for (size_t i = 0; i < parameters::count; ++i)
    {
        if (controls[i] == nullptr)
            continue;

        // Compared bit for bit: a port that holds NaN is applied once, not on every run.
        const float value = *controls[i];
        if (applied[i].known && sameBits (applied[i].value, value))
            continue;

        applied[i] = { value, true };
        processing.setParameter (static_cast<int> (i), normalisedOfPort (static_cast<int> (i), value));
    }
}

void Lv2Plugin::run (std::uint32_t frameCount) noexcept
{
    if (latencyOut != nullptr)
        *latencyOut = 0.0f;

    if (frameCount == 0)
        return;
    for (auto* buffer : audio)
        if (buffer == nullptr)
            return;

    const auto processing = core.audio();
    applyControlPorts (processing);

    // Off is 0 or below; a host without the port, or one holding NaN, leaves the plug-in on.
    const bool on = enabledIn == nullptr || ! (*enabledIn <= 0.0f);
    const int frames = static_cast<int> (std::min<std::uint32_t> (frameCount, 1u << 30));
    if (! bypass.playsNetworkAlone (on))
    {
        runFading (processing, frames, on);
        return;
    }

    const float* inputs[channels] = { audio[inLeft], audio[inRight] };
    float* outputs[channels] = { audio[outLeft], audio[outRight] };
    processing.process (inputs, channels, outputs, channels, frames);
}

// Outputs may be the inputs' own buffers: the dry input is kept aside, a piece at a time.
void Lv2Plugin::runFading (InstanceCore::Audio processing, int frames, bool on) noexcept
{
    for (int start = 0; start < frames; start += InstanceCore::maxPiece)
    {
        const int piece = std::min (InstanceCore::maxPiece, frames - start);
        const float* inputs[channels] = { audio[inLeft] + start, audio[inRight] + start };
        float* outputs[channels] = { audio[outLeft] + start, audio[outRight] + start };
        for (size_t ch = 0; ch < channels; ++ch)
            std::copy_n (inputs[ch], piece, dry[ch].data());

        processing.process (inputs, channels, outputs, channels, piece);
        const float* kept[channels] = { dry[0].data(), dry[1].data() };
        bypass.apply (kept, outputs, piece, on);
    }
}

//==============================================================================
// The settings block the other formats save, as the earlier LV2 bundle stored it (JUCE's
// base64 text under the same key), so sessions saved with it restore here too.
LV2_State_Status Lv2Plugin::save (LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (stateKey == 0 || stringType == 0)
        return LV2_STATE_ERR_NO_FEATURE;

    juce::MemoryBlock block;
    core.session().save (block);
    const auto text = block.toBase64Encoding();
    return store (handle, stateKey, text.toRawUTF8(), text.getNumBytesAsUTF8() + 1, stringType,
                  LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    if (stateKey == 0 || stringType == 0)
        return LV2_STATE_ERR_NO_FEATURE;

    size_t size = 0;
    std::uint32_t type = 0, flags = 0;
    const auto* data = static_cast<const char*> (retrieve (handle, stateKey, &size, &type, &flags));
    if (data == nullptr)
        return LV2_STATE_ERR_NO_PROPERTY;
    if (type != stringType)
        return LV2_STATE_ERR_BAD_TYPE;

    const auto length = static_cast<int> (std::find (data, data + size, '\0') - data);
    juce::MemoryBlock block;
    if (! block.fromBase64Encoding (juce::String::fromUTF8 (data, length)))
        return LV2_STATE_ERR_UNKNOWN;
    core.session().restore (block.getData(), static_cast<int> (block.getSize()));

    // The restored values stand until a port changes. A host restoring a whole session sets
    // the ports to the values it saved with the block (and they then agree); a port the host
    // leaves as it was must not undo the restore on the next run. Restoring is never
    // concurrent with run, so reading the ports here is safe.
    for (size_t i = 0; i < parameters::count; ++i)
        applied[i] = { controls[i] != nullptr ? *controls[i] : core.controls().parameter (static_cast<int> (i)), true };
    return LV2_STATE_SUCCESS;
}
} // namespace tarnwell::lv2
