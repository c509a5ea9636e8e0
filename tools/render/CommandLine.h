#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <utility>
#include <vector>

namespace tarnwell::render
{
struct Options
{
    juce::String command;
    juce::StringArray positional;
    std::vector<std::pair<juce::String, float>> settings; // in the order given
    juce::File plugin;
    double tailSeconds = 2.0;
    std::optional<double> seconds; // the impulse response's length, if given
    double sampleRate = 48000.0;
    bool verbose = false;
};

// Reads the command line. A malformed option or value sets `error` to a one-line message; an
// unknown option or command leaves it empty (show the usage).
std::optional<Options> parseCommandLine (int argc, const char* const* argv, juce::String& error);

const char* usageText();
} // namespace tarnwell::render
