#include "tools/render/CommandLine.h"

#include <cmath>
#include <cstdlib>

namespace tarnwell::render
{
namespace
{
    // The whole text as a finite number, or nothing: "0.5" but not "0.5x", "loud" or "nan".
    std::optional<double> numberFrom (const juce::String& text)
    {
        const auto utf8 = text.trim().toStdString();
        if (utf8.empty())
            return std::nullopt;
        char* end = nullptr;
        const double value = std::strtod (utf8.c_str(), &end);
        if (end != utf8.c_str() + utf8.size() || ! std::isfinite (value))
            return std::nullopt;
        return value;
    }

    juce::File defaultPlugin()
    {
        const auto exe = juce::File::getSpecialLocation (juce::File::currentExecutableFile);
        for (const auto& candidate : { exe.getSiblingFile ("Tarnwell.so"),
                                       exe.getParentDirectory().getParentDirectory().getSiblingFile ("host").getChildFile ("Tarnwell.so"),
                                       juce::File ("~/.vst/Tarnwell.so") })
            if (candidate.existsAsFile())
                return candidate;
        return juce::File ("~/.vst/Tarnwell.so");
    }

    bool parseSetting (const juce::String& assignment, Options& options, juce::String& error)
    {
        const auto name = assignment.upToFirstOccurrenceOf ("=", false, false).trim();
        const auto text = assignment.fromFirstOccurrenceOf ("=", false, false).trim();
        if (! assignment.containsChar ('=') || name.isEmpty())
        {
            error = "--set wants Name=value, not \"" + assignment + "\"";
            return false;
        }
        const auto value = numberFrom (text);
        if (! value)
        {
            error = name + "=" + text + ": the value is not a number (values are normalised, 0 to 1)";
            return false;
        }
        if (*value < 0 || *value > 1)
        {
            error = name + "=" + text + ": the value lies outside 0 to 1 (values are normalised)";
            return false;
        }
        options.settings.emplace_back (name, static_cast<float> (*value));
        return true;
    }
} // namespace

const char* usageText()
{
    return "usage: tarnwell render IN.wav OUT.wav [--set Name=value ...] [--plugin PATH] [--tail SECONDS]\n"
           "       tarnwell ir OUT.wav [--set Name=value ...] [--plugin PATH] [--seconds N] [--rate HZ]\n"
           "       tarnwell demo OUTDIR [--set Name=value ...] [--plugin PATH]\n"
           "Each also writes a decay picture, OUT.decay.png. Values are normalised (0 to 1). The\n"
           "plug-in defaults to the Tarnwell.so built with this tool, else ~/.vst/Tarnwell.so.\n"
           "--verbose shows the plug-in host's own messages.\n";
}

std::optional<Options> parseCommandLine (int argc, const char* const* argv, juce::String& error)
{
    error.clear();
    if (argc < 2)
        return std::nullopt;

    Options options;
    options.command = juce::String::fromUTF8 (argv[1]);
    if (options.command != "render" && options.command != "ir" && options.command != "demo")
        return std::nullopt;

    for (int i = 2; i < argc; ++i)
    {
        const auto arg = juce::String::fromUTF8 (argv[i]);
        const bool takesValue = arg == "--set" || arg == "--plugin" || arg == "--tail" || arg == "--seconds" || arg == "--rate";
        if (takesValue && i + 1 >= argc)
        {
            error = arg + " wants a value";
            return std::nullopt;
        }
        const auto value = takesValue ? juce::String::fromUTF8 (argv[++i]) : juce::String();

        if (arg == "--set")
        {
            if (! parseSetting (value, options, error))
                return std::nullopt;
        }
        else if (arg == "--plugin")
            options.plugin = juce::File::getCurrentWorkingDirectory().getChildFile (value);
        else if (arg == "--tail" || arg == "--seconds" || arg == "--rate")
        {
            struct Limits { double lowest, highest; const char* wanted; };
            const auto limits = arg == "--rate"    ? Limits { 8000, 768000, "a sample rate from 8000 to 768000 Hz" }
                              : arg == "--seconds" ? Limits { 0.01, 60, "seconds, more than 0 and at most 60" }
                                                   : Limits { 0, 60, "seconds, 0 to 60" };
            const auto number = numberFrom (value);
            if (! number || *number < limits.lowest || *number > limits.highest)
            {
                error = arg + " " + value + ": wants " + limits.wanted;
                return std::nullopt;
            }
            if (arg == "--rate")
                options.sampleRate = *number;
            else if (arg == "--seconds")
                options.seconds = *number;
            else
                options.tailSeconds = *number;
        }
        else if (arg == "--verbose")
            options.verbose = true;
        else if (arg.startsWith ("--"))
            return std::nullopt;
        else
            options.positional.add (arg);
    }

    const int wanted = options.command == "render" ? 2 : 1;
    if (options.positional.size() != wanted)
        return std::nullopt;
    if (options.plugin == juce::File())
        options.plugin = defaultPlugin();
    return options;
}
} // namespace tarnwell::render
