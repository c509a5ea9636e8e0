// tarnwell render IN.wav OUT.wav [--set Name=value ...] [--plugin PATH] [--tail SECONDS]
// tarnwell demo OUTDIR [--set Name=value ...] [--plugin PATH]

#include "tools/render/DemoSignal.h"
#include "tools/render/PluginRenderer.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstdio>
#include <limits>

namespace
{
using tarnwell::render::PluginRenderer;

constexpr double impulseResponseSeconds = 12.0; // long enough for the longest decay to fall 25 dB
constexpr double progressBarAboveSeconds = 20.0;

struct Options
{
    juce::StringArray positional;
    juce::StringPairArray sets;
    juce::StringArray setOrder;
    juce::File plugin;
    double tailSeconds = 2.0;
};

int usage()
{
    std::fprintf (stderr,
                  "usage: tarnwell render IN.wav OUT.wav [--set Name=value ...] [--plugin PATH] [--tail SECONDS]\n"
                  "       tarnwell demo OUTDIR [--set Name=value ...] [--plugin PATH]\n"
                  "Values are normalised (0..1). The plug-in defaults to the Tarnwell.so built with\n"
                  "this tool, else ~/.vst/Tarnwell.so.\n");
    return 2;
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

bool parse (int argc, char** argv, Options& options)
{
    for (int i = 2; i < argc; ++i)
    {
        const auto arg = juce::String::fromUTF8 (argv[i]);
        if ((arg == "--set" || arg == "--plugin" || arg == "--tail") && i + 1 >= argc)
            return false;

        if (arg == "--set")
        {
            const auto assignment = juce::String::fromUTF8 (argv[++i]);
            if (! assignment.containsChar ('='))
                return false;
            const auto name = assignment.upToFirstOccurrenceOf ("=", false, false).trim();
            options.sets.set (name, assignment.fromFirstOccurrenceOf ("=", false, false).trim());
            options.setOrder.addIfNotAlreadyThere (name);
        }
        else if (arg == "--plugin")
            options.plugin = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[++i]));
        else if (arg == "--tail")
            options.tailSeconds = juce::jmax (0.0, juce::String (argv[++i]).getDoubleValue());
        else if (arg.startsWith ("--"))
            return false;
        else
            options.positional.add (arg);
    }
    if (options.plugin == juce::File())
        options.plugin = defaultPlugin();
    return true;
}

class ProgressBar
{
public:
    explicit ProgressBar (bool shown) : visible (shown) {}
    ~ProgressBar()
    {
        if (visible && lastPercent >= 0)
            std::fprintf (stderr, "\n");
    }

    void update (double fraction)
    {
        const int percent = juce::jlimit (0, 100, static_cast<int> (fraction * 100.0));
        if (! visible || percent == lastPercent)
            return;
        lastPercent = percent;
        const int filled = percent * width / 100;
        std::fprintf (stderr, "\r[%s%s] %3d%%", juce::String::repeatedString ("#", filled).toRawUTF8(),
                      juce::String::repeatedString (" ", width - filled).toRawUTF8(), percent);
        std::fflush (stderr);
    }

private:
    static constexpr int width = 40;
    const bool visible;
    int lastPercent = -1;
};

bool loadPlugin (PluginRenderer& renderer, const Options& options)
{
    if (! renderer.isLoaded())
    {
        std::fprintf (stderr, "tarnwell: %s\n", renderer.getError().toRawUTF8());
        return false;
    }
    for (const auto& name : options.setOrder)
    {
        const auto text = options.sets[name];
        if (! text.containsOnly ("0123456789.-+eE") || ! renderer.setParameter (name, text.getFloatValue()))
        {
            std::fprintf (stderr, "tarnwell: cannot set %s=%s\n", name.toRawUTF8(), text.toRawUTF8());
            return false;
        }
    }
    return true;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    file.deleteFile();
    std::unique_ptr<juce::OutputStream> stream (file.createOutputStream());
    if (stream == nullptr)
        return false;

    // 32-bit float keeps every sample exactly as the plug-in made it.
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, static_cast<unsigned int> (audio.getNumChannels()), 32, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release(); // the writer owns it now
    return writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}

void printDecayTimes (PluginRenderer& renderer, double sampleRate, bool withSetValues)
{
    const auto response = renderer.measureImpulseResponse (static_cast<int> (impulseResponseSeconds * sampleRate));
    const auto measured = tarnwell::render::measureDecayTimes (response, sampleRate);

    const auto describe = [] (double seconds) {
        return seconds > 0 ? juce::String (seconds, 2) + " s" : juce::String ("not measurable");
    };
    std::printf ("Measured decay (T60): %s at %.0f Hz, %s at %.0f Hz\n",
                 describe (measured.low).toRawUTF8(), tarnwell::render::DecayTimes::lowBand,
                 describe (measured.high).toRawUTF8(), tarnwell::render::DecayTimes::highBand);

    if (withSetValues)
    {
        const auto low = renderer.getParameterText ("T60Low");
        const auto high = renderer.getParameterText ("T60High");
        if (low.isNotEmpty() || high.isNotEmpty())
            std::printf ("Set decay:            T60Low %s, T60High %s (transition %s)\n", low.toRawUTF8(),
                         high.toRawUTF8(), renderer.getParameterText ("Transition").toRawUTF8());
    }
}

int render (const Options& options)
{
    if (options.positional.size() != 2)
        return usage();

    const auto inFile = juce::File::getCurrentWorkingDirectory().getChildFile (options.positional[0]);
    const auto outFile = juce::File::getCurrentWorkingDirectory().getChildFile (options.positional[1]);

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (inFile));
    if (reader == nullptr || reader->lengthInSamples > std::numeric_limits<int>::max() / 2)
    {
        std::fprintf (stderr, "tarnwell: cannot read %s\n", inFile.getFullPathName().toRawUTF8());
        return 1;
    }

    const double sampleRate = reader->sampleRate;
    juce::AudioBuffer<float> input (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
    reader->read (&input, 0, input.getNumSamples(), 0, true, true);

    PluginRenderer renderer (options.plugin, sampleRate);
    if (! loadPlugin (renderer, options))
        return 1;

    const int tailFrames = static_cast<int> (options.tailSeconds * sampleRate);
    juce::AudioBuffer<float> output;
    {
        ProgressBar bar ((input.getNumSamples() + tailFrames) > progressBarAboveSeconds * sampleRate);
        output = renderer.render (input, tailFrames, [&bar] (double f) { bar.update (f); });
    }

    if (! writeWav (outFile, output, sampleRate))
    {
        std::fprintf (stderr, "tarnwell: cannot write %s\n", outFile.getFullPathName().toRawUTF8());
        return 1;
    }
    std::printf ("Wrote %s (%d channels, %.2f s)\n", outFile.getFullPathName().toRawUTF8(), output.getNumChannels(),
                 output.getNumSamples() / sampleRate);
    printDecayTimes (renderer, sampleRate, false);
    return 0;
}

int demo (const Options& options)
{
    if (options.positional.size() != 1)
        return usage();

    const auto dir = juce::File::getCurrentWorkingDirectory().getChildFile (options.positional[0]);
    if (! dir.createDirectory())
    {
        std::fprintf (stderr, "tarnwell: cannot create %s\n", dir.getFullPathName().toRawUTF8());
        return 1;
    }

    constexpr double sampleRate = 44100.0;
    const auto dry = tarnwell::render::makeDemoSignal (sampleRate);

    PluginRenderer renderer (options.plugin, sampleRate);
    if (! loadPlugin (renderer, options))
        return 1;
    std::printf ("Plug-in: %s\n", options.plugin.getFullPathName().toRawUTF8());

    const auto wet = renderer.render (dry, 0);
    const auto dryFile = dir.getChildFile ("demo-dry.wav"), wetFile = dir.getChildFile ("demo-wet.wav");
    if (! writeWav (dryFile, dry, sampleRate) || ! writeWav (wetFile, wet, sampleRate))
    {
        std::fprintf (stderr, "tarnwell: cannot write into %s\n", dir.getFullPathName().toRawUTF8());
        return 1;
    }
    std::printf ("Dry: %s\nWet: %s\n", dryFile.getFullPathName().toRawUTF8(), wetFile.getFullPathName().toRawUTF8());
    printDecayTimes (renderer, sampleRate, true);
    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc < 2)
        return usage();

    // JUCE's VST2 hosting wants a message manager; this thread is its message thread.
    const juce::ScopedJuceInitialiser_GUI juce;

    Options options;
    if (! parse (argc, argv, options))
        return usage();

    const juce::String command (argv[1]);
    if (command == "render")
        return render (options);
    if (command == "demo")
        return demo (options);
    return usage();
}
