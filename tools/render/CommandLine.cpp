#include "tools/render/CommandLine.h"

#include "host/ProductIdentity.h"
#include "processor/FactoryPresets.h"
#include "processor/ParameterTable.h"
#include "tools/render/PluginSearch.h"

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

// Tarnwell's parameter of that name (as hosts match names, in any case), or -1.
int tarnwellParameter (const juce::String& name)
{
    for (int i = 0; i < parameters::count; ++i)
        if (parameters::name (i).equalsIgnoreCase (name))
            return i;
    return -1;
}

// "0 to 10 s", "50 to 10000 Hz", "0 to 100 %".
juce::String rangeOf (int parameter)
{
    const auto& d = parameters::describe (parameter);
    return juce::String (d.displayMinimum, 0) + " to " + juce::String (d.displayMaximum, 0) + " " + d.unit;
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
    const auto parameter = tarnwellParameter (name);
    const auto value = numberFrom (text);
    if (! value)
    {
        // A number with its unit, for Tarnwell's own parameters: 2.5s, 1200Hz, 35%.
        const auto displayed = parameter >= 0 ? parameters::displayedForText (parameter, text) : std::nullopt;
        if (! displayed)
        {
            error = name + "=" + text + ": the value is not a number (values are normalised, 0 to 1"
                + (parameter >= 0 ? ", or " + rangeOf (parameter) + " with the unit" : juce::String()) + ")";
            return false;
        }
        const auto& d = parameters::describe (parameter);
        if (*displayed < d.displayMinimum || *displayed > d.displayMaximum)
        {
            error = name + "=" + text + ": the value lies outside " + rangeOf (parameter);
            return false;
        }
        options.settings.emplace_back (name, parameters::normalisedFor (parameter, *displayed));
        return true;
    }
    if (*value < 0 || *value > 1)
    {
        error = name + "=" + text + ": the value lies outside 0 to 1 (a number alone is normalised"
            + (parameter >= 0 ? "; with its unit, " + rangeOf (parameter) : juce::String()) + ")";
        return false;
    }
    options.settings.emplace_back (name, static_cast<float> (*value));
    return true;
}

// A factory preset's five values go first, so --set changes them wherever it stands.
bool parsePreset (const juce::String& name, Options& options, juce::String& error)
{
    const auto* preset = factoryPresets::find (name);
    if (preset == nullptr)
    {
        error = "no preset \"" + name + "\" (" + toolName + " presets lists them)";
        return false;
    }
    for (int i = parameters::count; --i >= 0;)
        options.settings.emplace (options.settings.begin(), parameters::name (i),
                                  preset->normalised[static_cast<size_t> (i)]);
    return true;
}

bool parseNumber (const juce::String& option, const juce::String& value, Options& options, juce::String& error)
{
    struct Limits
    {
        double lowest, highest;
        const char* wanted;
    };
    const auto limits = option == "--rate" ? Limits { 8000, 768000, "a sample rate from 8000 to 768000 Hz" }
        : option == "--seconds"            ? Limits { 0.01, 60, "seconds, more than 0 and at most 60" }
                                           : Limits { 0, 60, "seconds, 0 to 60" };
    const auto number = numberFrom (value);
    if (! number || *number < limits.lowest || *number > limits.highest)
    {
        error = option + " " + value + ": wants " + limits.wanted;
        return false;
    }
    if (option == "--rate")
        options.sampleRate = *number;
    else if (option == "--seconds")
        options.seconds = *number;
    else
        options.tailSeconds = *number;
    return true;
}

CommandLine mistake (const juce::String& error)
{
    CommandLine result;
    result.error = error + " (see " + toolName + " --help)";
    return result;
}
} // namespace

const char* usageText()
{
    return "usage: tarnwell-render render IN.wav OUT.wav [--set Name=value ...] [--plugin PATH] [--tail SECONDS]\n"
           "       tarnwell-render ir OUT.wav [--set Name=value ...] [--plugin PATH] [--seconds N] [--rate HZ]\n"
           "       tarnwell-render demo OUTDIR [--set Name=value ...] [--plugin PATH]\n"
           "       tarnwell-render presets\n"
           "       tarnwell-render --help | --version\n";
}

juce::String helpText()
{
    return juce::String (usageText())
        + "\n"
          "Renders audio through a VST 2, VST3 or LV2 plug-in, Tarnwell by default, into an audio\n"
          "file in the format OUT's name gives: .wav (32-bit float), .aiff or .flac (24-bit);\n"
          "prints the plug-in's decay time per octave band and draws it into a picture beside\n"
          "the audio, OUT.decay.png. Options may stand before or after the command.\n"
          "\n"
          "  render            IN (WAV, AIFF or FLAC; one or two channels) through the plug-in, then a tail\n"
          "  ir                the plug-in's impulse response: wet unless --set Mix=... says otherwise\n"
          "  demo              a dry demo signal and its render, into OUTDIR; Tarnwell set to T60Low\n"
          "                    3.5 s, T60High 1 s, Transition 670 Hz, Mix 35 %, Diffusion 0.7\n"
          "  presets           lists Tarnwell's factory presets and their settings\n"
          "  --set Name=value  a parameter, normalised (0 to 1), or for Tarnwell's own with its unit:\n"
          "                    T60Low=2.5s, Transition=1200Hz or 1.2kHz, Mix=35%; repeat for more\n"
          "  --preset NAME     a factory preset's five settings (before any --set)\n"
          "  --plugin PATH     a .so (VST 2), .clap, .vst3 or .lv2 bundle; by default the\n"
          "                    Tarnwell.so built with this tool (beside it), else the first\n"
          "                    Tarnwell in ~/.vst, ~/.vst3, ~/.lv2, ~/.clap, then\n"
          "                    /usr/local/lib/{vst,vst3,lv2,clap}, then /usr/lib/{vst,vst3,lv2,clap}\n"
          "  --tail SECONDS    the silence rendered after the input, 0 to 60; by default until the\n"
          "                    slowest band has decayed 60 dB, plus half a second\n"
          "  --seconds N       the impulse response's length; by default the decay to -90 dB\n"
          "  --rate HZ         the impulse response's sample rate, 48000 by default\n"
          "  --verbose         also the plug-in host's messages and the chosen tail\n"
          "  -h, --help        this text\n"
          "  --version         the version\n"
          "\n"
          "The output is written under a hidden name and renamed when complete: a failure or an\n"
          "interruption (Ctrl+C) leaves no file behind, and an existing file is replaced only by a\n"
          "complete one. The output may be neither the input nor a folder.\n"
          "\n"
          "Exit status: 0 done; 1 a failure (an input that can't be read, an output that can't be\n"
          "written, a plug-in that won't load); 2 a mistake in the command line (an unknown command,\n"
          "option or parameter, a value out of range); 128 + the signal's number when interrupted.\n";
}

CommandLine parseCommandLine (int argc, const char* const* argv)
{
    CommandLine result;
    auto& options = result.options;

    // --help and --version win wherever they stand, as users type them after a half-made line.
    for (int i = 1; i < argc; ++i)
    {
        const auto arg = juce::String::fromUTF8 (argv[i]);
        if (arg == "--help" || arg == "-h")
            return { CommandLine::Request::help, {}, {} };
        if (arg == "--version")
            return { CommandLine::Request::version, {}, {} };
    }

    // The command is the first word that is neither an option nor an option's value.
    const auto takesValue = [] (const juce::String& arg) {
        return arg == "--set" || arg == "--preset" || arg == "--plugin" || arg == "--tail" || arg == "--seconds"
            || arg == "--rate";
    };
    int commandIndex = 0;
    for (int i = 1; i < argc && commandIndex == 0; ++i)
    {
        const auto arg = juce::String::fromUTF8 (argv[i]);
        if (takesValue (arg))
            ++i;
        else if (! arg.startsWith ("-") || arg == "-")
            commandIndex = i;
        else if (arg != "--verbose")
            return mistake ("unknown option " + arg);
    }
    if (commandIndex == 0)
        return mistake ("wants a command: render, ir, demo or presets");
    options.command = juce::String::fromUTF8 (argv[commandIndex]);
    if (options.command == "presets")
    {
        if (argc > 2)
            return mistake ("presets takes nothing more");
        result.request = CommandLine::Request::run;
        return result;
    }
    if (options.command != "render" && options.command != "ir" && options.command != "demo")
        return mistake ("unknown command \"" + options.command + "\": wants render, ir, demo or presets");

    for (int i = 1; i < argc; ++i)
    {
        if (i == commandIndex)
            continue;
        const auto arg = juce::String::fromUTF8 (argv[i]);
        if (takesValue (arg) && i + 1 >= argc)
            return mistake (arg + " wants a value");
        const auto value = takesValue (arg) ? juce::String::fromUTF8 (argv[++i]) : juce::String();

        juce::String error;
        if (arg == "--set")
        {
            if (! parseSetting (value, options, error))
                return mistake (error);
        }
        else if (arg == "--preset")
        {
            if (! parsePreset (value, options, error))
                return mistake (error);
        }
        else if (arg == "--plugin")
            options.plugin = juce::File::getCurrentWorkingDirectory().getChildFile (value);
        else if (arg == "--tail" || arg == "--seconds" || arg == "--rate")
        {
            if (! parseNumber (arg, value, options, error))
                return mistake (error);
        }
        else if (arg == "--verbose")
            options.verbose = true;
        else if (arg.startsWith ("-") && arg != "-")
            return mistake ("unknown option " + arg);
        else
            options.positional.add (arg);
    }

    const int wanted = options.command == "render" ? 2 : 1;
    if (options.positional.size() != wanted)
        return mistake (options.command
                        + (options.command == "render"   ? " wants IN.wav and OUT.wav"
                               : options.command == "ir" ? " wants OUT.wav"
                                                         : " wants OUTDIR")
                        + "; " + juce::String (options.positional.size()) + " given");
    if (options.plugin == juce::File())
    {
        options.plugin = findTarnwell();
        options.pluginSearched = true;
    }
    result.request = CommandLine::Request::run;
    return result;
}

juce::String versionText()
{
    return juce::String (toolName) + " " + product::version + "\n";
}
} // namespace tarnwell::render
