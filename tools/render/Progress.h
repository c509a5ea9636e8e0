#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::render
{
// Progress of one long step on stderr, shown only when the step looks like taking more than
// about two seconds: a bar redrawn in place on a terminal, a line every 10 % otherwise.
class Progress
{
public:
    explicit Progress (juce::String label);
    ~Progress();

    void update (double fraction);

private:
    void show (int percent);

    const juce::String label;
    const double startMs;
    const bool terminal;
    bool shown = false;
    int lastPercent = -100;
};
} // namespace tarnwell::render
