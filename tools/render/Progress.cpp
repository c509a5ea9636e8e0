#include "tools/render/Progress.h"

#include <cstdio>
#include <unistd.h>

namespace tarnwell::render
{
namespace
{
constexpr double showAfterMs = 500.0, showWhenLongerThanMs = 2000.0;
constexpr int barWidth = 40;
} // namespace

Progress::Progress (juce::String name)
    : label (std::move (name)), startMs (juce::Time::getMillisecondCounterHiRes()),
      terminal (isatty (fileno (stderr)) != 0)
{}

Progress::~Progress()
{
    if (shown && terminal)
        std::fprintf (stderr, "\n");
}

void Progress::update (double fraction)
{
    fraction = juce::jlimit (0.0, 1.0, fraction);
    if (! shown)
    {
        // Half a second in, the rate so far tells how long the whole step will take.
        const double elapsed = juce::Time::getMillisecondCounterHiRes() - startMs;
        if (elapsed < showAfterMs || fraction <= 0 || fraction >= 1 || elapsed / fraction < showWhenLongerThanMs)
            return;
        shown = true;
    }
    show (static_cast<int> (fraction * 100.0));
}

void Progress::show (int percent)
{
    if (percent == lastPercent || (! terminal && percent / 10 == lastPercent / 10))
        return;
    lastPercent = percent;

    if (terminal)
    {
        const int filled = percent * barWidth / 100;
        std::fprintf (stderr, "\r%s [%s%s] %3d%%", label.toRawUTF8(),
                      juce::String::repeatedString ("#", filled).toRawUTF8(),
                      juce::String::repeatedString (" ", barWidth - filled).toRawUTF8(), percent);
    }
    else
        std::fprintf (stderr, "%s: %d%%\n", label.toRawUTF8(), percent / 10 * 10);
    std::fflush (stderr);
}
} // namespace tarnwell::render
