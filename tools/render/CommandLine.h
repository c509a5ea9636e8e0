#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <utility>
#include <vector>

namespace tarnwell::render
{
// The program's name in its messages: the project's own script is `./tarnwell`.
constexpr const char* toolName = "tarnwell-render";

// Exit statuses, as --help documents them.
namespace exitStatus
{
constexpr int done = 0;
constexpr int failure = 1; // an input that can't be read, an output that can't be written, a plug-in that won't load
constexpr int usage = 2; // the command line asks for something that does not exist or is out of range
} // namespace exitStatus

struct Options
{
    juce::String command;
    juce::StringArray positional;
    std::vector<std::pair<juce::String, float>> settings; // in the order given
    juce::File plugin;
    bool pluginSearched = false; // no --plugin: the tool looked for Tarnwell
    std::optional<double> tailSeconds; // the silence after the input, if given
    std::optional<double> seconds; // the impulse response's length, if given
    double sampleRate = 48000.0;
    bool verbose = false;
};

// What a command line asks for: a run with its options, the help, the version, or nothing
// that makes sense (`error` says what, in one line).
struct CommandLine
{
    enum class Request { run, help, version, mistake };
    Request request = Request::mistake;
    Options options;
    juce::String error;
};

CommandLine parseCommandLine (int argc, const char* const* argv);

// The usage lines alone, and the whole help.
const char* usageText();
juce::String helpText();
juce::String versionText();
} // namespace tarnwell::render
