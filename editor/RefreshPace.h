#pragma once

namespace tarnwell
{
// How long the editor waits before it looks at the parameters again for changes made elsewhere
// (the host's automation, a restore). Often while values move, so automation looks continuous;
// seldom once they have rested, since each look wakes threads of the host's process whether or
// not anything is drawn. A change after a rest shows within restingMs, and the pace is fast
// again from that look on.
class RefreshPace
{
public:
    static constexpr int movingMs = 20;
    static constexpr int restingMs = 100;
    static constexpr int restAfterMs = 1000; // of looks that found nothing

    // After a look, whether it found a change: the wait before the next one.
    int next (bool changed) noexcept
    {
        quietMs = changed ? 0 : quietMs + interval;
        interval = quietMs < restAfterMs ? movingMs : restingMs;
        return interval;
    }

private:
    int interval = movingMs;
    int quietMs = 0;
};
} // namespace tarnwell
