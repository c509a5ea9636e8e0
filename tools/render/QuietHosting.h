#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::render
{
// Drops JUCE's hosting messages ("Attempting to load VST: ...") while it is installed.
class DroppingLogger : public juce::Logger
{
    void logMessage (const juce::String&) override {}
};

// Sends what a plug-in prints on standard output (a diagnostic line when it is prepared, say)
// to /dev/null while it lives, so that the tool's own output stays readable.
class SilencedStdout
{
public:
    explicit SilencedStdout (bool active);
    ~SilencedStdout();

    SilencedStdout (const SilencedStdout&) = delete;
    SilencedStdout& operator= (const SilencedStdout&) = delete;

private:
    int saved = -1;
};
} // namespace tarnwell::render
