// The standalone app as a user runs it: a real JACK server (the dummy backend), the app
// started as a program with its own settings folder, a burst played into its JACK ports and
// its output recorded; SIGTERM and SIGINT as a session manager and a terminal send them.

#include "tests/standalone/AppWindow.h"
#include "tests/support/ChildProcess.h"
#include "tests/standalone/JackLoop.h"

#include "processor/FactoryPresets.h"
#include "processor/ParameterTable.h"
#include "host/juce_formats/TarnwellAudioProcessor.h"
#include "tools/analysis/DecayMeasurement.h"

#include <gtest/gtest.h>
#include <juce_data_structures/juce_data_structures.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>

namespace params = tarnwell::parameters;
using namespace std::chrono_literals;
using tarnwell::test::AppWindow;
using tarnwell::test::ChildProcess;
using tarnwell::test::JackLoop;

namespace
{
// Generous: two cores shared by many builds and tests.
constexpr auto startTimeout = 60s;
constexpr auto quitTimeout = 60s;

// Where the T60Low slider and its readout lie in the editor.
constexpr int t60LowSliderX = 165, t60LowSliderY = 167, t60LowSliderWidth = 208, t60LowSliderHeight = 10;
constexpr int t60LowReadoutX = 376, t60LowReadoutY = 165, t60LowReadoutWidth = 64, t60LowReadoutHeight = 13;

std::string jackServerName()
{
    return "tarnwell_test_" + std::to_string (getpid());
}

juce::PropertiesFile::Options settingsOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "Tarnwell";
    options.filenameSuffix = ".settings";
    return options;
}

// Parameter values as the app keeps them: the plug-in's own saved state, in base64.
juce::String pluginState (float t60Low)
{
    tarnwell::TarnwellAudioProcessor processor;
    processor.controls().setParameter (params::t60Low, t60Low);
    processor.controls().setParameter (params::t60High, 0.1f); // 1 s, well apart at 250 Hz below a 5 kHz transition
    processor.controls().setParameter (params::transition, 0.8f);
    processor.controls().setParameter (params::mix, 1.0f);
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    return state.toBase64Encoding();
}

float t60LowIn (const juce::String& base64State)
{
    juce::MemoryBlock state;
    if (! state.fromBase64Encoding (base64State) || state.getSize() == 0)
        return -1.0f;
    tarnwell::TarnwellAudioProcessor processor;
    processor.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    return processor.controls().parameter (params::t60Low);
}

std::array<float, params::count> valuesIn (const juce::String& base64State)
{
    std::array<float, params::count> values {};
    values.fill (-1.0f);
    juce::MemoryBlock state;
    if (! state.fromBase64Encoding (base64State) || state.getSize() == 0)
        return values;
    tarnwell::TarnwellAudioProcessor processor;
    processor.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    for (int i = 0; i < params::count; ++i)
        values[size_t (i)] = processor.controls().parameter (i);
    return values;
}

// One JACK server for the suite; each test runs the app with its own home and settings.
class StandaloneJack : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        serverLog = juce::File::createTempFile ("jackd.log");
        // Synchronous mode and a long client timeout, so a loaded machine slows the graph
        // down rather than dropping a client's cycle; no real-time scheduling needed.
        server = std::make_unique<ChildProcess> (std::vector<std::string> { "/usr/bin/jackd", "--no-realtime", "--sync",
                                                                            "--timeout", "10000", "--name",
                                                                            jackServerName(), "-d", "dummy", "--rate",
                                                                            "48000", "--period", "1024" },
                                                 std::vector<std::string> { "JACK_NO_AUDIO_RESERVATION=1" },
                                                 serverLog.getFullPathName().toStdString());
        loop = std::make_unique<JackLoop> (jackServerName(), startTimeout);
    }

    static void TearDownTestSuite()
    {
        loop = nullptr;
        if (server != nullptr)
        {
            server->signal (SIGTERM);
            server->waitForExit (quitTimeout);
        }
        server = nullptr;
        serverLog.deleteFile();
    }

    void SetUp() override
    {
        ASSERT_TRUE (loop != nullptr && loop->isOpen()) << "jackd did not start:\n" << server->log();
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getNonexistentChildFile ("tarnwell_standalone", "");
        ASSERT_TRUE (folder.createDirectory());
        settingsFile = folder.getChildFile ("config").getChildFile ("Tarnwell.settings");
    }

    void TearDown() override { folder.deleteRecursively(); }

    // What a user has before the test changes anything: the input unmuted, the plug-in at
    // `t60Low`, the window at `position` (away from other tests' windows on the shared
    // display). No device chosen.
    void writeSettings (float t60Low, juce::Point<int> position)
    {
        juce::PropertiesFile settings (settingsFile, settingsOptions());
        settings.setValue ("shouldMuteInput", false);
        settings.setValue ("filterState", pluginState (t60Low));
        settings.setValue ("windowX", position.x);
        settings.setValue ("windowY", position.y);
        ASSERT_TRUE (settings.save());
    }

    std::unique_ptr<juce::PropertiesFile> readSettings()
    {
        return std::make_unique<juce::PropertiesFile> (settingsFile, settingsOptions());
    }

    // Starts the app and waits until its JACK ports are there and its window is shown: by
    // then its plug-in has its saved state and plays (before, a burst could meet the default
    // settings, or silence).
    std::unique_ptr<ChildProcess> startApp()
    {
        // The previous instance's ports must be gone, or this one would be "Tarnwell-01".
        for (auto deadline = std::chrono::steady_clock::now() + startTimeout;
             loop->hasPort ("Tarnwell:in_L") && std::chrono::steady_clock::now() < deadline;)
            std::this_thread::sleep_for (100ms);

        // An ALSA device, as on any machine with a sound card (this one may have none), which
        // JUCE's own default would open ahead of JACK.
        const auto home = folder.getChildFile ("home");
        home.createDirectory();
        home.getChildFile (".asoundrc").replaceWithText ("pcm.!default { type null }\n");
        auto app = std::make_unique<ChildProcess> (
            std::vector<std::string> { TARNWELL_STANDALONE_PATH },
            std::vector<std::string> { "HOME=" + home.getFullPathName().toStdString(),
                                       "XDG_CONFIG_HOME="
                                           + settingsFile.getParentDirectory().getFullPathName().toStdString(),
                                       "JACK_DEFAULT_SERVER=" + jackServerName() },
            folder.getChildFile ("app" + std::to_string (++starts) + ".log").getFullPathName().toStdString());

        const std::string ports[] = { "Tarnwell:in_L", "Tarnwell:in_R", "Tarnwell:out_L", "Tarnwell:out_R" };
        const auto deadline = std::chrono::steady_clock::now() + startTimeout;
        auto allThere = [&] {
            for (const auto& port : ports)
                if (! loop->hasPort (port))
                    return false;
            return true;
        };
        while (app->running() && ! allThere() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for (100ms);
        EXPECT_TRUE (allThere()) << "the app's JACK ports did not appear:\n" << app->log();
        EXPECT_TRUE (AppWindow (app->id(), startTimeout).found()) << "no window of the app on the display";
        return app;
    }

    // Plays a burst through the app; the tail at 250 Hz must decay at the T60Low that is set.
    void expectDecay (float t60Low)
    {
        const double expected = params::engineValue (params::t60Low, t60Low);
        const auto recording = loop->playBurstThrough ("Tarnwell", 0.25, 0.25 + 0.25 + 1.6 * expected, 120s);
        ASSERT_FALSE (recording.left.empty()) << "nothing recorded through the app's ports";

        double burstEnergy = 0;
        for (size_t n = recording.burstStart; n < recording.burstEnd; ++n)
        {
            const auto left = static_cast<double> (recording.left[n]), right = static_cast<double> (recording.right[n]);
            burstEnergy += left * left + right * right;
        }
        EXPECT_GT (std::sqrt (burstEnergy / double (recording.burstEnd - recording.burstStart)), 1e-3)
            << "the burst did not come back";

        // The tail from after the burst, past the one cycle the graph may delay it by.
        const auto tailStart = static_cast<std::ptrdiff_t> (recording.burstEnd + 2 * recording.period);
        for (const auto* channel : { &recording.left, &recording.right })
        {
            const std::vector<float> tail (channel->begin() + tailStart, channel->end());
            const double measured = tarnwell::analysis::octaveBandT60 (tail, loop->sampleRate(), 250.0);
            EXPECT_NEAR (measured, expected, 0.2 * expected) << "T60 at 250 Hz through JACK";
        }
    }

    static void expectCleanExit (ChildProcess& app)
    {
        const auto status = app.waitForExit (quitTimeout);
        ASSERT_TRUE (status.has_value()) << "the app did not quit:\n" << app.log();
        EXPECT_TRUE (WIFEXITED (*status) && WEXITSTATUS (*status) == 0) << "exit status " << *status << "\n"
                                                                        << app.log();
    }

    static inline std::unique_ptr<ChildProcess> server;
    static inline juce::File serverLog;
    static inline std::unique_ptr<JackLoop> loop;
    juce::File folder;
    juce::File settingsFile;
    int starts = 0;
};

TEST_F (StandaloneJack, PlaysThroughJackWhenNothingIsChosenWithTheDecaySet)
{
    writeSettings (0.2f, { 40, 40 });
    auto app = startApp();
    ASSERT_FALSE (HasFailure());

    expectDecay (0.2f);

    // Ctrl+C quits as the close button does, saving the audio settings.
    app->signal (SIGINT);
    expectCleanExit (*app);
    EXPECT_TRUE (readSettings()->containsKey ("audioSetup"));
}

TEST_F (StandaloneJack, SigtermKeepsASettingChangedInTheWindow)
{
    writeSettings (0.3f, { 780, 760 });
    auto app = startApp();
    ASSERT_FALSE (HasFailure());

    AppWindow window (app->id(), startTimeout);
    ASSERT_TRUE (window.found());

    // Wait until the editor is painted and still, then click low on the T60Low slider and
    // wait until its readout shows a new value.
    auto readout = [&] {
        return window.pixels (t60LowReadoutX, t60LowReadoutY, t60LowReadoutWidth, t60LowReadoutHeight);
    };
    auto before = readout();
    for (auto deadline = std::chrono::steady_clock::now() + startTimeout; std::chrono::steady_clock::now() < deadline;)
    {
        std::this_thread::sleep_for (300ms);
        const auto again = readout();
        if (again == before && std::adjacent_find (again.begin(), again.end(), std::not_equal_to<>()) != again.end())
            break;
        before = again;
    }
    window.click (t60LowSliderX + t60LowSliderWidth / 8, t60LowSliderY + t60LowSliderHeight / 2);
    for (auto deadline = std::chrono::steady_clock::now() + startTimeout;
         readout() == before && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for (100ms);
    ASSERT_NE (readout(), before) << "the click did not move the slider";

    app->signal (SIGTERM);
    expectCleanExit (*app);

    const auto saved = readSettings();
    const float t60Low = t60LowIn (saved->getValue ("filterState"));
    EXPECT_GT (t60Low, 0.05f);
    EXPECT_LT (t60Low, 0.2f) << "the slider's new value was not saved";
    EXPECT_FALSE (saved->getBoolValue ("shouldMuteInput", true));
    EXPECT_TRUE (saved->containsKey ("audioSetup"));

    // The next start plays with what was saved, through JACK again: no device was chosen.
    app = startApp();
    ASSERT_FALSE (HasFailure());
    expectDecay (t60Low);
    app->signal (SIGTERM);
    expectCleanExit (*app);
}

// The Presets button beside Options: choosing a preset restores it as loading a saved state
// would, so the app saves all five of its values on quitting.
TEST_F (StandaloneJack, PresetsMenuRestoresThePresetChosen)
{
    writeSettings (0.3f, { 780, 300 });
    auto app = startApp();
    ASSERT_FALSE (HasFailure());
    AppWindow window (app->id(), startTimeout);
    ASSERT_TRUE (window.found());

    // Once the editor is painted and still, the window takes clicks.
    auto corner = [&] { return window.pixels (0, 0, 60, 30); };
    auto before = corner();
    for (auto deadline = std::chrono::steady_clock::now() + startTimeout; std::chrono::steady_clock::now() < deadline;)
    {
        std::this_thread::sleep_for (300ms);
        const auto again = corner();
        if (again == before && std::adjacent_find (again.begin(), again.end(), std::not_equal_to<>()) != again.end())
            break;
        before = again;
    }

    // The button in the title bar (26 pixels high), then the menu's first item below it, until
    // the editor shows new values: on a busy display a menu can open too late for its click.
    const auto& first = *tarnwell::factoryPresets::at (0);
    // The editor's right side, which the menu does not cover.
    auto editor = [&] { return window.pixels (300, 0, 153, 200); };
    const auto unchanged = editor();
    for (int attempt = 0; attempt < 4 && editor() == unchanged; ++attempt)
    {
        window.clickInWindow (100, 13);
        std::this_thread::sleep_for (1s);
        window.clickInWindow (110, 26 + 12);
        for (auto deadline = std::chrono::steady_clock::now() + 3s;
             editor() == unchanged && std::chrono::steady_clock::now() < deadline;)
            std::this_thread::sleep_for (100ms);
    }

    app->signal (SIGTERM);
    expectCleanExit (*app);
    EXPECT_EQ (valuesIn (readSettings()->getValue ("filterState")), first.normalised) << first.name;
}
} // namespace

// Started where there is no display to show its window on (DISPLAY unset, empty, or naming a
// display no X server answers at, as in an ssh session or on a text console): the app says so
// in one line and ends with status 1, instead of crashing in JUCE's window code.
TEST (StandaloneWithoutDisplay, SaysItNeedsOneAndExitsWithStatus1)
{
    int unused = 99;
    while (juce::File ("/tmp/.X11-unix/X" + juce::String (unused)).exists()
           || juce::File ("/tmp/.X" + juce::String (unused) + "-lock").exists())
        ++unused;
    const auto log = juce::File::createTempFile (".log");
    const std::string app = TARNWELL_STANDALONE_PATH;
    for (const auto& [arguments, display] :
         { std::pair { std::vector<std::string> { "env", "-u", "DISPLAY", app }, std::string ("DISPLAY=:0") },
           std::pair { std::vector<std::string> { app }, std::string ("DISPLAY=") },
           std::pair { std::vector<std::string> { app }, "DISPLAY=:" + std::to_string (unused) } })
    {
        SCOPED_TRACE (display + " " + arguments[0]);
        ChildProcess run (arguments, { display, "HOME=" + log.getParentDirectory().getFullPathName().toStdString() },
                          log.getFullPathName().toStdString());
        const auto status = run.waitForExit (startTimeout);
        ASSERT_TRUE (status.has_value()) << run.log();
        EXPECT_TRUE (WIFEXITED (*status) && WEXITSTATUS (*status) == 1) << "exit status " << *status << "\n"
                                                                        << run.log();
        const auto printed = run.log();
        EXPECT_EQ (std::count (printed.begin(), printed.end(), '\n'), 1) << printed;
        EXPECT_NE (printed.find ("Tarnwell needs a graphical display"), std::string::npos) << printed;
    }
    log.deleteFile();
}
