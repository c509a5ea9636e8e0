#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::render
{
// Drops JUCE's hosting messages ("Attempting to load VST: ...") while it is installed.
class DroppingLogger : public juce::Logger
{
    void logMessage (const juce::String&) override {}
};

// Sends what a plug-in prints on standard output (a diagnostic line when it is prepared, say),
// or what lilv prints on standard error while it reads bundles, to /dev/null while it lives,
// so that the tool's own output stays readable.
class SilencedStream
{
public:
    SilencedStream (int fd, bool active);
    ~SilencedStream();

    SilencedStream (const SilencedStream&) = delete;
    SilencedStream& operator= (const SilencedStream&) = delete;

private:
    const int fd;
    int saved = -1;
};

struct SilencedStdout : SilencedStream
{
    explicit SilencedStdout (bool active);
};

struct SilencedStderr : SilencedStream
{
    explicit SilencedStderr (bool active);
};
} // namespace tarnwell::render
