// The render tool drives Tarnwell.so through JUCE's VST2 hosting, code we did not write:
// its output must be what the plug-in gives our own host, sample for sample (which the host
// tests hold against the processor itself).

#include "processor/FactoryPresets.h"
#include "tests/support/WavFiles.h"
#include "tests/vst2/TestHost.h"

#include "tools/analysis/DecayMeasurement.h"
#include "tools/analysis/DesignedDecay.h"
#include "tools/analysis/OctaveBands.h"
#include "tools/render/AudioFileReading.h"
#include "tools/render/CommandLine.h"
#include "tools/render/DecayPicture.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/PluginSearch.h"

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <map>
#include <tuple>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs the tool; its exit status as a shell reports it, and what it printed on each stream.
struct Run
{
    int status;
    juce::String out, err;
};

Run runCommand (const juce::String& command)
{
    const juce::TemporaryFile out (".txt"), err (".txt");
    const int status = std::system (
        (command + " > '" + out.getFile().getFullPathName() + "' 2> '" + err.getFile().getFullPathName() + "'")
            .toRawUTF8());
    return { WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status), out.getFile().loadFileAsString(),
             err.getFile().loadFileAsString() };
}

Run runTool (const juce::String& arguments, const juce::String& plugin = TARNWELL_VST2_PATH,
             const juce::String& prefix = {})
{
    return runCommand (prefix + "'" + TARNWELL_RENDER_PATH + "' " + arguments + " --plugin '" + plugin + "'");
}

juce::String quoted (const juce::File& file)
{
    return "'" + file.getFullPathName() + "'";
}

// Any file the tool reads, through the tool's own reader; empty if it can't.
Channels readAudio (const juce::File& file)
{
    juce::String error;
    return readAll (render::openAudioFile (file, error).get());
}

// A folder of its own for each test, so that anything left behind shows.
struct Folder
{
    juce::File dir =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("render-tool-test", "");
    Folder() { dir.createDirectory(); }
    ~Folder() { dir.deleteRecursively(); }

    juce::StringArray names() const
    {
        juce::StringArray result;
        for (const auto& f :
             dir.findChildFiles (juce::File::findFilesAndDirectories, false, "*", juce::File::FollowSymlinks::no))
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

    const juce::String command = juce::String ("'") + TARNWELL_RENDER_PATH + "' render '" + in.getFullPathName() + "' '"
        + out.getFullPathName() + "' --plugin '" + TARNWELL_VST2_PATH
        + "' --set Mix=0.4 --set diffusion=0.9 --set T60High=0.2 --tail 0.25 > /dev/null";
    ASSERT_EQ (std::system (command.toRawUTF8()), 0);

    // The tool appends a quarter second of silence for the tail.
    for (auto& ch : input)
        ch.resize (ch.size() + 12000, 0.0f);
    const auto expected = reference ({ { 3, 0.4f }, { 4, 0.9f }, { 1, 0.2f } }, input, 512, rate);

    expectNear (readWav (out), expected);

    // Tarnwell's own parameters in their units, each end of a range among them.
    const auto units = folder.dir.getChildFile ("units.wav");
    ASSERT_EQ (std::system (
                   (juce::String ("'") + TARNWELL_RENDER_PATH + "' render '" + in.getFullPathName() + "' '"
                    + units.getFullPathName() + "' --plugin '" + TARNWELL_VST2_PATH
                    + "' --set Mix=100% --set Diffusion=0% --set T60Low=0s --set t60high=2sec --set Transition=1.2kHz"
                      " --tail 0.25 > /dev/null")
                       .toRawUTF8()),
               0);
    const auto transition = static_cast<float> (std::log (1200.0 / 50.0) / std::log (320.0));
    expectNear (readWav (units),
                reference ({ { 3, 1.0f }, { 4, 0.0f }, { 0, 0.0f }, { 1, 0.2f }, { 2, transition } }, input, 512,
                           rate));

    // Through Tarnwell.clap, the same output: its values are Tarnwell's own, as in every format.
    const auto clap = folder.dir.getChildFile ("clap.wav");
    ASSERT_EQ (runTool ("render " + quoted (in) + " " + quoted (clap)
                            + " --set Mix=0.4 --set diffusion=0.9 --set T60High=0.2 --tail 0.25",
                        TARNWELL_CLAP_PATH)
                   .status,
               0);
    expectNear (readWav (clap), expected);
}

// Every mistake a user could make is named in one line on stderr, before any work, with the
// exit status --help gives (2 for the command line, 1 for the files and the plug-in), and
// leaves every file as it was: no output, not even a hidden half-written one, and the input
// and any folder in the output's place untouched.
TEST (RenderTool, RefusesWhatItCannotDo)
{
    const Folder folder;
    const auto in = folder.dir.getChildFile ("in.wav"), text = folder.dir.getChildFile ("notes.wav");
    const auto out = folder.dir.getChildFile ("out.wav");
    ASSERT_TRUE (writeWav (in, noise (1, 1000, 8), 44100.0));
    ASSERT_TRUE (text.replaceWithText ("not audio"));

    // A file whose header promises 6 s, cut short after 1000 bytes; one of four channels.
    const auto truncated = folder.dir.getChildFile ("cut.wav"), quad = folder.dir.getChildFile ("quad.wav");
    ASSERT_TRUE (writeWav (truncated, noise (2, 6 * 44100, 9), 44100.0));
    ASSERT_EQ (::truncate (truncated.getFullPathName().toRawUTF8(), 1000), 0);
    ASSERT_TRUE (writeWav (quad, noise (4, 1000, 10), 44100.0));

    // A folder in the output's place, one in its picture's, and one the tool may not write in.
    const auto folderOut = folder.dir.getChildFile ("folder.wav"),
               pictureFolder = folder.dir.getChildFile ("pic.decay.png");
    const auto readOnly = folder.dir.getChildFile ("read-only");
    ASSERT_TRUE (folderOut.createDirectory() && pictureFolder.createDirectory() && readOnly.createDirectory());
    ASSERT_TRUE (readOnly.setReadOnly (true));
    // The input under another name: a hard link.
    const auto alias = folder.dir.getChildFile ("alias.wav");
    ASSERT_EQ (::link (in.getFullPathName().toRawUTF8(), alias.getFullPathName().toRawUTF8()), 0);
    // Root writes whatever the permission bits say: the tool runs as nobody for that case.
    const juce::String asNobody = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";

    const auto render = "render " + quoted (in) + " " + quoted (out) + " ";
    const auto before = folder.names();
    const auto inputBytes = in.loadFileAsString();

    const struct
    {
        juce::String arguments, message;
        int status;
        juce::String prefix = {};
    } cases[] = {
        { "render " + quoted (folder.dir.getChildFile ("missing.wav")) + " " + quoted (out),
          "missing.wav: no such file", 1 },
        { "render " + quoted (text) + " " + quoted (out), "notes.wav: not an audio file this tool reads (WAV", 1 },
        { "render " + quoted (truncated) + " " + quoted (out),
          "cut.wav: the file is cut short: its header promises 6.00 s", 1 },
        { "render " + quoted (quad) + " " + quoted (out), "quad.wav has 4 channels; the plug-in takes 2: mix it down",
          1 },
        { render + "--set Bogus=0.3",
          "unknown parameter \"Bogus\" (valid names: T60Low, T60High, Transition, Mix, Diffusion)", 2 },
        { render + "--set Mix=loud", "Mix=loud: the value is not a number", 2 },
        { render + "--set Mix=7", "Mix=7: the value lies outside 0 to 1", 2 },
        { render + "--set T60Low=-0.1", "T60Low=-0.1: the value lies outside 0 to 1", 2 },
        { render + "--set Diffusion=0.5x", "Diffusion=0.5x: the value is not a number", 2 },
        { render + "--set T60Low=10.01s", "T60Low=10.01s: the value lies outside 0 to 10 s", 2 },
        { render + "--set T60High=-0.01sec", "T60High=-0.01sec: the value lies outside 0 to 10 s", 2 },
        { render + "--set Transition=10.01kHz", "Transition=10.01kHz: the value lies outside 50 to 10000 Hz", 2 },
        { render + "--set Transition=49.9Hz", "Transition=49.9Hz: the value lies outside 50 to 10000 Hz", 2 },
        { render + "--set Mix=100.1%", "Mix=100.1%: the value lies outside 0 to 100 %", 2 },
        { render + "--set Mix=35Hz",
          "Mix=35Hz: the value is not a number (values are normalised, 0 to 1, or 0 to 100 % with the unit)", 2 },
        { render + "--set Mix=35",
          "Mix=35: the value lies outside 0 to 1 (a number alone is normalised; with its unit, 0 to 100 %)", 2 },
        { render + "--bogus", "unknown option --bogus (see tarnwell-render --help)", 2 },
        { "render " + quoted (in), "render wants IN.wav and OUT.wav; 1 given", 2 },
        { "mix " + quoted (in), "unknown command \"mix\"", 2 },
        { "render " + quoted (in) + " " + quoted (alias), "alias.wav: it is the input file", 1 },
        { "render " + quoted (in) + " " + quoted (folderOut), "folder.wav: it is a folder", 1 },
        { "render " + quoted (in) + " " + quoted (folder.dir.getChildFile ("pic.wav")), "pic.decay.png: it is a folder",
          1 },
        { "render " + quoted (in) + " " + quoted (readOnly.getChildFile ("out.wav")),
          "read-only/out.wav: permission denied", 1, asNobody },
        { "render " + quoted (in) + " " + quoted (folder.dir.getChildFile ("no/such/folder/out.wav")),
          "the folder " + folder.dir.getChildFile ("no/such/folder").getFullPathName() + " does not exist", 1 },
        { "ir " + quoted (out) + " --set Bogus=1", "unknown parameter \"Bogus\"", 2 },
        { "ir " + quoted (out) + " --seconds 0", "--seconds 0: wants seconds, more than 0", 2 },
        { "--bogus " + render, "unknown option --bogus", 2 },
        { "render " + quoted (in) + " " + quoted (folder.dir.getChildFile ("out.mp3")),
          "out.mp3: the name should end in .wav, .aiff or .flac", 1 },
        { "ir " + quoted (folder.dir.getChildFile ("gone/ir.wav")), "does not exist", 1 },
    };
    for (const auto& c : cases)
    {
        const auto run = runTool (c.arguments, TARNWELL_VST2_PATH, c.prefix);
        EXPECT_EQ (run.status, c.status) << c.arguments << "\n" << run.err;
        EXPECT_TRUE (run.err.startsWith ("tarnwell-render: ") && run.err.contains (c.message)) << run.err;
        EXPECT_EQ (run.err.trimEnd().indexOfChar ('\n'), -1) << "one line: " << run.err;
        EXPECT_EQ (folder.names().joinIntoString (" "), before.joinIntoString (" ")) << c.arguments;
        EXPECT_TRUE (readOnly.findChildFiles (juce::File::findFilesAndDirectories, false, "*").isEmpty());
        EXPECT_TRUE (folderOut.isDirectory() && pictureFolder.isDirectory());
        EXPECT_EQ (in.loadFileAsString(), inputBytes);
    }
    readOnly.setReadOnly (false);

    // The plug-in itself: missing, or a file that is no plug-in.
    for (const auto& [plugin, message] :
         { std::pair { juce::String ("/nonexistent/Tarnwell.so"),
                       juce::String ("no plug-in at /nonexistent/Tarnwell.so") },
           std::pair { text.getFullPathName(), "cannot load a plug-in from " + text.getFullPathName() } })
    {
        const auto run = runTool (render + "--set Mix=1", plugin);
        EXPECT_EQ (run.status, 1);
        EXPECT_TRUE (run.err.contains (message)) << run.err;
        EXPECT_EQ (folder.names(), before);
    }

    // And a mono file is fine: stereo out, with its decay picture beside it, and none of the
    // hosting's messages nor the plug-in's own lines (progress may show on a slow machine).
    // With no --tail, the tail lasts the slower set decay (0.5 s) and half a second.
    const auto run = runTool (render + "--set Mix=1 --set T60Low=0.05 --set T60High=0.03");
    EXPECT_EQ (run.status, 0) << run.err;
    EXPECT_FALSE (run.err.contains ("VST") || run.out.contains ("VST")) << run.err;
    EXPECT_FALSE (run.out.contains ("input channels") || run.out.contains ("Tail")) << run.out;
    const auto written = readWav (out);
    ASSERT_EQ (written.size(), 2u);
    EXPECT_EQ (written[0].size(), size_t (1000 + 44100));
    EXPECT_TRUE (out.withFileExtension ("decay.png").existsAsFile());
    EXPECT_TRUE (runTool (render + "--set T60Low=0.05 --set T60High=0.03 --verbose").out.contains ("Tail: 1.00 s"));
}

// Whatever encoding holds the same samples, the render is the same: every WAV encoding (the
// signal has 8 bits, so each holds it exactly; sox writes 24 bits and more as extensible),
// AIFF, AIFC and FLAC, made by sox without dither. And the
// output is what its name says: WAV 32-bit float with a header sox reads without a warning,
// AIFF and FLAC in 24 bits, equal to the WAV output to 24-bit precision.
TEST (RenderTool, ReadsAndWritesTheCommonAudioFormats)
{
    const Folder folder;
    const double rate = 48000.0;
    auto signal = burst (2, 4800, 2400, 13);
    for (auto& channel : signal)
        for (auto& sample : channel)
            sample = std::round (sample * 32.0f) / 128.0f; // well clear of clipping
    const auto source = folder.dir.getChildFile ("source.wav");
    ASSERT_TRUE (writeWav (source, signal, rate));
    const juce::String settings = " --set T60Low=0.3 --set T60High=0.2 --tail 0.2";

    const auto reference = folder.dir.getChildFile ("reference.wav");
    ASSERT_EQ (runTool ("render " + quoted (source) + " " + quoted (reference) + settings).status, 0);
    const auto expected = readWav (reference);
    ASSERT_EQ (expected.size(), 2u);

    for (const auto* encoding :
         { "u8.wav -b 8 -e unsigned-integer", "s16.wav -b 16 -e signed-integer", "s24.wav -b 24 -e signed-integer",
           "s32.wav -b 32 -e signed-integer", "f64.wav -b 64 -e floating-point", "s16.aiff -b 16", "s24.aiff -b 24",
           "s16.aifc -b 16", "s16.flac -b 16", "s24.flac -b 24" })
    {
        const auto name = juce::String (encoding).upToFirstOccurrenceOf (" ", false, false);
        const auto in = folder.dir.getChildFile (name), out = folder.dir.getChildFile ("out-" + name + ".wav");
        const auto made =
            runCommand ("sox -D " + quoted (source) + juce::String (encoding).fromFirstOccurrenceOf (" ", true, false)
                        + " " + quoted (in));
        ASSERT_EQ (made.status, 0) << made.err;
        const auto run = runTool ("render " + quoted (in) + " " + quoted (out) + settings);
        ASSERT_EQ (run.status, 0) << name << "\n" << run.err;
        EXPECT_TRUE (readWav (out) == expected) << name;
    }

    for (const auto& [extension, fileSays, soxSays] :
         { std::tuple { "wav", "WAVE audio", "32-bit Floating Point PCM" },
           { "aiff", "AIFF audio", "24-bit Signed Integer PCM" },
           { "flac", "FLAC audio bitstream data, 24 bit, stereo, 48 kHz", "24-bit FLAC" } })
    {
        const auto out = folder.dir.getChildFile (juce::String ("out.") + extension);
        ASSERT_EQ (runTool ("render " + quoted (source) + " " + quoted (out) + settings).status, 0) << extension;
        EXPECT_TRUE (runCommand ("file -b " + quoted (out)).out.contains (fileSays)) << extension;
        const auto info = runCommand ("soxi " + quoted (out));
        EXPECT_EQ (info.status, 0);
        EXPECT_TRUE (info.err.isEmpty()) << extension << ": " << info.err;
        EXPECT_TRUE (info.out.contains ("Sample Encoding: " + juce::String (soxSays))) << info.out;
        const auto written = readAudio (out);
        ASSERT_EQ (written.size(), 2u) << extension;
        ASSERT_EQ (written[0].size(), expected[0].size()) << extension;
        for (size_t ch = 0; ch < 2; ++ch)
            for (size_t n = 0; n < written[ch].size(); ++n)
                ASSERT_NEAR (written[ch][n], expected[ch][n], 1.0 / (1 << 23) + 1e-9)
                    << extension << " " << ch << " " << n;
    }
}

// Without --plugin the tool finds Tarnwell where a user installed it: here only the LV2 bundle,
// in a new home's ~/.lv2, with the tool copied away from the build. Without one, it names
// where it looked and --plugin.
TEST (RenderTool, FindsTarnwellWhereverItWasInstalled)
{
    const Folder folder;
    const auto home = folder.dir.getChildFile ("home"), tool = folder.dir.getChildFile ("bin/tarnwell-render");
    ASSERT_TRUE (tool.getParentDirectory().createDirectory() && juce::File (TARNWELL_RENDER_PATH).copyFileTo (tool));
    ASSERT_TRUE (tool.setExecutePermission (true) && home.createDirectory());
    const auto ir = folder.dir.getChildFile ("ir.wav");
    const auto command = "HOME=" + quoted (home) + " " + quoted (tool) + " --seconds 0.1 ir " + quoted (ir);

    // The copied tool has no Tarnwell beside it and the home is new: only a system-wide one counts.
    bool systemWide = false;
    for (const auto& place : render::tarnwellCandidates())
        systemWide = systemWide || (place.exists() && place.getFullPathName().startsWith ("/usr/"));
    if (! systemWide)
    {
        const auto none = runCommand (command);
        EXPECT_EQ (none.status, 1);
        for (const auto* looked :
             { "/.vst/Tarnwell.so", "/.vst3/Tarnwell.vst3", "/.lv2/Tarnwell.lv2", "/.clap/Tarnwell.clap",
               "/usr/lib/lv2/Tarnwell.lv2", "/usr/local/lib/vst/Tarnwell.so", "--plugin PATH" })
            EXPECT_TRUE (none.err.contains (looked)) << none.err;
        EXPECT_EQ (none.err.trimEnd().indexOfChar ('\n'), -1) << none.err;
    }

    ASSERT_TRUE (juce::File (TARNWELL_LV2_BUNDLE).copyDirectoryTo (home.getChildFile (".lv2/Tarnwell.lv2")));
    const auto found = runCommand (command);
    ASSERT_EQ (found.status, 0) << found.err;
    const auto fromHome = readWav (ir);
    ASSERT_EQ (runTool ("ir " + quoted (ir) + " --seconds 0.1", TARNWELL_LV2_BUNDLE).status, 0);
    EXPECT_TRUE (readWav (ir) == fromHome);
}

// `demo` renders with its own settings (those of the README's picture), and a --set after them.
TEST (RenderTool, DemoRendersWithItsOwnSettings)
{
    const Folder folder;
    ASSERT_EQ (runTool ("demo " + quoted (folder.dir) + " --set Mix=0.5").status, 0);
    const auto dry = readWav (folder.dir.getChildFile ("demo-dry.wav"));
    std::vector<Setting> settings;
    for (const auto& [name, value] : render::demoSettings())
        for (int i = 0; i < tarnwell::parameters::count; ++i)
            if (name == tarnwell::parameters::name (i))
                settings.push_back ({ i, name == "Mix" ? 0.5f : value });
    ASSERT_EQ (settings.size(), size_t (tarnwell::parameters::count));
    expectNear (readWav (folder.dir.getChildFile ("demo-wet.wav")), reference (settings, dry, 512, 44100.0));
}

// An option means the same before the command as after it.
TEST (RenderTool, OptionsStandBeforeOrAfterTheCommand)
{
    const char* before[] = { "tarnwell-render", "--preset", "Church", "--verbose", "--set",
                             "Mix=0.5",         "--rate",   "44100",  "ir",        "x.wav" };
    const char* after[] = { "tarnwell-render", "ir",    "--preset", "Church", "x.wav",
                            "--verbose",       "--set", "Mix=0.5",  "--rate", "44100" };
    const auto first = render::parseCommandLine (10, before), second = render::parseCommandLine (10, after);
    ASSERT_EQ (first.request, render::CommandLine::Request::run) << first.error;
    ASSERT_EQ (second.request, render::CommandLine::Request::run) << second.error;
    EXPECT_EQ (first.options.command, "ir");
    EXPECT_EQ (first.options.positional, second.options.positional);
    EXPECT_EQ (first.options.settings, second.options.settings);
    EXPECT_EQ (first.options.sampleRate, 44100.0);
    EXPECT_TRUE (first.options.verbose);
}

// --help and --version answer on stdout with status 0, the tool's and the project script's;
// the help documents the statuses.
TEST (RenderTool, AnswersHelpAndVersionLikeOtherTools)
{
    for (const auto* arguments : { "--help", "-h", "render a.wav --help" })
    {
        const auto run = runCommand (juce::String ("'") + TARNWELL_RENDER_PATH + "' " + arguments);
        EXPECT_EQ (run.status, 0) << arguments;
        EXPECT_TRUE (run.out.startsWith ("usage: tarnwell-render render")
                     && run.out.contains ("Exit status: 0 done; 1 a failure"))
            << run.out;
        EXPECT_TRUE (run.err.isEmpty());
    }
    const auto version = runCommand (juce::String ("'") + TARNWELL_RENDER_PATH + "' --version");
    EXPECT_EQ (version.status, 0);
    EXPECT_EQ (version.out, juce::String ("tarnwell-render ") + TARNWELL_VERSION + "\n");

    const auto none = runCommand (juce::String ("'") + TARNWELL_RENDER_PATH + "'");
    EXPECT_EQ (none.status, 2);
    EXPECT_TRUE (none.err.contains ("wants a command")) << none.err;

    const auto script = runCommand (juce::String ("'") + TARNWELL_SCRIPT_PATH + "' --help");
    EXPECT_EQ (script.status, 0);
    EXPECT_TRUE (script.out.contains ("./tarnwell test")) << script.out;
    EXPECT_EQ (runCommand (juce::String ("'") + TARNWELL_SCRIPT_PATH + "' bogus").status, 2);
}

// Ctrl+C in the middle of a long render, a kill, a closed terminal: the hidden file goes, and
// the tool ends as the signal does, so that a shell's loop stops too.
TEST (RenderTool, AnInterruptedRenderLeavesNoFile)
{
    const Folder folder;
    const auto in = folder.dir.getChildFile ("long.wav"), out = folder.dir.getChildFile ("out.wav");
    ASSERT_TRUE (writeWav (in, noise (2, 96000 * 60, 11), 96000.0));
    const auto before = folder.names();

    for (const int signal : { SIGINT, SIGTERM, SIGHUP })
    {
        const auto pid = ::fork();
        ASSERT_GE (pid, 0);
        if (pid == 0)
        {
            const int null = ::open ("/dev/null", O_WRONLY);
            ::dup2 (null, STDOUT_FILENO);
            ::dup2 (null, STDERR_FILENO);
            const auto inPath = in.getFullPathName().toStdString(), outPath = out.getFullPathName().toStdString();
            ::execl (TARNWELL_RENDER_PATH, TARNWELL_RENDER_PATH, "render", inPath.c_str(), outPath.c_str(), "--plugin",
                     TARNWELL_VST2_PATH, "--tail", "0", static_cast<char*> (nullptr));
            ::_exit (127);
        }

        // Interrupted once the hidden output has some of the render in it.
        const auto started = juce::Time::getMillisecondCounter();
        const auto hiddenSize = [&folder] {
            for (const auto& f : folder.dir.findChildFiles (juce::File::findFiles, false, ".out.wav.*"))
                return f.getSize();
            return juce::int64 (-1);
        };
        while (hiddenSize() < (1 << 16) && juce::Time::getMillisecondCounter() - started < 60000)
            juce::Thread::sleep (1);
        EXPECT_GE (hiddenSize(), 1 << 16) << "the render wrote nothing in a minute";
        ::kill (pid, signal);

        int status = 0;
        ASSERT_EQ (::waitpid (pid, &status, 0), pid);
        EXPECT_TRUE (WIFSIGNALED (status) && WTERMSIG (status) == signal) << signal << ": " << status;
        EXPECT_EQ (folder.names().joinIntoString (" "), before.joinIntoString (" ")) << signal;
    }
}

// A disk that fills (a file size limit, its signal ignored so that the write fails) under the
// audio or under the picture, and a reader that stops reading the tool's messages: never a
// hidden file left, and a failure's status.
TEST (RenderTool, AFailedWriteLeavesNoHiddenFile)
{
    const Folder folder;
    const auto in = folder.dir.getChildFile ("in.wav"), out = folder.dir.getChildFile ("out.wav");
    ASSERT_TRUE (writeWav (in, noise (2, 48000, 14), 48000.0));
    const auto render = "render " + quoted (in) + " " + quoted (out) + " --tail 0 --set T60Low=0.1 --set T60High=0.1";
    const auto before = folder.names();

    // sh counts the limit in blocks of 512 bytes: 64 KiB, against 384 KiB of audio.
    const auto full = runTool (render, TARNWELL_VST2_PATH, "ulimit -f 128; trap '' XFSZ; ");
    EXPECT_EQ (full.status, 1) << full.err;
    EXPECT_TRUE (full.err.contains ("cannot write " + out.getFullPathName())) << full.err;
    EXPECT_EQ (folder.names(), before);

    // Room for a short impulse response (9 KiB), not for its picture.
    const auto ir = folder.dir.getChildFile ("ir.wav");
    const auto picture = runTool ("ir " + quoted (ir) + " --rate 8000 --seconds 0.25", TARNWELL_VST2_PATH,
                                  "ulimit -f 40; trap '' XFSZ; ");
    EXPECT_NE (picture.status, 0) << picture.err;
    EXPECT_TRUE (picture.err.contains ("ir.decay.png")) << picture.err;
    EXPECT_FALSE (ir.withFileExtension ("decay.png").exists());
    for (const auto& name : folder.names())
        EXPECT_FALSE (name.startsWith (".")) << name;

    runCommand (juce::String ("'") + TARNWELL_RENDER_PATH + "' " + render + " --plugin '" + TARNWELL_VST2_PATH
                + "' --verbose 2>&1 | head -1");
    for (const auto& name : folder.names())
        EXPECT_FALSE (name.endsWith (".part")) << name;
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
    const auto run =
        runTool ("ir " + quoted (irFile) + " --rate 48000 --set T60Low=0.2 --set T60High=0.1 --set Diffusion=0.7"
                 + " --set Transition=" + juce::String (transitionAt (500.0), 7));
    ASSERT_EQ (run.status, 0) << run.err;

    const auto table = decayTable (run.out);
    ASSERT_EQ (table.size(), 7u) << run.out;
    // The shelf's squared gain crosses over at twice the transition, so 1 and 2 kHz lie in it.
    for (const auto& [band, expected] :
         { std::pair { "125 Hz", 2.0 }, { "250 Hz", 2.0 }, { "4 kHz", 1.0 }, { "8 kHz", 1.0 } })
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
        report.bands.push_back (
            { analysis::measureBandDecay ({ response[0].data(), response[1].data() }, response[0].size(), rate, centre),
              analysis::designedT60 (settings, centre) });
    const render::DecayPicture picture (report);

    const auto bandPixelNear = [&image] (juce::Point<float> p, juce::Colour colour) {
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx)
            {
                const auto pixel = image.getPixelAt (juce::roundToInt (p.x) + dx, juce::roundToInt (p.y) + dy);
                if (std::abs (pixel.getRed() - colour.getRed()) + std::abs (pixel.getGreen() - colour.getGreen())
                        + std::abs (pixel.getBlue() - colour.getBlue())
                    < 60)
                    return true;
            }
        return false;
    };
    for (size_t band = 0; band < report.bands.size(); ++band)
    {
        const auto& decay = report.bands[band].measured;
        for (const double t : { 0.25, 0.6, 0.9 })
        {
            const auto level =
                static_cast<double> (decay.curveDb.at (static_cast<size_t> (std::lround (t / decay.curveInterval))));
            const auto colour = render::DecayPicture::bandColour (band);
            EXPECT_TRUE (bandPixelNear (picture.pointFor (band, t, level), colour))
                << decay.centre << " Hz at " << t << " s";
            EXPECT_FALSE (bandPixelNear (picture.pointFor (band, t, level - 10), colour))
                << decay.centre << " Hz at " << t << " s";
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
        const auto run = runTool ("ir " + quoted (irFile)
                                  + " --rate 44100 --seconds 0.5 --set T60High=0.2 --set diffusion=0.9" + mixArgument);
        ASSERT_EQ (run.status, 0) << run.err;
        expectNear (readWav (irFile), reference ({ { 1, 0.2f }, { 4, 0.9f }, { 3, mix } }, impulse, 512, rate));
    }
}
} // namespace

namespace
{
std::uint32_t bigEndianAt (const juce::MemoryBlock& bytes, size_t offset)
{
    return juce::ByteOrder::bigEndianInt (static_cast<const char*> (bytes.getData()) + offset);
}

// Each factory preset's .fxp, loaded into Tarnwell.so through its entry point as a host's
// "load preset" does (its header read as a host reads it, the chunk through effSetChunk as a
// program's), sets the values the tool's --preset sets; and the tool's impulse response with
// --preset is that instance's, sample for sample (heard for the first preset: that the tool
// renders what it is set to is held above).
TEST (RenderTool, EachPresetsFxpGivesTheValuesAndOutputOfPreset)
{
    namespace presets = tarnwell::factoryPresets;
    const Folder folder;
    const auto irFile = folder.dir.getChildFile ("ir.wav");
    const double rate = 48000.0;
    const tarnwell::testhost::PluginLibrary library;

    for (int i = 0; i < presets::count(); ++i)
    {
        const auto& preset = *presets::at (i);
        SCOPED_TRACE (preset.name);

        // The preset's five values come first, so that a --set changes them wherever it stands.
        const char* argv[] = { "tarnwell-render", "ir", "x.wav", "--set", "mix=1", "--preset", preset.name };
        const auto line = render::parseCommandLine (7, argv);
        ASSERT_EQ (line.request, render::CommandLine::Request::run) << line.error;
        ASSERT_EQ (line.options.settings.size(), 6u);
        for (int p = 0; p < tarnwell::parameters::count; ++p)
        {
            EXPECT_EQ (line.options.settings[size_t (p)].first, tarnwell::parameters::name (p));
            EXPECT_EQ (line.options.settings[size_t (p)].second, preset.normalised[size_t (p)]);
        }
        EXPECT_EQ (line.options.settings.back(), std::make_pair (juce::String ("mix"), 1.0f));

        juce::MemoryBlock fxp;
        ASSERT_TRUE (juce::File (TARNWELL_PRESET_FOLDER)
                         .getChildFile ("fxp")
                         .getChildFile (juce::String (preset.name) + ".fxp")
                         .loadFileAsData (fxp));
        ASSERT_GT (fxp.getSize(), 60u);
        tarnwell::testhost::Plugin plugin { library };
        ASSERT_NE (plugin.effect, nullptr);
        EXPECT_EQ (fxp.getSize() - 8, bigEndianAt (fxp, 4));
        EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (fxp.getData()), 4), "CcnK");
        EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (fxp.getData()) + 8, 4), "FPCh");
        EXPECT_EQ (bigEndianAt (fxp, 12), 1u);
        EXPECT_EQ (static_cast<int> (bigEndianAt (fxp, 16)), plugin.effect->uniqueID);
        EXPECT_EQ (static_cast<int> (bigEndianAt (fxp, 20)), plugin.effect->version);
        EXPECT_EQ (static_cast<int> (bigEndianAt (fxp, 24)), plugin.effect->numParams);
        EXPECT_STREQ (static_cast<const char*> (fxp.getData()) + 28, preset.name);
        const auto chunkSize = bigEndianAt (fxp, 56);
        ASSERT_EQ (chunkSize, fxp.getSize() - 60);

        plugin.resume (static_cast<float> (rate), 512);
        plugin.dispatch (effSetChunk, 1, static_cast<VstIntPtr> (chunkSize), static_cast<char*> (fxp.getData()) + 60);
        for (int p = 0; p < tarnwell::parameters::count; ++p)
            EXPECT_EQ (plugin.effect->getParameter (plugin.effect, p), preset.normalised[size_t (p)]) << p;
        if (i > 0)
            continue;

        Channels impulse (2, std::vector<float> (4800, 0.0f));
        impulse[0][0] = impulse[1][0] = 1.0f;
        plugin.processInPlace (impulse, 512);
        const auto run = runTool ("ir " + quoted (irFile) + " --seconds 0.1 --preset '" + preset.name + "'");
        ASSERT_EQ (run.status, 0) << run.err;
        expectNear (readWav (irFile), impulse);
    }

    const auto listed = runCommand (juce::String ("'") + TARNWELL_RENDER_PATH + "' presets");
    EXPECT_EQ (listed.status, 0);
    for (int i = 0; i < presets::count(); ++i)
        EXPECT_TRUE (listed.out.contains (juce::String ("\n") + presets::at (i)->name + "  ")) << listed.out;
    const auto unknown = runTool ("ir " + quoted (irFile) + " --preset 'No Such Room'");
    EXPECT_EQ (unknown.status, 2);
    EXPECT_TRUE (unknown.err.contains ("presets lists them")) << unknown.err;
}

// Peer LV2 bundles as Debian installs them (dragonfly-reverb-lv2, ardour-lv2-plugins; the
// project's script installs both): their plug-ins are named unlike their bundles, and need
// the options, worker and URID features. Each renders, reverberates past the input's end, and
// nothing of lilv's or the plug-in's shows without --verbose.
TEST (RenderTool, RendersThroughPeerLv2Bundles)
{
    const Folder folder;
    const auto in = folder.dir.getChildFile ("in.wav"), out = folder.dir.getChildFile ("out.wav");
    const double rate = 48000.0;
    const int inputFrames = 9600, tailFrames = 24000;
    ASSERT_TRUE (writeWav (in, burst (2, inputFrames, inputFrames, 12), rate));

    for (const auto* bundle : { "/usr/lib/lv2/DragonflyHallReverb.lv2", "/usr/lib/lv2/DragonflyRoomReverb.lv2",
                                "/usr/lib/lv2/a-reverb.lv2" })
    {
        ASSERT_TRUE (juce::File (bundle).isDirectory()) << bundle << " is missing: ./tarnwell build installs it";
        const auto run = runTool ("render " + quoted (in) + " " + quoted (out) + " --tail 0.5", bundle);
        ASSERT_EQ (run.status, 0) << bundle << "\n" << run.err;
        for (const auto* noise : { "lilv", "warning", "error", "LV2" })
            EXPECT_FALSE (run.err.containsIgnoreCase (noise) || run.out.containsIgnoreCase (noise))
                << bundle << "\n"
                << run.err << run.out;

        const auto wet = readWav (out);
        ASSERT_EQ (wet.size(), 2u) << bundle;
        ASSERT_EQ (wet[0].size(), size_t (inputFrames + tailFrames)) << bundle;
        float tail = 0;
        for (const auto& ch : wet)
            for (size_t n = inputFrames + 2400; n < ch.size(); ++n)
                tail = std::max (tail, std::abs (ch[n]));
        EXPECT_GT (tail, 1e-4f) << bundle << ": no reverberation after the input";
    }
}
} // namespace
