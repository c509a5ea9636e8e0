#include "LoadedPlugin.h"

#include "engine/NetworkSettings.h"
#include "engine/ReverbNetwork.h"
#include "host/lv2/Lv2Ports.h"
#include "processor/FactoryPresets.h"
#include "processor/ParameterTable.h"
#include "tests/support/ReferenceSignals.h"
#include "tests/support/TemporaryConfigHome.h"

#include <TarnwellArtwork.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <vector>

using tarnwell::test::Format;
using namespace tarnwell::testreference;
namespace params = tarnwell::parameters;

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
constexpr int numBlocks = 16;

using Values = std::array<float, params::count>;

tarnwell::test::LoadedPlugin load (Format format)
{
    juce::String error;
    auto loaded = tarnwell::test::loadPlugin (format, sampleRate, blockSize, error);
    EXPECT_NE (loaded.instance, nullptr) << tarnwell::test::formatName (format) << ": " << error;
    return loaded;
}

// Hosts list parameters in their own order (JUCE's LV2 hosting sorts them and adds ports of
// its own), so ours are found by name.
juce::AudioProcessorParameter* parameterNamed (juce::AudioProcessor& processor, const juce::String& name)
{
    for (auto* parameter : processor.getParameters())
        if (parameter->getName (100) == name)
            return parameter;
    return nullptr;
}

// LV2 carries parameter values in control ports, which the plug-in reads and writes only
// while it runs: a silent block passes them on.
void runSilentBlock (juce::AudioProcessor& processor)
{
    juce::AudioBuffer<float> silence (juce::jmax (processor.getTotalNumInputChannels(),
                                                  processor.getTotalNumOutputChannels()),
                                      64);
    silence.clear();
    juce::MidiBuffer midi;
    processor.processBlock (silence, midi);
}

// JUCE's LV2 hosting spreads a port's range linearly over 0..1; Tarnwell's ports hold the
// displayed value. Values here are Tarnwell's own normalised ones, in every format.
bool isLv2 (juce::AudioProcessor& processor)
{
    auto* instance = dynamic_cast<juce::AudioPluginInstance*> (&processor);
    return instance != nullptr
        && instance->getPluginDescription().pluginFormatName == juce::LV2PluginFormat::getFormatName();
}

void setValues (juce::AudioProcessor& processor, const Values& values)
{
    const bool lv2 = isLv2 (processor);
    for (int i = 0; i < params::count; ++i)
        if (auto* parameter = parameterNamed (processor, params::name (i)))
        {
            const auto& d = params::describe (i);
            const float v = values[static_cast<size_t> (i)];
            parameter->setValue (
                lv2 ? static_cast<float> ((static_cast<double> (tarnwell::lv2::portValueOf (i, v)) - d.displayMinimum)
                                          / (d.displayMaximum - d.displayMinimum))
                    : v);
        }
    runSilentBlock (processor);
}

// What a format carries of normalised values: LV2's ports hold floats in seconds, hertz and per
// cent, coarser than the normalised float in places.
Values carried (Format format, const Values& values)
{
    if (format != Format::lv2)
        return values;
    Values result {};
    for (int i = 0; i < params::count; ++i)
        result[static_cast<size_t> (i)] =
            tarnwell::lv2::normalisedOfPort (i, tarnwell::lv2::portValueOf (i, values[static_cast<size_t> (i)]));
    return result;
}

Values valuesOf (juce::AudioProcessor& processor)
{
    const bool lv2 = isLv2 (processor);
    Values values {};
    values.fill (-1.0f);
    for (int i = 0; i < params::count; ++i)
        if (auto* parameter = parameterNamed (processor, params::name (i)))
        {
            const auto& d = params::describe (i);
            const float v = parameter->getValue();
            values[static_cast<size_t> (i)] = lv2
                ? tarnwell::lv2::normalisedOfPort (i,
                                                   static_cast<float> (d.displayMinimum
                                                                       + static_cast<double> (v)
                                                                           * (d.displayMaximum - d.displayMinimum)))
                : v;
        }
    return values;
}

// Noise for a quarter of the run, then silence.
Channels testInput (int channels)
{
    return burst (channels, numBlocks * blockSize, numBlocks * blockSize / 4, 8);
}

// The in-process engine, set as the processor sets it for these parameter values.
Channels engineOutput (const Values& values, const Channels& input, int outputs)
{
    tarnwell::NetworkSettings settings;
    settings.sampleRate = sampleRate;
    for (int i = 0; i < params::count; ++i)
        params::set (settings, i, params::engineValue (i, values[static_cast<size_t> (i)]));
    const auto coefficients = tarnwell::designNetwork (settings);

    Channels output (static_cast<size_t> (outputs), input[0]);
    if (outputs == 2)
        output[1] = input.size() > 1 ? input[1] : std::vector<float> (input[0].size(), 0.0f);

    const juce::ScopedNoDenormals noDenormals;
    auto network = std::make_unique<tarnwell::ReverbNetwork>();
    for (int start = 0; start < numBlocks * blockSize; start += blockSize)
        network->process (coefficients, output[0].data() + start, outputs == 2 ? output[1].data() + start : nullptr,
                          blockSize);
    return output;
}

// Runs the input through a loaded plug-in in host-sized blocks, after one silent block that
// lets every format deliver the parameter values (if any are given) before any sound arrives.
Channels pluginOutput (juce::AudioPluginInstance& plugin, const Values* values, const Channels& input, int outputs)
{
    const int inputs = static_cast<int> (input.size());
    juce::AudioBuffer<float> buffer (juce::jmax (inputs, outputs), blockSize);
    juce::MidiBuffer midi;

    plugin.prepareToPlay (sampleRate, blockSize);
    if (values != nullptr)
        setValues (plugin, *values);
    buffer.clear();
    plugin.processBlock (buffer, midi);

    Channels output (static_cast<size_t> (outputs), std::vector<float> (input[0].size()));
    for (int start = 0; start < numBlocks * blockSize; start += blockSize)
    {
        buffer.clear();
        for (int ch = 0; ch < inputs; ++ch)
            buffer.copyFrom (ch, 0, input[static_cast<size_t> (ch)].data() + start, blockSize);
        plugin.processBlock (buffer, midi);
        for (int ch = 0; ch < outputs; ++ch)
            std::copy_n (buffer.getReadPointer (ch), blockSize, output[static_cast<size_t> (ch)].data() + start);
    }
    plugin.releaseResources();
    return output;
}

Channels pluginOutput (juce::AudioPluginInstance& plugin, const Values& values, const Channels& input, int outputs)
{
    return pluginOutput (plugin, &values, input, outputs);
}

juce::MemoryBlock vst2Block (const Values& values)
{
    auto block = tarnwell::test::vst2BlockFor ({ values.begin(), values.end() });
    EXPECT_GT (block.getSize(), 0u);
    return block;
}

class Formats : public ::testing::TestWithParam<Format>
{};

std::string formatTestName (const ::testing::TestParamInfo<Format>& info)
{
    return tarnwell::test::formatName (info.param);
}
} // namespace

TEST_P (Formats, LoadsAsTarnwellByQuennet)
{
    auto loaded = load (GetParam());
    ASSERT_NE (loaded.instance, nullptr);
    EXPECT_EQ (loaded.description.name, "Tarnwell");
    EXPECT_FALSE (loaded.description.isInstrument);
    EXPECT_FALSE (loaded.instance->acceptsMidi() || loaded.instance->producesMidi());
    if (GetParam() == Format::lv2)
    {
        EXPECT_EQ (loaded.description.fileOrIdentifier, "https://quennet.audio/plugins/tarnwell");
    }
    else
    {
        EXPECT_EQ (loaded.description.manufacturerName, "Quennet");
        EXPECT_EQ (loaded.description.version, "1.0.0");
    }
}

TEST_P (Formats, FiveParametersWithTheirNamesAndTexts)
{
    auto loaded = load (GetParam());
    ASSERT_NE (loaded.instance, nullptr);
    auto& plugin = *loaded.instance;
    const auto& parameters = plugin.getParameters();

    // JUCE's VST3 wrapper adds a bypass parameter of its own after ours.
    ASSERT_GE (parameters.size(), params::count);
    if (GetParam() == Format::vst3)
    {
        for (int i = 0; i < parameters.size(); ++i)
            EXPECT_EQ (parameters[i]->getName (100), i < params::count ? params::name (i) : juce::String ("Bypass"))
                << i;
    }
    for (int i = 0; i < params::count; ++i)
        EXPECT_NE (parameterNamed (plugin, params::name (i)), nullptr) << params::name (i);

    setValues (plugin, someValues);
    EXPECT_EQ (valuesOf (plugin), carried (GetParam(), someValues));

    // LV2 carries no value-to-text function: JUCE's LV2 hosting shows plain numbers.
    if (GetParam() == Format::vst3)
    {
        for (int i = 0; i < params::count; ++i)
            for (float v : { 0.0f, 0.25f, 0.8f, 1.0f })
                EXPECT_EQ (parameterNamed (plugin, params::name (i))->getText (v, 100),
                           params::text (i, params::engineValue (i, v)))
                    << i << " " << v;
    }
}

TEST_P (Formats, StereoProcessingMatchesTheEngine)
{
    const auto input = testInput (2);
    auto loaded = load (GetParam());
    ASSERT_NE (loaded.instance, nullptr);
    const auto expected = engineOutput (someValues, input, 2);
    ASSERT_GT (peak (expected), 0.01f);
    EXPECT_LE (largestDifference (pluginOutput (*loaded.instance, someValues, input, 2), expected), 1e-6f);
}

TEST_P (Formats, SavesTheVst2BuildsBlockAndRestoresIt)
{
    const auto format = GetParam();
    auto loaded = load (format);
    ASSERT_NE (loaded.instance, nullptr);
    auto& plugin = *loaded.instance;

    setValues (plugin, someValues);
    const auto saved = tarnwell::test::settingsBlockOf (format, plugin);
    EXPECT_EQ (saved, vst2Block (carried (format, someValues)));

    // A host's own view of the values after a restore differs between formats (LV2 hosts keep
    // port values of their own); the block the plug-in saves next is what counts.
    setValues (plugin, otherValues);
    tarnwell::test::restoreSettingsBlock (format, plugin, saved);
    EXPECT_EQ (tarnwell::test::settingsBlockOf (format, plugin), saved);
}

// A project saved with an untouched instance plays as before when it is opened again, whether
// the host restores the saved state or sets each parameter to the value the instance reported;
// and an untouched instance plays its stored defaults (LV2 hosts apply the ports' defaults).
TEST_P (Formats, AFreshInstancePlaysWhatItReportsAndSaves)
{
    const auto format = GetParam();
    const auto input = testInput (2);
    auto fresh = load (format), restored = load (format), reported = load (format);
    ASSERT_TRUE (fresh.instance != nullptr && restored.instance != nullptr && reported.instance != nullptr);

    const auto freshOutput = pluginOutput (*fresh.instance, nullptr, input, 2);
    Values defaults {};
    for (int i = 0; i < params::count; ++i)
        defaults[static_cast<size_t> (i)] = static_cast<float> (params::storedDefault (i));
    EXPECT_LE (largestDifference (freshOutput, engineOutput (defaults, input, 2)), 1e-6f);

    tarnwell::test::restoreSettingsBlock (format, *restored.instance,
                                          tarnwell::test::settingsBlockOf (format, *restored.instance));
    EXPECT_EQ (pluginOutput (*restored.instance, nullptr, input, 2), freshOutput);

    const auto values = valuesOf (*reported.instance);
    EXPECT_EQ (values, defaults);
    EXPECT_EQ (pluginOutput (*reported.instance, values, input, 2), freshOutput);
}

INSTANTIATE_TEST_SUITE_P (Built, Formats, ::testing::Values (Format::vst3), formatTestName);
INSTANTIATE_TEST_SUITE_P (Lv2, Formats, ::testing::Values (Format::lv2), formatTestName);

// A value typed into a host's field reads in the displayed unit, with or without it, and is
// clamped to the range; text that is not a value of the parameter leaves it as it is.
TEST (Vst3TypedValues, GiveTheValueTheyNameClampedAndJunkLeavesTheValue)
{
    auto loaded = load (Format::vst3);
    ASSERT_NE (loaded.instance, nullptr);
    const auto hz = [] (double f) { return static_cast<float> (std::log (f / 50.0) / std::log (320.0)); };
    const auto top = hz (10000.0);
    const struct
    {
        int parameter;
        const char* text;
        float expected;
    } cases[] = {
        { params::t60Low, "2.5", 0.25f },
        { params::t60Low, "2.5 s", 0.25f },
        { params::t60Low, " 2.5 sec ", 0.25f },
        { params::t60Low, "2.5SEC", 0.25f },
        { params::t60Low, "250 ms", 0.025f },
        { params::t60High, "+0.5", 0.05f },
        { params::t60High, "9.99 s", 0.999f },
        { params::t60High, "10.01 s", 1.0f },
        { params::t60High, "1e9", 1.0f },
        { params::t60High, "0.01", 0.001f },
        { params::t60High, "-0.01 s", 0.0f },
        { params::transition, "900 Hz", hz (900.0) },
        { params::transition, "1.2 kHz", hz (1200.0) },
        { params::transition, "6700", 0.8490928f },
        { params::transition, "9999 Hz", hz (9999.0) },
        { params::transition, "10001 Hz", top },
        { params::transition, "50.1", hz (50.1) },
        { params::transition, "49.9 Hz", 0.0f },
        { params::mix, "35 %", 0.35f },
        { params::mix, "35", 0.35f },
        { params::mix, "99.9%", 0.999f },
        { params::mix, "100.1 %", 1.0f },
        { params::mix, "0.1", 0.001f },
        { params::diffusion, "-0.1 %", 0.0f },
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (parameterNamed (*loaded.instance, params::name (c.parameter))->getValueForText (c.text),
                         c.expected)
            << params::name (c.parameter) << " \"" << c.text << "\"";

    // Junk for every parameter, and another parameter's unit.
    const char* const junk[] = { "", "loud", "s", "%", "nan", "inf s", "2,5", "2.5 s s", "0x10", "35 dB" };
    for (int i = 0; i < params::count; ++i)
    {
        auto* parameter = parameterNamed (*loaded.instance, params::name (i));
        parameter->setValue (0.42f);
        runSilentBlock (*loaded.instance);
        const char* const otherUnit = i == params::transition ? "900 s"
            : i == params::mix || i == params::diffusion      ? "35 s"
                                                              : "2.5 Hz";
        for (const char* text : junk)
            EXPECT_FLOAT_EQ (parameter->getValueForText (text), 0.42f) << params::name (i) << " \"" << text << "\"";
        EXPECT_FLOAT_EQ (parameter->getValueForText (otherUnit), 0.42f)
            << params::name (i) << " \"" << otherUnit << "\"";
    }
}

TEST (Vst3Layouts, MonoAndMonoToStereoMatchTheEngineAndStereoToMonoIsRefused)
{
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    {
        auto loaded = load (Format::vst3);
        ASSERT_NE (loaded.instance, nullptr);
        EXPECT_FALSE (loaded.instance->checkBusesLayoutSupported ({ { stereo }, { mono } }));
        const auto surround = juce::AudioChannelSet::create5point1();
        EXPECT_FALSE (loaded.instance->checkBusesLayoutSupported ({ { surround }, { surround } }));
    }

    const auto input = testInput (1);
    for (const auto& [outputs, set] : { std::pair { 1, mono }, std::pair { 2, stereo } })
    {
        auto loaded = load (Format::vst3);
        ASSERT_NE (loaded.instance, nullptr);
        auto& plugin = *loaded.instance;
        ASSERT_TRUE (plugin.setBusesLayout ({ { mono }, { set } })) << outputs;
        const auto expected = engineOutput (someValues, input, outputs);
        const auto actual = pluginOutput (plugin, &someValues, input, outputs);
        EXPECT_LE (largestDifference (actual, expected), 1e-6f) << outputs;
    }
}

// Each factory preset's .vstpreset, loaded through JUCE's VST3 hosting as hosts load preset
// files (the class ID checked, the component state handed to the processor and then to the
// controller), leaves the plug-in saving what Tarnwell.so saves at the preset's values, and
// reporting them (that values sound as the engine does at them is held above).
TEST (Vst3Presets, EachPresetFileRestoresThePresetsValues)
{
    namespace presets = tarnwell::factoryPresets;
    for (int i = 0; i < presets::count(); ++i)
    {
        const auto& preset = *presets::at (i);
        SCOPED_TRACE (preset.name);
        juce::MemoryBlock file;
        ASSERT_TRUE (juce::File (TARNWELL_PRESET_FOLDER)
                         .getChildFile ("vst3")
                         .getChildFile (juce::String (preset.name) + ".vstpreset")
                         .loadFileAsData (file));

        auto loaded = load (Format::vst3);
        ASSERT_NE (loaded.instance, nullptr);
        setValues (*loaded.instance, otherValues);
        // JUCE's way for a host to load a preset file into a VST3 instance.
        struct PresetLoader final : juce::ExtensionsVisitor
        {
            explicit PresetLoader (const juce::MemoryBlock& f) : file (f) {}
            void visitVST3Client (const VST3Client& client) override { loaded = client.setPreset (file); }
            const juce::MemoryBlock& file;
            bool loaded = false;
        } loader (file);
        loaded.instance->getExtensions (loader);
        ASSERT_TRUE (loader.loaded);
        EXPECT_EQ (tarnwell::test::settingsBlockOf (Format::vst3, *loaded.instance), vst2Block (preset.normalised));
        EXPECT_EQ (valuesOf (*loaded.instance), preset.normalised);
    }
}

// The slowest band's fall of 90 dB: one and a half times the longest decay time.
TEST (Vst3Tail, FollowsTheLongestDecay)
{
    auto loaded = load (Format::vst3);
    ASSERT_NE (loaded.instance, nullptr);
    auto& plugin = *loaded.instance;
    plugin.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    const std::pair<Values, double> cases[] = { { { 0.3f, 0.5f, 0.5f, 0.5f, 0.5f }, 7.5 },
                                                { { 0.8f, 0.5f, 0.5f, 0.5f, 0.5f }, 12.0 },
                                                { { 0.0f, 0.0f, 0.5f, 0.5f, 0.5f }, 0.0 } };
    for (const auto& [values, seconds] : cases)
    {
        setValues (plugin, values);
        buffer.clear();
        plugin.processBlock (buffer, midi);
        EXPECT_NEAR (plugin.getTailLengthSeconds(), seconds, 1.0 / sampleRate) << values[0] << " " << values[1];
    }
    plugin.releaseResources();
}

namespace
{
// A settings block whose five parameters all hold the text of `value`.
juce::MemoryBlock blockHolding (float value)
{
    char number[40];
    *std::to_chars (number, number + sizeof (number) - 1, value).ptr = 0;
    juce::String text ("<properties");
    for (int i = 0; i < params::count; ++i)
        text << " " << params::name (i) << "=\"" << number << "\"";
    text << "/>";

    juce::MemoryOutputStream out;
    out.writeInt (0x21324356); // "VC2!"
    out.writeInt (static_cast<int> (text.getNumBytesAsUTF8()));
    out.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
    out.writeShort (0);
    return out.getMemoryBlock();
}

// The value a settings block saves for a parameter, or NaN if it holds none.
double savedValue (const juce::MemoryBlock& block, int index)
{
    const auto text = block.getSize() > 8 ? juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8,
                                                                    static_cast<int> (block.getSize() - 8))
                                          : juce::String();
    const auto key = " " + params::name (index) + "=\"";
    const int at = text.indexOf (key);
    return at < 0 ? std::nan ("") : std::strtod (text.toRawUTF8() + at + key.length(), nullptr);
}

void expectFiniteAndBounded (const Channels& output)
{
    for (const auto& channel : output)
        for (const float s : channel)
            ASSERT_TRUE (std::isfinite (s) && std::abs (s) < 100.0f) << s;
}
} // namespace

// Any float a host, a port or a saved block may hand over, at every way in of every format:
// the output stays finite and bounded, the values the instance reports and saves stay in 0..1,
// and its texts stay short.
TEST (Entrances, AnyFloatKeepsEveryFormatInRange)
{
    const float inf = std::numeric_limits<float>::infinity();
    // Each kind once: the core holds every value to its range just inside and just outside.
    const float hostile[] = { std::numeric_limits<float>::quiet_NaN(), inf, -inf, -1e30f, 2.0f, -1e-40f };
    const auto input = testInput (2);

    for (const auto format : { Format::vst2, Format::vst3, Format::lv2 })
        for (const float value : hostile)
            for (const bool restored : { false, true })
            {
                SCOPED_TRACE (std::string (tarnwell::test::formatName (format)) + (restored ? " block " : " set ")
                              + std::to_string (value));
                auto loaded = load (format);
                ASSERT_NE (loaded.instance, nullptr);
                auto& plugin = *loaded.instance;
                if (restored)
                    tarnwell::test::restoreSettingsBlock (format, plugin, blockHolding (value));
                else
                    for (int i = 0; i < params::count; ++i)
                        parameterNamed (plugin, params::name (i))->setValue (value);

                expectFiniteAndBounded (pluginOutput (plugin, nullptr, input, 2));
                const auto saved = tarnwell::test::settingsBlockOf (format, plugin);
                for (int i = 0; i < params::count; ++i)
                {
                    EXPECT_TRUE (savedValue (saved, i) >= 0.0 && savedValue (saved, i) <= 1.0) << params::name (i);
                    // JUCE's VST3 and LV2 hosting answer from values of their own; VST 2.4 asks us.
                    auto* parameter = parameterNamed (plugin, params::name (i));
                    if (format == Format::vst2)
                    {
                        EXPECT_TRUE (parameter->getValue() >= 0.0f && parameter->getValue() <= 1.0f)
                            << params::name (i);
                    }
                    if (format != Format::lv2)
                    {
                        EXPECT_LE (parameter->getText (parameter->getValue(), 100).length(), 12) << params::name (i);
                    }
                }
            }
}

// The VST3 through JUCE's hosting, as a host resizes a plug-in's view: the wrapper answers
// canResize and checkSizeConstraint from the editor's limits and shape (JUCE fits the size asked
// for inside them, to the pixel), and the editor takes the size (onSize).
TEST (Vst3Editor, AHostsResizeIsSnappedToTheEditorsShapeAndRange)
{
    auto loaded = load (Format::vst3);
    ASSERT_NE (loaded.instance, nullptr);
    std::unique_ptr<juce::AudioProcessorEditor> window (loaded.instance->createEditorIfNeeded());
    ASSERT_NE (window, nullptr);
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (453, 200));
    window->addToDesktop (0);
    if (window->getPeer() == nullptr)
        GTEST_SKIP() << "no window for the editor";
    window->setVisible (true);
    for (const auto& asked :
         { juce::Rectangle<int> (906, 400), { 1000, 300 }, { 5000, 5000 }, { 100, 100 }, { 700, 700 } })
    {
        window->setSize (asked.getWidth(), asked.getHeight());
        const auto taken = window->getLocalBounds();
        SCOPED_TRACE (asked.toString() + " -> " + taken.toString());
        EXPECT_TRUE (taken.getWidth() >= 453 && taken.getWidth() <= 1360 && taken.getHeight() >= 200
                     && taken.getHeight() <= 600);
        EXPECT_NEAR (taken.getHeight(), taken.getWidth() * 200.0 / 453.0, 1.0) << "the editor's shape";
        if (asked.getWidth() * 200 == asked.getHeight() * 453)
        {
            EXPECT_EQ (taken, asked);
        }
    }

    // At twice its size the editor fills the window, drawn as the 2x picture: the band above
    // the controls is the 2x artwork (to the scale tests' tolerance).
    window->setSize (906, 400);
    const auto art =
        juce::ImageFileFormat::loadFrom (TarnwellArtwork::background2x_png, TarnwellArtwork::background2x_pngSize);
    auto* display = XOpenDisplay (nullptr);
    ASSERT_NE (display, nullptr);
    int differing = -1;
    for (int attempt = 0; attempt < 100 && differing != 0; ++attempt)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        auto* shown = XGetImage (display, reinterpret_cast<::Window> (window->getWindowHandle()), 0, 0, 906, 60,
                                 AllPlanes, ZPixmap);
        if (shown == nullptr)
            continue;
        differing = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 906; ++x)
            {
                const auto pixel = static_cast<juce::uint32> (XGetPixel (shown, x, y));
                const auto expected = art.getPixelAt (x, y);
                differing += juce::jmax (std::abs (int ((pixel >> 16) & 0xff) - expected.getRed()),
                                         std::abs (int ((pixel >> 8) & 0xff) - expected.getGreen()),
                                         std::abs (int (pixel & 0xff) - expected.getBlue()))
                        > 2
                    ? 1
                    : 0;
            }
        XDestroyImage (shown);
    }
    XCloseDisplay (display);
    EXPECT_EQ (differing, 0);
    window.reset();
    tarnwell::test::configHome.forgetEditorSize();
}
