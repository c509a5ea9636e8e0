// Tarnwell.clap through its exported clap_entry only: identity, parameters, processing against
// the VST 2.4 build, state, sample-accurate automation and what the audio thread does.

#include "tools/clap_host/ClapHost.h"

#include "tests/vst2/TestHost.h"
#include "AudioThreadCounts.h"
#include "ReferenceSignals.h"
#include "host/ProductIdentity.h"
#include "host/clap/ClapPresetAbi.h"
#include "processor/FactoryPresets.h"
#include "processor/ParameterTable.h"
#include "tests/support/TemporaryConfigHome.h"
#include "tests/support/X11HostWindow.h"

#include <X11/Xutil.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <set>
#include <thread>

using namespace tarnwell;
using namespace tarnwell::clapHost;
using tarnwell::testreference::Channels;

namespace
{
using Values = std::array<float, parameters::count>;

// The value a CLAP host sends for a normalised one, and the normalised value that plays.
double clapValue (int index, float normalised)
{
    return parameters::displayValue (index, normalised);
}
float played (int index, float normalised)
{
    return parameters::normalisedFor (index, clapValue (index, normalised));
}

void setAll (Instance& clap, const Values& values)
{
    EventList events;
    for (int i = 0; i < parameters::count; ++i)
        events.add (0, static_cast<clap::Id> (i), clapValue (i, values[static_cast<size_t> (i)]));
    clap.flush (events);
}

// The VST 2.4 build's output for the same values, in blocks of `blockSize`.
Channels vst2Output (const Values& values, Channels audio, int blockSize, double rate,
                     const std::vector<std::uint8_t>* chunk = nullptr)
{
    testhost::PluginLibrary library;
    testhost::Plugin vst2 (library);
    if (audio.size() == 1)
    {
        testhost::Arrangement in (1, 0), out (2, 1);
        vst2.dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&in), &out);
        audio.emplace_back (audio[0].size(), 0.0f);
    }
    if (chunk != nullptr)
        vst2.dispatch (effSetChunk, 0, static_cast<VstIntPtr> (chunk->size()),
                       const_cast<std::uint8_t*> (chunk->data()));
    else
        for (int i = 0; i < parameters::count; ++i)
            vst2.effect->setParameter (vst2.effect, i, played (i, values[static_cast<size_t> (i)]));
    vst2.resume (static_cast<float> (rate), blockSize);
    vst2.processInPlace (audio, blockSize);
    return audio;
}

std::vector<std::uint8_t> vst2Chunk (const Values& values)
{
    testhost::PluginLibrary library;
    testhost::Plugin vst2 (library);
    for (int i = 0; i < parameters::count; ++i)
        vst2.effect->setParameter (vst2.effect, i, played (i, values[static_cast<size_t> (i)]));
    void* data = nullptr;
    const auto size = vst2.dispatch (effGetChunk, 0, 0, &data);
    const auto* bytes = static_cast<const std::uint8_t*> (data);
    return { bytes, bytes + size };
}

class ClapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (library.isLoaded()) << TARNWELL_CLAP_PATH;
        ASSERT_NE (instance.plugin, nullptr);
    }
    void TearDown() override { test::configHome.forgetEditorSize(); }

    Library library { TARNWELL_CLAP_PATH };
    Instance instance { library };
};
} // namespace

TEST_F (ClapTest, IdentityAndFactory)
{
    EXPECT_EQ (library.entry->clapVersion.major, 1u);
    ASSERT_EQ (library.factory->getPluginCount (library.factory), 1u);
    EXPECT_EQ (library.factory->getPluginDescriptor (library.factory, 1), nullptr);
    const auto& d = *library.factory->getPluginDescriptor (library.factory, 0);
    EXPECT_STREQ (d.id, "audio.quennet.tarnwell");
    EXPECT_STREQ (d.name, "Tarnwell");
    EXPECT_STREQ (d.vendor, "Quennet");
    EXPECT_STREQ (d.version, product::version);
    std::vector<std::string> features;
    for (auto f = d.features; *f != nullptr; ++f)
        features.emplace_back (*f);
    EXPECT_EQ (features, (std::vector<std::string> { "audio-effect", "reverb", "stereo" }));
    EXPECT_EQ (library.entry->getFactory ("clap.preset-discovery-factory/none"), nullptr);
    EXPECT_EQ (library.entry->getFactory (nullptr), nullptr);

    HostRecord host;
    EXPECT_EQ (library.factory->createPlugin (library.factory, &host.host, "audio.quennet.tarnwell2"), nullptr);
    EXPECT_EQ (instance.plugin->getExtension (instance.plugin, "clap.note-ports"), nullptr);

    // No latency; one main stereo port each way, in place.
    const auto* latency = instance.extension<clap::PluginLatency> (clap::extension::latency);
    ASSERT_NE (latency, nullptr);
    EXPECT_EQ (latency->get (instance.plugin), 0u);
    ASSERT_NE (instance.ports, nullptr);
    for (const bool isInput : { true, false })
    {
        ASSERT_EQ (instance.ports->count (instance.plugin, isInput), 1u);
        clap::AudioPortInfo info {};
        ASSERT_TRUE (instance.ports->get (instance.plugin, 0, isInput, &info));
        EXPECT_EQ (info.channelCount, 2u);
        EXPECT_STREQ (info.portType, "stereo");
        EXPECT_EQ (info.flags & clap::audioPortIsMain, clap::audioPortIsMain);
        EXPECT_FALSE (instance.ports->get (instance.plugin, 1, isInput, &info));
    }
}

TEST_F (ClapTest, ParametersHaveStableIdsUnitsDefaultsAndTheOtherFormatsTexts)
{
    ASSERT_NE (instance.params, nullptr);
    ASSERT_EQ (instance.params->count (instance.plugin), 5u);
    const char* names[] = { "T60Low", "T60High", "Transition", "Mix", "Diffusion" };
    const double ranges[][3] = { { 0, 10, 3.5 }, { 0, 10, 0.5 }, { 50, 10000, 6700 }, { 0, 100, 25 }, { 0, 100, 50 } };
    for (std::uint32_t i = 0; i < 5; ++i)
    {
        clap::ParamInfo info {};
        ASSERT_TRUE (instance.params->getInfo (instance.plugin, i, &info));
        EXPECT_EQ (info.id, i);
        EXPECT_STREQ (info.name, names[i]);
        EXPECT_EQ (info.flags & clap::paramIsAutomatable, clap::paramIsAutomatable);
        EXPECT_DOUBLE_EQ (info.minValue, ranges[i][0]) << names[i];
        EXPECT_DOUBLE_EQ (info.maxValue, ranges[i][1]) << names[i];
        EXPECT_NEAR (info.defaultValue, ranges[i][2], 1e-3) << names[i];
        EXPECT_NEAR (instance.value (i), info.defaultValue, 1e-9) << names[i];
    }
    clap::ParamInfo info {};
    EXPECT_FALSE (instance.params->getInfo (instance.plugin, 5, &info));
    EXPECT_EQ (instance.value (5), -1);

    // The current value shows the engine's start, as the other formats; others their own.
    const auto text = [this] (clap::Id id, double value, std::uint32_t capacity = 64) {
        char buffer[64] = "unchanged";
        return instance.params->valueToText (instance.plugin, id, value, buffer, capacity) ? std::string (buffer)
                                                                                           : "refused";
    };
    EXPECT_EQ (text (0, instance.value (0)), "3.50 sec");
    EXPECT_EQ (text (2, instance.value (2)), "6700.00 Hz");
    EXPECT_EQ (text (0, 5.0), "5.00 sec");
    EXPECT_EQ (text (2, 894.427191), "894.43 Hz");
    EXPECT_EQ (text (3, 60.0), "60.00%");
    EXPECT_EQ (text (3, 250.0), "100.00%"); // clamped to the range
    EXPECT_EQ (text (0, 5.0, 4), "5.0"); // cut to the host's buffer
    EXPECT_EQ (text (7, 5.0), "refused");

    const auto typed = [this] (clap::Id id, const char* t) {
        double v = -1;
        return instance.params->textToValue (instance.plugin, id, t, &v) ? v : -1;
    };
    EXPECT_NEAR (typed (2, "1.2 kHz"), 1200.0, 1e-3);
    EXPECT_NEAR (typed (0, "2.5 sec"), 2.5, 1e-6);
    EXPECT_NEAR (typed (0, "250 ms"), 0.25, 1e-6);
    EXPECT_NEAR (typed (3, "35 %"), 35.0, 1e-4);
    EXPECT_NEAR (typed (0, "99"), 10.0, 1e-6); // limited to the range, as elsewhere
    EXPECT_EQ (typed (0, "loud"), -1);
    EXPECT_EQ (typed (3, "35 Hz"), -1);
    EXPECT_EQ (typed (9, "1"), -1);

    // Flush sets values while not processing, each at once.
    EventList events;
    events.add (0, 3, 60.0);
    events.add (0, 1, 20.0);
    events.add (0, 12, 1.0); // no such parameter: ignored
    instance.flush (events);
    EXPECT_NEAR (instance.value (3), 60.0, 1e-4);
    EXPECT_NEAR (instance.value (1), 10.0, 1e-6);
    EXPECT_EQ (text (1, instance.value (1)), "10.00 sec");
}

// The same settings, set as events or through a state round trip, sound exactly as in the
// VST 2.4 build, in place or apart, stereo or mono in, in any block size.
TEST_F (ClapTest, ProcessingEqualsTheVst2BuildIncludingAfterAStateRoundTrip)
{
    const Values values { 0.21f, 0.43f, 0.66f, 0.7f, 0.35f };
    const auto input = testreference::burst (2, 30000, 6000, 7);
    const auto expected = vst2Output (values, input, 512, 48000);

    for (const auto& [block, inPlace] :
         { std::pair { 512u, true }, std::pair { 333u, false }, std::pair { 4096u, true } })
    {
        Instance clap (library);
        setAll (clap, values);
        ASSERT_TRUE (clap.start (48000));
        auto audio = input;
        for (std::uint32_t start = 0; start < audio[0].size(); start += block)
            EXPECT_EQ (clap.process (audio, start,
                                     std::min<std::uint32_t> (block,
                                                              static_cast<std::uint32_t> (audio[0].size()) - start),
                                     nullptr, 0, inPlace),
                       clap::processContinue);
        EXPECT_EQ (audio, expected) << "blocks of " << block << (inPlace ? " in place" : " apart");
    }

    // The state is the VST 2.4 chunk, byte for byte, and restores the same sound.
    Instance saved (library);
    setAll (saved, values);
    const auto state = saved.save();
    EXPECT_EQ (state, vst2Chunk (values));

    Instance restored (library);
    const int rescansBefore = restored.host.rescans;
    ASSERT_TRUE (restored.load (state));
    EXPECT_EQ (restored.host.rescans, rescansBefore + 1);
    EXPECT_EQ (restored.save(), state);
    ASSERT_TRUE (restored.start (48000));
    auto audio = input;
    restored.processInBlocks (audio, 256);
    EXPECT_EQ (audio, vst2Output (values, input, 256, 48000, &state));

    // A mono input played into both outputs, as VST 2.4's 1 in, 2 out.
    Instance mono (library);
    const auto* config = mono.extension<clap::PluginAudioPortsConfig> (clap::extension::audioPortsConfig);
    ASSERT_NE (config, nullptr);
    ASSERT_EQ (config->count (mono.plugin), 2u);
    clap::AudioPortsConfig c {};
    ASSERT_TRUE (config->get (mono.plugin, 1, &c));
    EXPECT_EQ (c.mainInputChannelCount, 1u);
    EXPECT_EQ (c.mainOutputChannelCount, 2u);
    ASSERT_TRUE (config->select (mono.plugin, c.id));
    clap::AudioPortInfo info {};
    ASSERT_TRUE (mono.ports->get (mono.plugin, 0, true, &info));
    EXPECT_EQ (info.channelCount, 1u);
    EXPECT_STREQ (info.portType, "mono");
    setAll (mono, values);
    ASSERT_TRUE (mono.start (44100));
    EXPECT_FALSE (config->select (mono.plugin, 0)); // not while active
    Channels monoAudio { input[0], std::vector<float> (input[0].size()) };
    for (std::uint32_t start = 0; start < monoAudio[0].size(); start += 1024)
        mono.process (monoAudio, start,
                      std::min<std::uint32_t> (1024, static_cast<std::uint32_t> (monoAudio[0].size()) - start), nullptr,
                      1, false);
    EXPECT_EQ (monoAudio, vst2Output (values, Channels { input[0] }, 1024, 44100));
}

// A settings block that holds no settings is refused and changes nothing; values out of range
// are limited as VST 2.4 limits them.
TEST_F (ClapTest, StateRefusesWhatIsNoSettingsBlockAndClampsAsVst2)
{
    const auto before = instance.save();
    ASSERT_EQ (before, vst2Chunk ({ 0.35f, 0.05f, 0.8490928f, 0.25f, 0.5f }));
    const std::string xml = "<properties T60Low=\"7\" Mix=\"-3\" Extra=\"x\"/>";
    const auto block = std::string ("VC2!") + static_cast<char> (xml.size()) + std::string (3, '\0') + xml + '\0';
    const std::vector<std::uint8_t> good (block.begin(), block.end());

    for (const auto& bad :
         { std::vector<std::uint8_t> { 1, 2, 3, 4 }, std::vector<std::uint8_t> (good.size(), 0),
           std::vector<std::uint8_t> (good.begin(), good.begin() + 20), std::vector<std::uint8_t> {} })
    {
        EXPECT_FALSE (instance.load (bad));
        EXPECT_EQ (instance.save(), before);
    }
    ASSERT_TRUE (instance.load (good));
    EXPECT_DOUBLE_EQ (instance.value (0), 10.0);
    EXPECT_DOUBLE_EQ (instance.value (3), 0.0);
    const auto after = instance.save();
    const std::string text (after.begin() + 8, after.end() - 2);
    EXPECT_EQ (text, "<properties T60Low=\"1\" Mix=\"0\" Extra=\"x\" T60High=\"0\" Transition=\"0\" Diffusion=\"0\"/>");
}

// Events take effect at their frame: a ramp given as events inside one block sounds exactly as
// the same ramp applied by splitting the block at those frames.
TEST_F (ClapTest, AutomationEventsTakeEffectAtTheirFrame)
{
    const auto input = testreference::noise (2, 4000, 3);
    std::vector<std::pair<std::uint32_t, float>> ramp;
    for (std::uint32_t at = 0; at < 4000; at += 137)
        ramp.emplace_back (at, static_cast<float> (at) / 4000.0f);

    Instance events (library), split (library);
    ASSERT_TRUE (events.start (48000));
    ASSERT_TRUE (split.start (48000));

    auto byEvents = input;
    EventList list;
    for (const auto& [at, v] : ramp)
    {
        list.add (at, 3, clapValue (3, v));
        list.add (at, 0, clapValue (0, 1.0f - v));
    }
    list.add (3999, 2, 1e9); // beyond the range: limited to it
    events.process (byEvents, 0, 4000, &list);

    auto bySplitting = input;
    for (size_t k = 0; k < ramp.size(); ++k)
    {
        EventList at;
        at.add (0, 3, clapValue (3, ramp[k].second));
        at.add (0, 0, clapValue (0, 1.0f - ramp[k].second));
        const auto end = k + 1 < ramp.size() ? ramp[k + 1].first : 3999u;
        split.process (bySplitting, ramp[k].first, end - ramp[k].first, &at);
    }
    EventList last;
    last.add (0, 2, 10000.0);
    split.process (bySplitting, 3999, 1, &last);

    EXPECT_EQ (byEvents, bySplitting);
    EXPECT_NEAR (events.value (3), split.value (3), 0.0);
    EXPECT_NE (byEvents, input);

    // A call with no audio at all still carries its events.
    EventList alone;
    alone.add (0, 4, 80.0);
    clap::Process noAudio {};
    noAudio.inEvents = alone.get();
    noAudio.outEvents = &events.sent.list;
    EXPECT_EQ (events.plugin->process (events.plugin, &noAudio), clap::processContinue);
    EXPECT_NEAR (events.value (4), 80.0, 1e-4);
}

// The slowest band's fall of 90 dB, in frames at the activated rate.
TEST_F (ClapTest, TailIsTheSlowestBandsFallOf90Decibels)
{
    const auto* tail = instance.extension<clap::PluginTail> (clap::extension::tail);
    ASSERT_NE (tail, nullptr);
    EXPECT_EQ (tail->get (instance.plugin), 231525u); // 3.5 s at the start, 5.25 s at 44100 Hz
    EventList events;
    events.add (0, 0, 8.0);
    events.add (0, 1, 2.0);
    instance.flush (events);
    ASSERT_TRUE (instance.start (48000));
    EXPECT_EQ (tail->get (instance.plugin), 12u * 48000u);

    const auto* render = instance.extension<clap::PluginRender> (clap::extension::render);
    ASSERT_NE (render, nullptr);
    EXPECT_FALSE (render->hasHardRealtimeRequirement (instance.plugin));
    EXPECT_TRUE (render->set (instance.plugin, clap::renderOffline));
}

// On the audio thread, from the first block: process with parameter events, tail and flush
// allocate, free and lock nothing, in any block size.
TEST_F (ClapTest, AudioThreadCallsCountNothing)
{
    ASSERT_TRUE (instance.start (44100, 4096));
    const auto* tail = instance.extension<clap::PluginTail> (clap::extension::tail);
    std::vector<float> left (4096, 0.25f), right (4096, -0.25f), outLeft (4096), outRight (4096);
    float* ins[] = { left.data(), right.data() };
    float* outs[] = { outLeft.data(), outRight.data() };
    clap::AudioBuffer inputs { ins, nullptr, 2, 0, 0 }, outputs { outs, nullptr, 2, 0, 0 };
    EventList events;
    test::BlockCounts counts;
    long blocks = 0;
    for (const std::uint32_t frames : { 1u, 64u, 512u, 4096u })
        for (int repeat = 0; repeat < 4; ++repeat, ++blocks)
        {
            events.clear();
            for (std::uint32_t at = 0; at < frames; at += 1 + frames / 8)
                events.add (at, at % 5, 0.3 * (at % 7));
            test::startCounting();
            instance.processBuffers (inputs, outputs, frames, &events);
            volatile auto t = tail->get (instance.plugin);
            (void)t;
            counts.add (test::stopCounting());
        }
    counts.expectOnly ("no lock", blocks, false, "CLAP process");
    EXPECT_EQ (counts.lockedBlocks, 0);
}

// The factory presets through the preset-discovery factory: a host indexing them finds all 15
// in the plug-in, and loading one by its key sets exactly its values.
TEST_F (ClapTest, FactoryPresetsAreIndexedAndLoad)
{
    const auto* presets =
        static_cast<const clap::PresetDiscoveryFactory*> (library.entry->getFactory (clap::presetDiscoveryFactoryId));
    ASSERT_NE (presets, nullptr);
    EXPECT_EQ (library.entry->getFactory (clap::presetDiscoveryFactoryDraftId), presets);
    ASSERT_EQ (presets->count (presets), 1u);
    const auto* descriptor = presets->getDescriptor (presets, 0);

    struct Index
    {
        std::vector<clap::PresetLocation> locations;
        std::vector<std::pair<std::string, std::string>> presets; // name, key
        std::vector<std::string> pluginIds;
    } index;
    clap::PresetIndexer indexer {};
    indexer.clapVersion = clap::version;
    indexer.name = "test";
    indexer.indexerData = &index;
    indexer.declareLocation = [] (const clap::PresetIndexer* i, const clap::PresetLocation* l) {
        static_cast<Index*> (i->indexerData)->locations.push_back (*l);
        return true;
    };
    const auto* provider = presets->create (presets, &indexer, descriptor->id);
    ASSERT_NE (provider, nullptr);
    ASSERT_TRUE (provider->init (provider));
    ASSERT_EQ (index.locations.size(), 1u);
    EXPECT_EQ (index.locations[0].kind, clap::presetLocationPlugin);
    EXPECT_EQ (index.locations[0].location, nullptr);

    clap::PresetMetadataReceiver receiver {};
    receiver.receiverData = &index;
    receiver.beginPreset = [] (const clap::PresetMetadataReceiver* r, const char* name, const char* key) {
        static_cast<Index*> (r->receiverData)->presets.emplace_back (name, key);
        return true;
    };
    receiver.addPluginId = [] (const clap::PresetMetadataReceiver* r, const clap::UniversalPluginId* id) {
        static_cast<Index*> (r->receiverData)->pluginIds.push_back (std::string (id->abi) + ":" + id->id);
    };
    receiver.setFlags = [] (const clap::PresetMetadataReceiver*, std::uint32_t) {};
    receiver.addCreator = receiver.setDescription =
        receiver.addFeature = [] (const clap::PresetMetadataReceiver*, const char*) {};
    ASSERT_TRUE (provider->getMetadata (provider, clap::presetLocationPlugin, nullptr, &receiver));
    EXPECT_FALSE (provider->getMetadata (provider, clap::presetLocationFile, "/tmp", &receiver));
    provider->destroy (provider);

    ASSERT_EQ (index.presets.size(), static_cast<size_t> (factoryPresets::count()));
    EXPECT_EQ (index.pluginIds, std::vector<std::string> (index.presets.size(), "clap:audio.quennet.tarnwell"));

    const auto* load = instance.extension<clap::PluginPresetLoad> (clap::extension::presetLoad);
    ASSERT_NE (load, nullptr);
    EXPECT_FALSE (load->fromLocation (instance.plugin, clap::presetLocationPlugin, nullptr, "no-such-preset"));
    for (int i = 0; i < factoryPresets::count(); ++i)
    {
        const auto& preset = *factoryPresets::at (i);
        EXPECT_EQ (index.presets[static_cast<size_t> (i)],
                   std::make_pair (std::string (preset.name), factoryPresets::slug (preset)));
        ASSERT_TRUE (load->fromLocation (instance.plugin, clap::presetLocationPlugin, nullptr,
                                         index.presets[static_cast<size_t> (i)].second.c_str()));
        for (int p = 0; p < parameters::count; ++p)
            EXPECT_EQ (instance.value (static_cast<clap::Id> (p)),
                       clapValue (p, preset.normalised[static_cast<size_t> (p)]))
                << preset.name;
    }
}

// The gui extension: embedded in the host's X11 window only, at the editor's size, at the host's
// scale too, with the editor's changes reaching the host as gesture and value events.
TEST_F (ClapTest, EditorEmbedsInTheHostsWindow)
{
    const auto* gui = instance.extension<clap::PluginGui> (clap::extension::gui);
    ASSERT_NE (gui, nullptr);
    EXPECT_TRUE (gui->isApiSupported (instance.plugin, "x11", false));
    EXPECT_FALSE (gui->isApiSupported (instance.plugin, "x11", true));
    EXPECT_FALSE (gui->isApiSupported (instance.plugin, "cocoa", false));
    EXPECT_FALSE (gui->create (instance.plugin, "x11", true));
    std::uint32_t w = 0, h = 0;
    EXPECT_FALSE (gui->getSize (instance.plugin, &w, &h)); // before create

    test::X11HostWindow x11;
    if (! x11.open (1000, 500))
        GTEST_SKIP() << "no X server";
    ASSERT_TRUE (gui->create (instance.plugin, "x11", false));
    ASSERT_TRUE (gui->getSize (instance.plugin, &w, &h));
    EXPECT_EQ (w, 453u);
    EXPECT_EQ (h, 200u);
    // Resizable from 100 % to 300 %, its shape kept: a host's proposal is snapped (a device
    // size rounds up), and only a snapped size is taken.
    EXPECT_TRUE (gui->canResize (instance.plugin));
    clap::GuiResizeHints hints {};
    ASSERT_TRUE (gui->getResizeHints (instance.plugin, &hints));
    EXPECT_TRUE (hints.canResizeHorizontally && hints.canResizeVertically && hints.preserveAspectRatio);
    EXPECT_EQ (hints.aspectRatioWidth * 200u, hints.aspectRatioHeight * 453u);
    const std::uint32_t proposals[][4] = { { 500, 200, 500, 221 },        { 453, 300, 680, 301 },
                                           { 5000, 5000, 1359, 600 },     { 100, 10, 453, 200 },
                                           { 0xffffffffu, 1, 1359, 600 }, { 906, 400, 906, 400 } };
    for (const auto& [pw, ph, ew, eh] : proposals)
    {
        w = pw;
        h = ph;
        ASSERT_TRUE (gui->adjustSize (instance.plugin, &w, &h));
        EXPECT_EQ (std::make_pair (w, h), std::make_pair (ew, eh)) << pw << " x " << ph;
        auto again = std::make_pair (w, h);
        ASSERT_TRUE (gui->adjustSize (instance.plugin, &again.first, &again.second));
        EXPECT_EQ (again, std::make_pair (w, h)) << "a snapped size snaps to itself";
        EXPECT_EQ (gui->setSize (instance.plugin, pw, ph), pw == ew && ph == eh) << pw << " x " << ph;
    }
    ASSERT_TRUE (gui->getSize (instance.plugin, &w, &h));
    EXPECT_EQ (std::make_pair (w, h), std::make_pair (906u, 400u)) << "the last size taken";
    EXPECT_FALSE (gui->setSize (instance.plugin, 500, 200));
    EXPECT_TRUE (gui->setSize (instance.plugin, 453, 200));

    clap::Window window { "x11", {} };
    window.x11 = x11.window;
    ASSERT_TRUE (gui->setParent (instance.plugin, &window));
    EXPECT_TRUE (gui->show (instance.plugin));
    EXPECT_EQ (x11.children().size(), 1u);
    ASSERT_TRUE (gui->setScale (instance.plugin, 2.0));
    ASSERT_TRUE (gui->getSize (instance.plugin, &w, &h));
    EXPECT_EQ (w, 906u);
    EXPECT_EQ (h, 400u);
    EXPECT_FALSE (gui->setScale (instance.plugin, 0.0));
    gui->destroy (instance.plugin);
    EXPECT_EQ (x11.children().size(), 0u);
    EXPECT_EQ (test::X11HostWindow::errors(), 0);
}

namespace
{
// How many colours the screen shows where the host's window, and the editor in it, sit: one
// or two while nothing is drawn. Read from the root window, which is always viewable.
size_t coloursShown (const test::X11HostWindow& x11, unsigned width, unsigned height)
{
    XSync (x11.display, False);
    XImage* shown = XGetImage (x11.display, DefaultRootWindow (x11.display), 0, 0, width, height, AllPlanes, ZPixmap);
    if (shown == nullptr)
        return 0;
    std::set<unsigned long> colours;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            colours.insert (XGetPixel (shown, static_cast<int> (x), static_cast<int> (y)));
    XDestroyImage (shown);
    return colours.size();
}

// One turn of a host's main loop: waits a while for the descriptors registered with it and hands
// each ready one to the plug-in; or waits a timer's period and calls every registered timer.
void runHostLoopOnce (Instance& instance)
{
    if (! instance.host.timers.empty())
    {
        const auto* timers = instance.extension<clap::PluginTimerSupport> (clap::extension::timerSupport);
        std::this_thread::sleep_for (std::chrono::milliseconds (instance.host.timers.begin()->second));
        for (const auto& registered : instance.host.timers)
            timers->onTimer (instance.plugin, registered.first);
        return;
    }
    const auto* fds = instance.extension<clap::PluginPosixFdSupport> (clap::extension::posixFdSupport);
    std::vector<pollfd> waited;
    for (const auto& registered : instance.host.fds)
        waited.push_back ({ registered.first, POLLIN, 0 });
    if (poll (waited.data(), waited.size(), 50) <= 0)
        return;
    for (const auto& w : waited)
        if (w.revents != 0)
            fds->onFd (instance.plugin, w.fd, clap::posixFdRead);
}
} // namespace

// In a host whose main loop offers fd support, that loop runs the editor: JUCE's descriptors
// (its message queue, the X connection) are registered with the host, no timer, and the editor
// draws only when the host calls on_fd for them. A host with timer support only gets one timer
// instead, and the editor draws only when it calls on_timer. Destroy leaves nothing registered.
// Each twice, as JUCE is set up on the host's thread again for the next editor.
TEST_F (ClapTest, EditorRunsFromTheHostsLoopWhereTheHostOffersFdOrTimerSupport)
{
    test::X11HostWindow x11;
    if (! x11.open (1000, 500))
        GTEST_SKIP() << "no X server";
    const auto* gui = instance.extension<clap::PluginGui> (clap::extension::gui);
    ASSERT_NE (gui, nullptr);
    ASSERT_NE (instance.extension<clap::PluginPosixFdSupport> (clap::extension::posixFdSupport), nullptr);
    ASSERT_NE (instance.extension<clap::PluginTimerSupport> (clap::extension::timerSupport), nullptr);
    EXPECT_EQ (coloursShown (x11, 453, 200), 1u) << "the host's empty window";

    for (const auto& [fds, timers] : { std::pair { true, true }, std::pair { false, true }, std::pair { true, true } })
    {
        SCOPED_TRACE (fds ? "fd and timer support" : "timer support only");
        instance.host.offerFds = fds;
        instance.host.offerTimers = timers;
        ASSERT_TRUE (gui->create (instance.plugin, "x11", false));
        if (fds)
        {
            EXPECT_FALSE (instance.host.fds.empty()) << "JUCE's message queue";
            EXPECT_TRUE (instance.host.timers.empty()) << "the descriptors are enough";
        }
        else
        {
            EXPECT_TRUE (instance.host.fds.empty());
            ASSERT_EQ (instance.host.timers.size(), 1u);
            EXPECT_GE (instance.host.timers.begin()->second, 10u);
        }
        const auto before = instance.host.fds.size();
        clap::Window window { "x11", {} };
        window.x11 = x11.window;
        ASSERT_TRUE (gui->setParent (instance.plugin, &window));
        if (fds)
        {
            EXPECT_GT (instance.host.fds.size(), before) << "and the X connection";
        }
        EXPECT_EQ (x11.children().size(), 1u);

        std::this_thread::sleep_for (std::chrono::milliseconds (300));
        EXPECT_LE (coloursShown (x11, 453, 200), 2u) << "drawn though the host never ran the editor's events";
        size_t shown = 0;
        for (int turn = 0; turn < 200 && shown <= 50; ++turn)
        {
            runHostLoopOnce (instance);
            shown = coloursShown (x11, 453, 200);
        }
        EXPECT_GT (shown, 50u) << "the editor drew its picture and controls from the host's loop";

        gui->destroy (instance.plugin);
        EXPECT_TRUE (instance.host.fds.empty()) << instance.host.fds.size() << " descriptors left registered";
        EXPECT_TRUE (instance.host.timers.empty()) << "a timer left registered";
        EXPECT_EQ (x11.children().size(), 0u);
        EXPECT_EQ (coloursShown (x11, 453, 200), 1u) << "the editor gone from the screen";
    }
    // Without an editor the host's calls change nothing.
    instance.extension<clap::PluginPosixFdSupport> (clap::extension::posixFdSupport)
        ->onFd (instance.plugin, 0, clap::posixFdRead);
    instance.extension<clap::PluginTimerSupport> (clap::extension::timerSupport)->onTimer (instance.plugin, 7);
    EXPECT_EQ (test::X11HostWindow::errors(), 0);
}
