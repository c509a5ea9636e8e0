// tarnwell-render render IN.wav OUT.wav [--set Name=value ...] [--plugin PATH] [--tail SECONDS]
// tarnwell-render ir OUT.wav [--set Name=value ...] [--plugin PATH] [--seconds N] [--rate HZ]
// tarnwell-render demo OUTDIR [--set Name=value ...] [--plugin PATH]
// tarnwell-render presets
// Each writes a decay picture beside its audio and prints the decay per octave band.

#include "tools/render/AudioFileReading.h"
#include "tools/render/AudioFileWriting.h"
#include "tools/render/CommandLine.h"
#include "tools/render/DecayPicture.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/OutputFile.h"
#include "tools/render/PluginRenderer.h"
#include "tools/render/PluginSearch.h"
#include "tools/render/PresetList.h"
#include "tools/render/Progress.h"
#include "tools/render/QuietHosting.h"

#include <cmath>
#include <cstdio>

namespace
{
using namespace tarnwell::render;

int fail (const juce::String& message, int status = exitStatus::failure)
{
    std::fprintf (stderr, "%s: %s\n", toolName, message.toRawUTF8());
    return status;
}

juce::File fileFromArgument (const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

juce::File pictureBeside (const juce::File& audioFile)
{
    return audioFile.withFileExtension ("decay.png");
}

// Every output (the audio files, then the picture) is refused or opened under its hidden name
// before any work, so that a mistake costs no render. Empty, with `error` set, if one can't be.
std::vector<std::unique_ptr<OutputFile>> openOutputs (const juce::Array<juce::File>& audio, const juce::File& picture,
                                                      const juce::Array<juce::File>& inputs, juce::String& error)
{
    std::vector<std::unique_ptr<OutputFile>> outputs;
    auto targets = audio;
    targets.add (picture);
    for (const auto& target : targets)
    {
        error = whyNotAnOutput (target, inputs);
        if (error.isEmpty() && target != picture)
            error = whyNotAnAudioName (target);
        if (error.isNotEmpty())
            return {};
        outputs.push_back (std::make_unique<OutputFile> (target));
        if (! outputs.back()->isOpen())
        {
            error = outputs.back()->getError();
            return {};
        }
    }
    return outputs;
}

// Loads the plug-in and applies the settings; nullptr with `error` and the exit status if not.
std::unique_ptr<PluginRenderer> loadPlugin (const Options& options, double sampleRate, juce::String& error, int& status)
{
    status = exitStatus::failure;
    if (options.pluginSearched && ! options.plugin.exists())
    {
        error = noTarnwellFound();
        return nullptr;
    }
    std::unique_ptr<PluginRenderer> renderer;
    {
        // The plug-in may print as it is made (an LV2 instance is prepared then), and lilv
        // warns about every bundle it finds odd.
        const SilencedStdout quietOut (! options.verbose);
        const SilencedStderr quietErr (! options.verbose);
        renderer = std::make_unique<PluginRenderer> (options.plugin, sampleRate);
    }
    status = exitStatus::failure;
    if (! renderer->isLoaded())
    {
        error = renderer->getError();
        return nullptr;
    }
    for (const auto& [name, value] : options.settings)
    {
        if (! renderer->setParameter (name, value))
        {
            error = "unknown parameter \"" + name
                + "\" (valid names: " + renderer->getParameterNames().joinIntoString (", ") + ")";
            status = exitStatus::usage;
            return nullptr;
        }
    }
    return renderer;
}

bool writeAudio (OutputFile& output, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    Progress progress ("Writing");
    return writeAudioFile (output, audio, sampleRate, [&progress] (double f) { progress.update (f); });
}

juce::AudioBuffer<float> renderQuietly (PluginRenderer& renderer, const Options& options, const char* label,
                                        const juce::AudioBuffer<float>& input, int tailFrames)
{
    Progress progress (label);
    const SilencedStdout quiet (! options.verbose);
    return renderer.render (input, tailFrames, [&progress] (double f) { progress.update (f); });
}

// The report from the wet impulse response measured now, by a second instance.
DecayReport measureDecay (PluginRenderer& renderer, const Options& options, double sampleRate)
{
    const auto seconds = impulseResponseSeconds (decaySettingsOf (renderer, sampleRate));
    juce::AudioBuffer<float> measured;
    {
        Progress progress ("Measuring the decay");
        const SilencedStdout quiet (! options.verbose);
        measured = renderer.measureImpulseResponse (juce::roundToInt (seconds * sampleRate),
                                                    [&progress] (double f) { progress.update (f); });
    }
    return makeDecayReport (renderer, measured, sampleRate);
}

// Prints the decay table and writes the picture.
bool reportDecay (const DecayReport& report, OutputFile& picture)
{
    std::printf ("%s", decayTable (report).toRawUTF8());
    if (! writeDecayPicture (picture, report))
    {
        fail (picture.getError().isNotEmpty() ? picture.getError()
                                              : "cannot write " + picture.getTarget().getFullPathName());
        return false;
    }
    std::printf ("Decay picture: %s\n", picture.getTarget().getFullPathName().toRawUTF8());
    return true;
}

int render (const Options& options)
{
    const auto inFile = fileFromArgument (options.positional[0]);
    const auto outFile = fileFromArgument (options.positional[1]);
    juce::String error;

    const auto reader = openAudioFile (inFile, error);
    if (reader == nullptr)
        return fail ("cannot read " + inFile.getFullPathName() + ": " + error);
    const double sampleRate = reader->sampleRate;

    auto outputs = openOutputs ({ outFile }, pictureBeside (outFile), { inFile }, error);
    if (outputs.empty())
        return fail (error);

    int status = exitStatus::failure;
    const auto renderer = loadPlugin (options, sampleRate, error, status);
    if (renderer == nullptr)
        return fail (error, status);

    // Which channel goes to which speaker is not in the file: the tool does not guess a mix.
    const int channels = static_cast<int> (reader->numChannels);
    if (channels > juce::jmax (2, renderer->getNumInputs()))
        return fail (inFile.getFullPathName() + " has " + juce::String (channels) + " channels; the plug-in takes "
                     + juce::String (renderer->getNumInputs()) + ": mix it down to stereo first");

    const auto report = measureDecay (*renderer, options, sampleRate);
    const auto tailSeconds =
        options.tailSeconds.value_or (defaultTailSeconds (decaySettingsOf (*renderer, sampleRate), report));
    if (options.verbose)
        std::printf ("Tail: %.2f s%s\n", tailSeconds,
                     options.tailSeconds ? " (as given)" : " (the slowest band's decay to -60 dB, and half a second)");

    const auto tailFrames = static_cast<juce::int64> (std::llround (tailSeconds * sampleRate));
    AudioFileWriter writer (*outputs[0], sampleRate, renderer->getNumOutputs());
    if (! writer.isOpen())
        return fail ("cannot write " + outFile.getFullPathName());
    juce::int64 position = 0;
    bool readFailed = false;
    {
        Progress progress ("Rendering");
        const SilencedStdout quiet (! options.verbose);
        renderer->render (
            channels, reader->lengthInSamples, tailFrames,
            [&] (juce::AudioBuffer<float>& block, int frames) {
                readFailed = ! reader->read (&block, 0, frames, position, true, true);
                position += frames;
                return ! readFailed;
            },
            [&] (const juce::AudioBuffer<float>& block, int frames) { return writer.write (block, 0, frames); },
            [&progress] (double f) { progress.update (f); });
    }
    if (readFailed)
        return fail ("cannot read " + inFile.getFullPathName() + ": the file is damaged");
    if (! writer.finish() || ! outputs[0]->commit())
        return fail (outputs[0]->getError().isNotEmpty() ? outputs[0]->getError()
                                                         : "cannot write " + outFile.getFullPathName());
    std::printf ("Wrote %s (%d channels, %.2f s)\n", outFile.getFullPathName().toRawUTF8(), renderer->getNumOutputs(),
                 double (reader->lengthInSamples + tailFrames) / sampleRate);

    return reportDecay (report, *outputs[1]) ? exitStatus::done : exitStatus::failure;
}

int impulseResponse (const Options& options)
{
    const auto outFile = fileFromArgument (options.positional[0]);
    juce::String error;
    auto outputs = openOutputs ({ outFile }, pictureBeside (outFile), {}, error);
    if (outputs.empty())
        return fail (error);

    const double sampleRate = options.sampleRate;
    int status = exitStatus::failure;
    const auto renderer = loadPlugin (options, sampleRate, error, status);
    if (renderer == nullptr)
        return fail (error, status);

    // Wet unless asked otherwise: a convolution reverb brings its own dry signal.
    bool wet = true;
    if (renderer->getParameterNames().contains ("Mix", true))
    {
        float mix = 1.0f;
        for (const auto& [name, value] : options.settings)
            if (name.equalsIgnoreCase ("Mix"))
                mix = value;
        renderer->setParameter ("Mix", mix);
        wet = mix == 1.0f;
    }

    const double seconds = options.seconds.value_or (impulseResponseSeconds (decaySettingsOf (*renderer, sampleRate)));
    juce::AudioBuffer<float> impulse (1, juce::jmax (1, juce::roundToInt (seconds * sampleRate)));
    impulse.clear();
    impulse.setSample (0, 0, 1.0f);

    const auto response = renderQuietly (*renderer, options, "Rendering", impulse, 0);
    if (! writeAudio (*outputs[0], response, sampleRate))
        return fail (outputs[0]->getError().isNotEmpty() ? outputs[0]->getError()
                                                         : "cannot write " + outFile.getFullPathName());
    std::printf ("Wrote %s (%d channels, %.2f s at %.0f Hz)\n", outFile.getFullPathName().toRawUTF8(),
                 response.getNumChannels(), response.getNumSamples() / sampleRate, sampleRate);

    const auto report =
        wet ? makeDecayReport (*renderer, response, sampleRate) : measureDecay (*renderer, options, sampleRate);
    return reportDecay (report, *outputs[1]) ? exitStatus::done : exitStatus::failure;
}

int demo (const Options& options)
{
    const auto dir = fileFromArgument (options.positional[0]);
    if (! dir.createDirectory())
        return fail ("cannot create " + dir.getFullPathName());

    const auto dryFile = dir.getChildFile ("demo-dry.wav"), wetFile = dir.getChildFile ("demo-wet.wav");
    juce::String error;
    auto outputs = openOutputs ({ dryFile, wetFile }, pictureBeside (wetFile), {}, error);
    if (outputs.empty())
        return fail (error);

    constexpr double sampleRate = 44100.0;
    const auto dry = makeDemoSignal (sampleRate);

    // Tarnwell gets the demo's own settings first; another plug-in only what --set gives.
    int status = exitStatus::failure;
    auto withDemoSettings = options;
    withDemoSettings.settings = demoSettings();
    withDemoSettings.settings.insert (withDemoSettings.settings.end(), options.settings.begin(),
                                      options.settings.end());
    auto renderer = loadPlugin (withDemoSettings, sampleRate, error, status);
    if (renderer == nullptr && status == exitStatus::usage) // a parameter it lacks: not Tarnwell
        renderer = loadPlugin (options, sampleRate, error, status);
    if (renderer == nullptr)
        return fail (error, status);
    std::printf ("Plug-in: %s\n", options.plugin.getFullPathName().toRawUTF8());

    const auto wet = renderQuietly (*renderer, options, "Rendering", dry, 0);
    if (! writeAudio (*outputs[0], dry, sampleRate) || ! writeAudio (*outputs[1], wet, sampleRate))
        return fail ("cannot write into " + dir.getFullPathName());
    std::printf ("Dry: %s\nWet: %s\n", dryFile.getFullPathName().toRawUTF8(), wetFile.getFullPathName().toRawUTF8());

    return reportDecay (measureDecay (*renderer, options, sampleRate), *outputs[2]) ? exitStatus::done
                                                                                    : exitStatus::failure;
}
} // namespace

int main (int argc, char** argv)
{
    const auto commandLine = parseCommandLine (argc, argv);
    switch (commandLine.request)
    {
        case CommandLine::Request::help:
            std::printf ("%s", helpText().toRawUTF8());
            return exitStatus::done;
        case CommandLine::Request::version:
            std::printf ("%s", versionText().toRawUTF8());
            return exitStatus::done;
        case CommandLine::Request::mistake:
            return fail (commandLine.error, exitStatus::usage);
        case CommandLine::Request::run:
            break;
    }
    const auto& options = commandLine.options;
    if (options.command == "presets")
    {
        std::printf ("%s", presetList().toRawUTF8());
        return exitStatus::done;
    }
    removeOutputsWhenInterrupted();

    // JUCE's plug-in hosting wants a message manager; this thread is its message thread.
    const juce::ScopedJuceInitialiser_GUI juce;
    DroppingLogger dropping;
    if (! options.verbose)
        juce::Logger::setCurrentLogger (&dropping);

    const int status = options.command == "render" ? render (options)
        : options.command == "ir"                  ? impulseResponse (options)
                                                   : demo (options);
    juce::Logger::setCurrentLogger (nullptr);
    return status;
}
