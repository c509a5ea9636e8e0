// Tarnwell.lv2 in a lilv host, held against Tarnwell.so in a VST 2.4 host: the same values on
// the ports and through setParameter must give the same sound, and the state must carry the
// processor's own settings block.

#include "AudioThreadCounts.h"
#include "LilvHost.h"

#include "host/lv2/BypassCrossfade.h"
#include "host/lv2/Lv2Ports.h"
#include "processor/FactoryPresets.h"
#include "processor/ParameterTable.h"
#include "processor/InstanceCore.h"
#include "tests/vst2/TestHost.h"
#include "tests/support/ReferenceSignals.h"

#include <gtest/gtest.h>
#include <lv2/presets/presets.h>

#include <cmath>
#include <limits>
#include <functional>

namespace params = tarnwell::parameters;
using tarnwell::test::Lv2Instance;
using tarnwell::test::Lv2World;
using namespace tarnwell::testreference;

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
constexpr int numBlocks = 48;
constexpr size_t numFrames = blockSize * numBlocks;

using Values = std::array<float, params::count>;

// The ports' defaults, which must be the values a VST 2.4 instance reports when new.
Values defaults()
{
    Values values {};
    for (int i = 0; i < params::count; ++i)
        values[static_cast<size_t> (i)] = static_cast<float> (params::storedDefault (i));
    return values;
}

// Called before each block with the block's index: a place to change values between blocks.
using BetweenBlocks = std::function<void (int block, const std::function<void (int, float)>& set)>;

Channels vst2Output (const Values& values, const Channels& input, const BetweenBlocks& between = {})
{
    tarnwell::testhost::PluginLibrary library;
    EXPECT_TRUE (library.isLoaded());
    tarnwell::testhost::Plugin vst (library);
    vst.resume (static_cast<float> (sampleRate), blockSize);
    for (int i = 0; i < params::count; ++i)
        vst.effect->setParameter (vst.effect, i, values[static_cast<size_t> (i)]);

    Channels output (2, std::vector<float> (numFrames));
    for (int b = 0; b < numBlocks; ++b)
    {
        if (between)
            between (b, [&] (int i, float v) { vst.effect->setParameter (vst.effect, i, v); });
        const auto offset = static_cast<size_t> (b * blockSize);
        float* in[2] = { const_cast<float*> (input[0].data()) + offset, const_cast<float*> (input[1].data()) + offset };
        float* out[2] = { output[0].data() + offset, output[1].data() + offset };
        vst.effect->processReplacing (vst.effect, in, out, blockSize);
    }
    return output;
}

// The normalised values the ports hold, in seconds, hertz and per cent.
Values normalisedPorts (Lv2Instance& lv2)
{
    Values values {};
    for (int i = 0; i < params::count; ++i)
        values[static_cast<size_t> (i)] = tarnwell::lv2::normalisedOfPort (i, lv2.control (i));
    return values;
}

// What ports can carry of normalised values: a port holds a float in seconds, hertz or per
// cent, which is coarser than the normalised float in places (1.2 s in a float is not exactly
// 10 x 0.12f). Within a part in ten million.
Values carried (const Values& values)
{
    Values result {};
    for (int i = 0; i < params::count; ++i)
    {
        const auto v = values[static_cast<size_t> (i)];
        result[static_cast<size_t> (i)] = tarnwell::lv2::normalisedOfPort (i, tarnwell::lv2::portValueOf (i, v));
        EXPECT_NEAR (result[static_cast<size_t> (i)], v, 1e-7f) << params::name (i);
    }
    return result;
}

// The LV2 instance runs pieces of uneven length (as hosts split blocks at automation points),
// each of the VST 2.4 host's blocks as two runs.
Channels lv2Output (Lv2Instance& lv2, const Values& values, const Channels& input, const BetweenBlocks& between = {})
{
    for (int i = 0; i < params::count; ++i)
        lv2.control (i) = tarnwell::lv2::portValueOf (i, values[static_cast<size_t> (i)]);

    Channels output (2, std::vector<float> (numFrames));
    for (int b = 0; b < numBlocks; ++b)
    {
        if (between)
            between (b, [&] (int i, float v) { lv2.control (i) = tarnwell::lv2::portValueOf (i, v); });
        const auto offset = static_cast<size_t> (b * blockSize);
        const int first = 1 + (b * 37) % (blockSize - 1);
        lv2.run (input, offset, first, output);
        lv2.run (input, offset + static_cast<size_t> (first), blockSize - first, output);
    }
    return output;
}

juce::MemoryBlock processorBlock (const Values& values)
{
    tarnwell::InstanceCore core;
    for (int i = 0; i < params::count; ++i)
        core.controls().setParameter (i, values[static_cast<size_t> (i)]);
    juce::MemoryBlock block;
    core.session().save (block);
    return block;
}

class Lv2Host : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE (world.plugin, nullptr) << "Tarnwell not found in LV2_PATH"; }

    std::unique_ptr<Lv2Instance> instance()
    {
        auto lv2 = std::make_unique<Lv2Instance> (world, sampleRate, blockSize);
        EXPECT_NE (lv2->instance, nullptr);
        return lv2;
    }

    Lv2World world;
    const Channels input = burst (2, int (numFrames), int (numFrames / 3), 17);
};

// One property of an LV2 state, as a host holds it between save and restore.
struct StoredProperty
{
    std::uint32_t key = 0, type = 0;
    std::vector<char> bytes; // exactly what was stored: a read past them is a sanitizer error

    static LV2_State_Status store (LV2_State_Handle h, std::uint32_t key, const void* value, size_t size,
                                   std::uint32_t type, std::uint32_t)
    {
        const auto* v = static_cast<const char*> (value);
        *static_cast<StoredProperty*> (h) = { key, type, std::vector<char> (v, v + size) };
        return LV2_STATE_SUCCESS;
    }
    static const void* retrieve (LV2_State_Handle h, std::uint32_t key, size_t* size, std::uint32_t* type,
                                 std::uint32_t* flags)
    {
        const auto& p = *static_cast<StoredProperty*> (h);
        *size = p.bytes.size();
        *type = p.type;
        *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
        return key == p.key ? p.bytes.data() : nullptr;
    }
};

const LV2_State_Interface& stateOf (tarnwell::test::Lv2Instance& lv2)
{
    return *static_cast<const LV2_State_Interface*> (
        lilv_instance_get_extension_data (lv2.instance, LV2_STATE__interface));
}

// The settings block an instance saves, through its state interface.
juce::MemoryBlock savedBlock (tarnwell::test::Lv2Instance& lv2)
{
    StoredProperty property;
    juce::MemoryBlock block;
    if (stateOf (lv2).save (lilv_instance_get_handle (lv2.instance), &StoredProperty::store, &property, 0,
                            lv2.world.urids.features)
        == LV2_STATE_SUCCESS)
        block.fromBase64Encoding (
            juce::String::fromUTF8 (property.bytes.data(), static_cast<int> (property.bytes.size()) - 1));
    return block;
}
} // namespace

// The ports' units, and their defaults read back as the stored defaults (lv2info shows them
// against the descriptions). The first run applies every port, those left at their defaults
// and those at either end of their range too, as the block saved after it shows; ports beyond
// their ranges (port-based hosts hand values over unclamped) apply as the ends, and one that
// is not a number as 0.
TEST_F (Lv2Host, ControlPortsApplyFromTheFirstRunAtTheirDefaultsEndsAndBeyond)
{
    const char* const units[] = { "s", "s", "hz", "pc", "pc" };
    LilvNode* unit = lilv_new_uri (world.get(), "http://lv2plug.in/ns/extensions/units#unit");
    for (int i = 0; i < params::count; ++i)
    {
        LilvNodes* found =
            lilv_port_get_value (world.plugin, lilv_plugin_get_port_by_index (world.plugin, tarnwell::lv2::portOf (i)),
                                 unit);
        EXPECT_EQ (found != nullptr && lilv_nodes_size (found) == 1
                       ? std::string (lilv_node_as_uri (lilv_nodes_get_first (found)))
                       : std::string(),
                   std::string ("http://lv2plug.in/ns/extensions/units#") + units[i])
            << params::name (i);
        lilv_nodes_free (found);
    }
    lilv_node_free (unit);

    const auto portsOf = [] (const Values& values) {
        Values ports {};
        for (int i = 0; i < params::count; ++i)
            ports[static_cast<size_t> (i)] = tarnwell::lv2::portValueOf (i, values[static_cast<size_t> (i)]);
        return ports;
    };
    // The transition's port ends at 10 kHz, below the top of its normalised range.
    const float top = params::normalisedFor (params::transition, params::describe (params::transition).displayMaximum);
    const Values ends { 0, 1, 0, 1, 0 }, otherEnds { 1, 0, top, 0, 1 };
    // Port-based hosts hand values over unclamped.
    const float inf = std::numeric_limits<float>::infinity();
    const Values outside { -0.01f, 10.01f, 49.99f, 100.01f, std::numeric_limits<float>::quiet_NaN() };
    const Values farOutside { -inf, inf, -1e30f, inf, -150.0f };
    for (const auto& [ports, applied] :
         { std::pair { portsOf (defaults()), defaults() }, std::pair { portsOf (someValues), someValues },
           std::pair { portsOf (ends), ends }, std::pair { portsOf (otherEnds), otherEnds },
           std::pair { outside, ends }, std::pair { farOutside, ends } })
    {
        auto lv2 = instance();
        EXPECT_EQ (normalisedPorts (*lv2), defaults());
        for (int i = 0; i < params::count; ++i)
            lv2->control (i) = ports[static_cast<size_t> (i)];
        Channels output (2, std::vector<float> (blockSize));
        lv2->run (input, 0, blockSize, output);
        EXPECT_EQ (savedBlock (*lv2).toString(), processorBlock (carried (applied)).toString())
            << ports[0] << " " << ports[1] << " " << ports[2] << " " << ports[3];
        EXPECT_EQ (lv2->ports[tarnwell::lv2::latency], 0.0f);
    }
}

// From the first run on, in runs of uneven length, the ports sound as Tarnwell.so set to the
// same values does, and a changed port takes effect at the next run as automation does.
TEST_F (Lv2Host, PortChangesTakeEffectAtTheNextRunAsAutomationDoes)
{
    // Mix and the high decay change while the input still sounds, the low decay in the tail.
    const BetweenBlocks automation = [] (int block, const std::function<void (int, float)>& set) {
        if (block == 5)
        {
            set (params::mix, 0.9f);
            set (params::t60High, 0.6f);
        }
        if (block == 30)
            set (params::t60Low, 0.02f);
    };
    const auto expected = vst2Output (someValues, input, automation);
    ASSERT_GT (peak (expected), 0.01f);
    // A guest in the host's terminal: made, run, deactivated and activated again, it prints nothing.
    ::testing::internal::CaptureStdout();
    auto lv2 = instance();
    const auto played = lv2Output (*lv2, someValues, input, automation);
    lilv_instance_deactivate (lv2->instance);
    lilv_instance_activate (lv2->instance);
    EXPECT_EQ (::testing::internal::GetCapturedStdout(), "");
    EXPECT_LE (largestDifference (played, expected), 1e-6f);
}

TEST_F (Lv2Host, StateCarriesTheSettingsBlockAndItsValuesIntoAFreshInstance)
{
    auto saved = instance();
    lv2Output (*saved, someValues, input);
    LilvState* state = saved->saveState();
    ASSERT_NE (state, nullptr);

    // Through the text a host writes into its session file and back.
    char* text = lilv_state_to_string (world.get(), &world.urids.mapFeature, &world.urids.unmapFeature, state,
                                       "urn:tarnwell:test", nullptr);
    lilv_state_free (state);
    ASSERT_NE (text, nullptr);
    const std::string turtle (text);
    lilv_free (text);
    const auto values = carried (someValues);
    EXPECT_NE (turtle.find (processorBlock (values).toBase64Encoding().toStdString()), std::string::npos)
        << "the processor's own settings block, as the other formats save it:\n"
        << turtle;
    LilvState* restored = lilv_state_new_from_string (world.get(), &world.urids.mapFeature, turtle.c_str());
    ASSERT_NE (restored, nullptr);

    // A whole session restored: the ports take the saved values, and so does the instance. The
    // plug-in's state alone (as sessions of the earlier bundle, which had no ports, hold it):
    // ports the host leaves at their defaults do not undo the restore.
    for (const bool withPorts : { true, false })
    {
        auto fresh = instance();
        fresh->restoreState (restored, withPorts);
        if (withPorts)
        {
            EXPECT_EQ (normalisedPorts (*fresh), values);
        }
        Channels output (2, std::vector<float> (blockSize));
        fresh->run (input, 0, blockSize, output);
        EXPECT_EQ (savedBlock (*fresh), processorBlock (values)) << (withPorts ? "with" : "without") << " ports";
    }
    lilv_state_free (restored);

    // The text is stored with its terminating NUL counted; a host may hand it back with or
    // without it, and either reads in full. (The block ends without its tail here, so that a
    // text cut short by its last character would no longer read.)
    auto block = processorBlock (someValues);
    block.setSize (block.getSize() - 2);
    const auto base64 = block.toBase64Encoding().toStdString();
    for (const bool withNul : { true, false })
    {
        auto lv2 = instance();
        StoredProperty property;
        ASSERT_EQ (stateOf (*lv2).save (lilv_instance_get_handle (lv2->instance), &StoredProperty::store, &property, 0,
                                        world.urids.features),
                   LV2_STATE_SUCCESS);
        ASSERT_FALSE (property.bytes.empty());
        EXPECT_EQ (property.bytes.back(), '\0');
        property.bytes.assign (base64.c_str(), base64.c_str() + base64.size() + (withNul ? 1 : 0));
        EXPECT_EQ (stateOf (*lv2).restore (lilv_instance_get_handle (lv2->instance), &StoredProperty::retrieve,
                                           &property, 0, world.urids.features),
                   LV2_STATE_SUCCESS);
        EXPECT_EQ (savedBlock (*lv2), processorBlock (someValues)) << (withNul ? "with" : "without") << " its NUL";
    }
    // The same text under another type is refused, and changes nothing.
    auto lv2 = instance();
    const auto before = savedBlock (*lv2);
    StoredProperty property;
    ASSERT_EQ (stateOf (*lv2).save (lilv_instance_get_handle (lv2->instance), &StoredProperty::store, &property, 0,
                                    world.urids.features),
               LV2_STATE_SUCCESS);
    property.bytes.assign (base64.c_str(), base64.c_str() + base64.size() + 1);
    property.type = world.urids.map (LV2_ATOM__Chunk);
    EXPECT_EQ (stateOf (*lv2).restore (lilv_instance_get_handle (lv2->instance), &StoredProperty::retrieve, &property,
                                       0, world.urids.features),
               LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ (savedBlock (*lv2), before);
}

// The host's bypass switch: switched off, the output fades in a straight line to the dry
// input and stays exactly that; switched on again, it fades back to what the network plays,
// exactly as if it had never been off (the network ran on). Runs of uneven length, the fades
// going on across them.
TEST_F (Lv2Host, TheEnabledPortFadesToTheDryInputAndBackWithoutAClick)
{
    LilvNode* inputPort = lilv_new_uri (world.get(), LV2_CORE__InputPort);
    LilvNode* designation = lilv_new_uri (world.get(), LV2_CORE__enabled);
    const LilvPort* designated = lilv_plugin_get_port_by_designation (world.plugin, inputPort, designation);
    EXPECT_EQ (designated != nullptr ? lilv_port_get_index (world.plugin, designated) : 0u, tarnwell::lv2::enabled);
    lilv_node_free (designation);
    lilv_node_free (inputPort);

    const auto noisy = noise (2, int (numFrames), 9);
    auto always = instance(), switched = instance();
    ASSERT_EQ (switched->ports[tarnwell::lv2::enabled], 1.0f) << "on by default";
    const auto wet = lv2Output (*always, someValues, noisy);
    constexpr int offBlock = 10, onBlock = 30;
    const auto played = lv2Output (*switched, someValues, noisy, [&] (int block, const auto&) {
        switched->ports[tarnwell::lv2::enabled] = block >= offBlock && block < onBlock ? 0.0f : 1.0f;
    });

    const auto fade = static_cast<size_t> (std::lround (sampleRate * tarnwell::lv2::BypassCrossfade::fadeSeconds));
    const size_t off = offBlock * blockSize, on = onBlock * blockSize;
    for (size_t ch = 0; ch < 2; ++ch)
    {
        double lastShare = 1.0;
        size_t lastAt = off - 1;
        for (size_t n = 0; n < numFrames; ++n)
        {
            const float p = played[ch][n], w = wet[ch][n], d = noisy[ch][n];
            if (n == on)
                lastShare = 0.0, lastAt = on - 1;
            if (n < off || n >= on + fade)
                ASSERT_EQ (p, w) << "the network's own output at " << n;
            else if (n >= off + fade && n < on)
                ASSERT_EQ (p, d) << "the dry input at " << n;
            else if (std::abs (w - d) > 0.05f)
            {
                // The network's share of the output: in 0..1, moving one fade's worth per frame.
                const double share = (double (p) - double (d)) / (double (w) - double (d));
                EXPECT_GE (share, -1e-4) << n;
                EXPECT_LE (share, 1.0 + 1e-4) << n;
                EXPECT_LE (std::abs (share - lastShare), double (n - lastAt) / double (fade) + 1e-3) << n;
                lastShare = share;
                lastAt = n;
            }
        }
    }
}

// What run does on the audio thread, counted as the real-time checks of the VST 2.4 build
// count it: nothing that allocates or locks, whether the ports stay or change.
TEST_F (Lv2Host, RunNeitherAllocatesNorLocksWhetherPortsStayOrChange)
{
    using namespace tarnwell::test;
    if (! audioThreadCountingWorks())
        GTEST_SKIP() << "the sanitizer's runtime owns malloc and the mutex functions";

    auto lv2 = instance();
    Channels output (2, std::vector<float> (numFrames));
    lv2Output (*lv2, someValues, input); // the first runs set up whatever they set up

    startCounting();
    for (size_t offset = 0; offset < numFrames; offset += blockSize)
        lv2->run (input, offset, blockSize, output);
    const auto steady = stopCounting();
    EXPECT_TRUE (steady.isZero()) << steady;

    for (int i = 0; i < params::count; ++i)
    {
        lv2->control (i) = 1.0f - someValues[static_cast<size_t> (i)];
        startCounting();
        lv2->run (input, 0, blockSize, output);
        const auto changed = stopCounting();
        EXPECT_TRUE (changed.isZero()) << params::name (i) << ": " << changed;
    }
    for (const float enabled : { 0.0f, 1.0f })
    {
        lv2->ports[tarnwell::lv2::enabled] = enabled;
        startCounting();
        lv2->run (input, 0, blockSize, output);
        const auto switched = stopCounting();
        EXPECT_TRUE (switched.isZero()) << "enabled " << enabled << ": " << switched;
    }
}

// Each factory preset is one of the plug-in's related resources, labelled with its name; lilv
// loads it as hosts load presets, and it sets the ports to the preset's values, which the
// instance then plays and saves. The URIs are spelled out: sessions and hosts' menus name them.
TEST_F (Lv2Host, EachFactoryPresetSetsItsValuesAndTheInstancePlaysThem)
{
    namespace presets = tarnwell::factoryPresets;
    LilvNode* presetClass = lilv_new_uri (world.get(), LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri (world.get(), LILV_NS_RDFS "label");
    LilvNodes* related = lilv_plugin_get_related (world.plugin, presetClass);
    EXPECT_EQ (lilv_nodes_size (related), static_cast<unsigned> (presets::count()));

    for (int i = 0; i < presets::count(); ++i)
    {
        const auto& preset = *presets::at (i);
        SCOPED_TRACE (preset.name);
        const auto uriText = "https://quennet.audio/plugins/tarnwell#preset-" + presets::slug (preset);
        LilvNode* uri = lilv_new_uri (world.get(), uriText.c_str());
        EXPECT_TRUE (lilv_nodes_contains (related, uri));
        lilv_world_load_resource (world.get(), uri);
        LilvNode* name = lilv_world_get (world.get(), uri, label, nullptr);
        EXPECT_STREQ (name != nullptr ? lilv_node_as_string (name) : "", preset.name);
        lilv_node_free (name);

        LilvState* state = lilv_state_new_from_world (world.get(), &world.urids.mapFeature, uri);
        lilv_node_free (uri);
        ASSERT_NE (state, nullptr);
        auto lv2 = instance();
        lv2->restoreState (state, true);
        lilv_state_free (state);

        EXPECT_EQ (normalisedPorts (*lv2), carried (preset.normalised));
        Channels output (2, std::vector<float> (blockSize));
        lv2->run (input, 0, blockSize, output);
        EXPECT_EQ (savedBlock (*lv2), processorBlock (carried (preset.normalised)));
    }
    lilv_nodes_free (related);
    lilv_node_free (label);
    lilv_node_free (presetClass);
}
