#pragma once

namespace tarnwell::lv2
{
// Switching the plug-in off and on without a click: the output moves between what the network
// plays and the dry input along a straight line over a few milliseconds, and stays there. The
// network keeps running meanwhile, so its tail is where it would be when the plug-in is on again.
class BypassCrossfade
{
public:
    static constexpr double fadeSeconds = 0.01;

    explicit BypassCrossfade (double sampleRate) noexcept;

    // Whether the output is what the network plays, untouched, with the switch at `on`.
    bool playsNetworkAlone (bool on) const noexcept { return on && position == length; }

    // [audio-thread]
    // `out` holds what the network played from `dry`, which the fade mixes in; `frames` at a
    // time, the switch at `on` for all of them.
    void apply (const float* const dry[2], float* const out[2], int frames, bool on) noexcept;

private:
    int length; // frames of a whole fade, at least 1
    int position; // 0 (all dry) .. length (all network)
};
} // namespace tarnwell::lv2
