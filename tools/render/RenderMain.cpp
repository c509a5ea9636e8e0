// tarnwell render IN.wav OUT.wav [--set Name=value ...] [--plugin PATH] [--tail SECONDS]
// tarnwell ir OUT.wav [--set Name=value ...] [--plugin PATH] [--seconds N] [--rate HZ]
// tarnwell demo OUTDIR [--set Name=value ...] [--plugin PATH]
// Each writes a decay picture beside its audio and prints the decay per octave band.

#include "tools/render/AudioFiles.h"
#include "tools/render/CommandLine.h"
#include "tools/render/DecayPicture.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/PluginRenderer.h"
#include "tools/render/Progress.h"
#include "tools/render/QuietHosting.h"

#include <cstdio>

namespace
{
using namespace tarnwell::render;

int fail (const juce::String& message)
{
    std::fprintf (stderr, "tarnwell: %s\n", message.toRawUTF8());
    return 1;
}

juce::File fileFromArgument (const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

// Checked before any work, so that a typo costs no render.
bool canWrite (const juce::File& file, juce::String& error)
{
    if (! file.getParentDirectory().isDirectory())
        error = "output folder " + file.getParentDirectory().getFullPathName() + " does not exist";
    else if (file.isDirectory())
        error = "cannot write " + file.getFullPathName() + ": it is a folder";
    return error.isEmpty();
}

std::unique_ptr<PluginRenderer> loadPlugin (const Options& options, double sampleRate, juce::String& error)
{
    std::unique_ptr<PluginRenderer> renderer;
    {
        // An LV2 instance is prepared as it is made, and the plug-in may print as it is.
        const SilencedStdout quiet (! options.verbose);
        renderer = std::make_unique<PluginRenderer> (options.plugin, sampleRate);
    }
    if (! renderer->isLoaded())
    {
        error = renderer->getError();
        return nullptr;
    }
    for (const auto& [name, value] : options.settings)
    {
        if (! renderer->setParameter (name, value))
        {
            error = "unknown parameter \"" + name + "\" (valid names: " + renderer->getParameterNames().joinIntoString (", ") + ")";
            return nullptr;
        }
    }
    return renderer;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    Progress progress ("Writing");
    return writeWavFile (file, audio, sampleRate, [&progress] (double f) { progress.update (f); });
}

juce::AudioBuffer<float> renderQuietly (PluginRenderer& renderer, const Options& options, const char* label,
                                        const juce::AudioBuffer<float>& input, int tailFrames)
{
    Progress progress (label);
    const SilencedStdout quiet (! options.verbose);
    return renderer.render (input, tailFrames, [&progress] (double f) { progress.update (f); });
}

// Prints the decay table and writes the picture beside `audioFile`, from `wetResponse` if
// given, else from the wet impulse response measured now.
bool reportDecay (PluginRenderer& renderer, const Options& options, double sampleRate, const juce::File& audioFile,
                  const juce::AudioBuffer<float>* wetResponse = nullptr)
{
    juce::AudioBuffer<float> measured;
    if (wetResponse == nullptr)
    {
        const auto seconds = impulseResponseSeconds (decaySettingsOf (renderer, sampleRate));
        Progress progress ("Measuring the decay");
        const SilencedStdout quiet (! options.verbose);
        measured = renderer.measureImpulseResponse (juce::roundToInt (seconds * sampleRate),
                                                    [&progress] (double f) { progress.update (f); });
        wetResponse = &measured;
    }

    const auto report = makeDecayReport (renderer, *wetResponse, sampleRate);
    std::printf ("%s", decayTable (report).toRawUTF8());

    const auto picture = audioFile.withFileExtension ("decay.png");
    if (! writeDecayPicture (picture, report))
    {
        fail ("cannot write " + picture.getFullPathName());
        return false;
    }
    std::printf ("Decay picture: %s\n", picture.getFullPathName().toRawUTF8());
    return true;
}

int render (const Options& options)
{
    const auto inFile = fileFromArgument (options.positional[0]);
    const auto outFile = fileFromArgument (options.positional[1]);
    juce::String error;
    if (! canWrite (outFile, error))
        return fail (error);

    juce::AudioBuffer<float> input;
    double sampleRate = 0;
    {
        Progress progress ("Reading");
        if (! readAudioFile (inFile, input, sampleRate, error, [&progress] (double f) { progress.update (f); }))
            return fail ("cannot read " + inFile.getFullPathName() + ": " + error);
    }

    const auto renderer = loadPlugin (options, sampleRate, error);
    if (renderer == nullptr)
        return fail (error);

    const auto output = renderQuietly (*renderer, options, "Rendering", input, juce::roundToInt (options.tailSeconds * sampleRate));
    if (! writeWav (outFile, output, sampleRate))
        return fail ("cannot write " + outFile.getFullPathName());
    std::printf ("Wrote %s (%d channels, %.2f s)\n", outFile.getFullPathName().toRawUTF8(), output.getNumChannels(),
                 output.getNumSamples() / sampleRate);

    return reportDecay (*renderer, options, sampleRate, outFile) ? 0 : 1;
}

int impulseResponse (const Options& options)
{
    const auto outFile = fileFromArgument (options.positional[0]);
    juce::String error;
    if (! canWrite (outFile, error))
        return fail (error);

    const double sampleRate = options.sampleRate;
    const auto renderer = loadPlugin (options, sampleRate, error);
    if (renderer == nullptr)
        return fail (error);

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
    if (! writeWav (outFile, response, sampleRate))
        return fail ("cannot write " + outFile.getFullPathName());
    std::printf ("Wrote %s (%d channels, %.2f s at %.0f Hz)\n", outFile.getFullPathName().toRawUTF8(),
                 response.getNumChannels(), response.getNumSamples() / sampleRate, sampleRate);

    return reportDecay (*renderer, options, sampleRate, outFile, wet ? &response : nullptr) ? 0 : 1;
}

int demo (const Options& options)
{
    const auto dir = fileFromArgument (options.positional[0]);
    if (! dir.createDirectory())
        return fail ("cannot create " + dir.getFullPathName());

    constexpr double sampleRate = 44100.0;
    const auto dry = makeDemoSignal (sampleRate);

    juce::String error;
    const auto renderer = loadPlugin (options, sampleRate, error);
    if (renderer == nullptr)
        return fail (error);
    std::printf ("Plug-in: %s\n", options.plugin.getFullPathName().toRawUTF8());

    const auto wet = renderQuietly (*renderer, options, "Rendering", dry, 0);
    const auto dryFile = dir.getChildFile ("demo-dry.wav"), wetFile = dir.getChildFile ("demo-wet.wav");
    if (! writeWav (dryFile, dry, sampleRate) || ! writeWav (wetFile, wet, sampleRate))
        return fail ("cannot write into " + dir.getFullPathName());
    std::printf ("Dry: %s\nWet: %s\n", dryFile.getFullPathName().toRawUTF8(), wetFile.getFullPathName().toRawUTF8());

    return reportDecay (*renderer, options, sampleRate, wetFile) ? 0 : 1;
}
} // namespace

int main (int argc, char** argv)
{
    juce::String error;
    const auto options = parseCommandLine (argc, argv, error);
    if (! options)
    {
        if (error.isNotEmpty())
            return fail (error);
        std::fprintf (stderr, "%s", usageText());
        return 2;
    }

    // JUCE's plug-in hosting wants a message manager; this thread is its message thread.
    const juce::ScopedJuceInitialiser_GUI juce;
    DroppingLogger dropping;
    if (! options->verbose)
        juce::Logger::setCurrentLogger (&dropping);

    const int status = options->command == "render" ? render (*options)
                     : options->command == "ir"     ? impulseResponse (*options)
                                                    : demo (*options);
    juce::Logger::setCurrentLogger (nullptr);
    return status;
}
