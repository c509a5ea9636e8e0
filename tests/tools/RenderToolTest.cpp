// The render tool drives Tarnwell.so through JUCE's VST2 hosting, code we did not write:
// its output must be what the plug-in gives our own host, sample for sample (which the host
// tests hold against the processor itself).

#include "tests/support/WavFiles.h"
#include "tests/host/TestHost.h"

#include "tools/analysis/DecayMeasurement.h"
#include "tools/analysis/DesignedDecay.h"
#include "tools/analysis/OctaveBands.h"
#include "tools/render/DecayPicture.h"

#include <cstdlib>
#include <map>

using namespace tarnwell::testreference;
namespace analysis = tarnwell::analysis;
namespace render = tarnwell::render;

namespace
{
// Tarnwell.so through its entry point, in place, in blocks of `blockSize`.
Channels reference (const std::vector<Setting>& settings, Channels audio, int blockSize, double sampleRate)
{
    const tarnwell::testhost::PluginLibrary library;
    tarnwell::testhost::Plugin plugin { library };
    EXPECT_NE (plugin.effect, nullptr);
    if (plugin.effect == nullptr)
        return {};
    plugin.resume (static_cast<float> (sampleRate), blockSize);
    for (const auto& s : settings)
        plugin.effect->setParameter (plugin.effect, s.index, s.value);
    plugin.processInPlace (audio, blockSize);
    return audio;
}

// Runs the tool; what it printed on each stream.
struct Run
{
    int status;
    juce::String out, err;
};

Run runTool (const juce::String& arguments, const juce::String& plugin = TARNWELL_VST2_PATH)
{
    const juce::TemporaryFile out (".txt"), err (".txt");
    const juce::String command = juce::String ("'") + TARNWELL_RENDER_PATH + "' " + arguments + " --plugin '" + plugin
                                 + "' > '" + out.getFile().getFullPathName() + "' 2> '" + err.getFile().getFullPathName() + "'";
    const int status = std::system (command.toRawUTF8());
    return { status, out.getFile().loadFileAsString(), err.getFile().loadFileAsString() };
}

juce::String quoted (const juce::File& file)
{
    return "'" + file.getFullPathName() + "'";
}

// A folder of its own for each test, so that anything left behind shows.
struct Folder
{
    juce::File dir = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("render-tool-test", "");
    Folder() { dir.createDirectory(); }
    ~Folder() { dir.deleteRecursively(); }

    juce::StringArray names() const
    {
        juce::StringArray result;
        for (const auto& f : dir.findChildFiles (juce::File::findFilesAndDirectories, false, "*", juce::File::FollowSymlinks::no))
            result.add (f.getFileName());
        result.sort (false);
        return result;
    }
};

TEST (RenderTool, OutputIsThePluginsOwn)
{
    // In a folder of its own: the tool writes its decay picture beside the output.
    const Folder folder;
    const auto in = folder.dir.getChildFile ("in.wav"), out = folder.dir.getChildFile ("out.wav");
    const double rate = 48000.0;
    auto input = noise (2, 48000, 7);
    ASSERT_TRUE (writeWav (in, input, rate));

    const juce::String command = juce::String ("'") + TARNWELL_RENDER_PATH + "' render '" + in.getFullPathName()
                                 + "' '" + out.getFullPathName() + "' --plugin '" + TARNWELL_VST2_PATH
                                 + "' --set Mix=0.4 --set diffusion=0.9 --set T60High=0.2 --tail 0.25 > /dev/null";
    ASSERT_EQ (std::system (command.toRawUTF8()), 0);

    // The tool appends a quarter second of silence for the tail.
    for (auto& ch : input)
        ch.resize (ch.size() + 12000, 0.0f);
    const auto expected = reference ({ { 3, 0.4f }, { 4, 0.9f }, { 1, 0.2f } }, input, 512, rate);

    expectNear (readWav (out), expected);
}

// Every mistake a user could make is named in one line on stderr, before any work, and
// leaves no output behind, not even a hidden half-written one.
TEST (RenderTool, RefusesWhatItCannotDo)
{
    const Folder folder;
    const auto in = folder.dir.getChildFile ("in.wav"), text = folder.dir.getChildFile ("notes.wav");
    const auto out = folder.dir.getChildFile ("out.wav");
    ASSERT_TRUE (writeWav (in, noise (1, 1000, 8), 44100.0));
    ASSERT_TRUE (text.replaceWithText ("not audio"));
    const auto render = "render " + quoted (in) + " " + quoted (out) + " ";
    const auto inputs = folder.names();

    const struct
    {
        juce::String arguments, message;
    } cases[] = {
        { "render " + quoted (folder.dir.getChildFile ("missing.wav")) + " " + quoted (out), "missing.wav: no such file" },
        { "render " + quoted (text) + " " + quoted (out), "notes.wav: not an audio file this tool reads (WAV" },
        { render + "--set Bogus=0.3", "unknown parameter \"Bogus\" (valid names: T60Low, T60High, Transition, Mix, Diffusion)" },
        { render + "--set Mix=loud", "Mix=loud: the value is not a number" },
        { render + "--set Mix=7", "Mix=7: the value lies outside 0 to 1" },
        { render + "--set T60Low=-0.1", "T60Low=-0.1: the value lies outside 0 to 1" },
        { render + "--set Diffusion=0.5x", "Diffusion=0.5x: the value is not a number" },
        { "render " + quoted (in) + " " + quoted (folder.dir.getChildFile ("no/such/folder/out.wav")),
          "output folder " + folder.dir.getChildFile ("no/such/folder").getFullPathName() + " does not exist" },
        { "ir " + quoted (out) + " --set Bogus=1", "unknown parameter \"Bogus\"" },
        { "ir " + quoted (folder.dir.getChildFile ("gone/ir.wav")), "output folder" },
    };
    for (const auto& c : cases)
    {
        const auto run = runTool (c.arguments);
        EXPECT_NE (run.status, 0) << c.arguments;
        EXPECT_TRUE (run.err.startsWith ("tarnwell: ") && run.err.contains (c.message)) << run.err;
        EXPECT_EQ (run.err.trimEnd().indexOfChar ('\n'), -1) << "one line: " << run.err;
        EXPECT_EQ (folder.names(), inputs) << c.arguments;
    }

    // The plug-in itself: missing, or a file that is no plug-in.
    for (const auto& [plugin, message] : { std::pair { juce::String ("/nonexistent/Tarnwell.so"), juce::String ("no plug-in at /nonexistent/Tarnwell.so") },
                                           std::pair { text.getFullPathName(), "cannot load a plug-in from " + text.getFullPathName() } })
    {
        const auto run = runTool (render + "--set Mix=1", plugin);
        EXPECT_NE (run.status, 0);
        EXPECT_TRUE (run.err.contains (message)) << run.err;
        EXPECT_EQ (folder.names(), inputs);
    }

    // And a mono file is fine: stereo out, with its decay picture beside it, and none of the
    // hosting's messages nor the plug-in's own lines (progress may show on a slow machine).
    const auto run = runTool (render + "--set Mix=1");
    EXPECT_EQ (run.status, 0) << run.err;
    EXPECT_FALSE (run.err.contains ("VST") || run.out.contains ("VST")) << run.err;
    EXPECT_FALSE (run.out.contains ("input channels")) << run.out;
    EXPECT_EQ (readWav (out).size(), 2u);
    EXPECT_TRUE (out.withFileExtension ("decay.png").existsAsFile());
}

// The Transition value that the settings' mapping (50 Hz times 320 to the power v) turns into `hertz`.
float transitionAt (double hertz)
{
    return static_cast<float> (std::log (hertz / 50.0) / std::log (320.0));
}

// Measured and set T60 per band, from the table the tool prints.
std::map<juce::String, std::pair<double, double>> decayTable (const juce::String& printed)
{
    std::map<juce::String, std::pair<double, double>> table;
    for (const auto& line : juce::StringArray::fromLines (printed))
    {
        auto fields = juce::StringArray::fromTokens (line.trim(), " ", "");
        fields.removeEmptyStrings();
        if (fields.size() == 6 && (fields[1] == "Hz" || fields[1] == "kHz") && fields[3] == "s" && fields[5] == "s")
            table[fields[0] + " " + fields[1]] = { fields[2].getDoubleValue(), fields[4].getDoubleValue() };
    }
    return table;
}

// With 2 s set below and 1 s above a 500 Hz transition, the bands well clear of it decay as
// set, and the picture shows the curves measured in the very response the tool wrote.
TEST (RenderTool, DecayPictureShowsTheMeasuredAndTheSetDecay)
{
    const Folder folder;
    const auto irFile = folder.dir.getChildFile ("ir.wav");
    const double rate = 48000.0;
    const analysis::DecaySettings settings { 2.0, 1.0, 50.0 * std::pow (320.0, double (transitionAt (500.0))), rate };
    const auto run = runTool ("ir " + quoted (irFile) + " --rate 48000 --set T60Low=0.2 --set T60High=0.1 --set Diffusion=0.7"
                              + " --set Transition=" + juce::String (transitionAt (500.0), 7));
    ASSERT_EQ (run.status, 0) << run.err;

    const auto table = decayTable (run.out);
    ASSERT_EQ (table.size(), 7u) << run.out;
    // The shelf's squared gain crosses over at twice the transition, so 1 and 2 kHz lie in it.
    for (const auto& [band, expected] : { std::pair { "125 Hz", 2.0 }, { "250 Hz", 2.0 }, { "4 kHz", 1.0 }, { "8 kHz", 1.0 } })
    {
        const auto [measured, set] = table.at (band);
        EXPECT_NEAR (set, expected, 0.05 * expected) << band;
        EXPECT_NEAR (measured, set, 0.1 * set) << band;
    }

    const auto image = juce::ImageFileFormat::loadFrom (irFile.withFileExtension ("decay.png"));
    ASSERT_EQ (image.getWidth(), render::DecayPicture::width);
    ASSERT_EQ (image.getHeight(), render::DecayPicture::height);

    // The same report, made here from the written response, gives the picture's axes.
    const auto response = readWav (irFile);
    ASSERT_EQ (response.size(), 2u);
    render::DecayReport report;
    for (const double centre : analysis::octaveBandCentres (rate))
        report.bands.push_back ({ analysis::measureBandDecay ({ response[0].data(), response[1].data() }, response[0].size(), rate, centre),
                                  analysis::designedT60 (settings, centre) });
    const render::DecayPicture picture (report);

    const auto bandPixelNear = [&image] (juce::Point<float> p, juce::Colour colour) {
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx)
            {
                const auto pixel = image.getPixelAt (juce::roundToInt (p.x) + dx, juce::roundToInt (p.y) + dy);
                if (std::abs (pixel.getRed() - colour.getRed()) + std::abs (pixel.getGreen() - colour.getGreen())
                        + std::abs (pixel.getBlue() - colour.getBlue()) < 60)
                    return true;
            }
        return false;
    };
    for (size_t band = 0; band < report.bands.size(); ++band)
    {
        const auto& decay = report.bands[band].measured;
        for (const double t : { 0.25, 0.6, 0.9 })
        {
            const auto level = static_cast<double> (decay.curveDb.at (static_cast<size_t> (std::lround (t / decay.curveInterval))));
            const auto colour = render::DecayPicture::bandColour (band);
            EXPECT_TRUE (bandPixelNear (picture.pointFor (band, t, level), colour)) << decay.centre << " Hz at " << t << " s";
            EXPECT_FALSE (bandPixelNear (picture.pointFor (band, t, level - 10), colour)) << decay.centre << " Hz at " << t << " s";
        }
    }
}

// What `ir` writes is the plug-in's answer to a unit impulse on both inputs: wet unless a mix
// is given.
TEST (RenderTool, ImpulseResponseIsTheRenderOfAUnitImpulse)
{
    const Folder folder;
    const double rate = 44100.0;
    const int frames = 22050;
    Channels impulse (2, std::vector<float> (frames, 0.0f));
    impulse[0][0] = impulse[1][0] = 1.0f;

    const auto irFile = folder.dir.getChildFile ("ir.wav");
    for (const auto& [mixArgument, mix] : { std::pair { " --set Mix=0.8", 0.8f }, { "", 1.0f } })
    {
        const auto run = runTool ("ir " + quoted (irFile) + " --rate 44100 --seconds 0.5 --set T60High=0.2 --set diffusion=0.9"
                                  + mixArgument);
        ASSERT_EQ (run.status, 0) << run.err;
        expectNear (readWav (irFile), reference ({ { 1, 0.2f }, { 4, 0.9f }, { 3, mix } }, impulse, 512, rate));
    }
}
} // namespace
