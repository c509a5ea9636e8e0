// Identity, flags, capabilities and the entry point's refusals, seen through VSTPluginMain.

#include "TestHost.h"

#include <cstring>

using namespace tarnwell::testhost;

namespace
{
class Identity : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE (library.isLoaded()) << dlerror(); }
    PluginLibrary library;
};

TEST_F (Identity, EffectRecordHoldsTheDeclaredValues)
{
    Plugin plugin (library);
    ASSERT_NE (plugin.effect, nullptr);
    const AEffect& e = *plugin.effect;

    EXPECT_EQ (e.magic, 0x56737450);
    EXPECT_EQ (e.uniqueID, 0x516E5477); // "QnTw"
    EXPECT_EQ (e.version, 0x10000);
    EXPECT_EQ (e.numPrograms, 0);
    EXPECT_EQ (e.numParams, 5);
    EXPECT_EQ (e.numInputs, 2);
    EXPECT_EQ (e.numOutputs, 2);
    EXPECT_EQ (e.initialDelay, 0);
    EXPECT_EQ (e.float1, 1.0f); // ioRatio
    EXPECT_NE (e.processReplacing, nullptr);
    EXPECT_NE (e.processDoubleReplacing, nullptr);
    EXPECT_NE (e.process, nullptr);

    // After effOpen's probe: HasEditor only if an editor could be made; never IsSynth,
    // NoSoundInStop or CanDoubleReplacing.
    const auto flags = e.flags & 0xffffffff;
    EXPECT_EQ (flags & ~effFlagsHasEditor, 0x30);
}

TEST_F (Identity, IdentityRequestsAnswerTheFixedValues)
{
    Plugin plugin (library);
    EXPECT_EQ (plugin.text (effGetEffectName), "Tarnwell");
    EXPECT_EQ (plugin.text (effGetProductString), "Tarnwell");
    EXPECT_EQ (plugin.text (effGetVendorString), "Quennet");
    EXPECT_EQ (plugin.dispatch (effGetVendorVersion), 0x10000);
    EXPECT_EQ (plugin.dispatch (effGetPlugCategory), 1);
    EXPECT_EQ (plugin.dispatch (effGetVstVersion), 2400);
    EXPECT_EQ (plugin.dispatch (effIdentify), 0x4E764566); // "NvEf"

    // Requests FST numbers only with placeholders, under their real numbers.
    EXPECT_EQ (tarnwell::vst::effGetTailSize, 52);
    EXPECT_EQ (plugin.dispatch (tarnwell::vst::effGetTailSize), 0);
    EXPECT_EQ (tarnwell::vst::effSetBypass, 44);
    EXPECT_EQ (plugin.dispatch (tarnwell::vst::effSetBypass, 0, 1), 0);
    EXPECT_EQ (plugin.dispatch (tarnwell::vst::effIdle), 0);
    EXPECT_EQ (plugin.dispatch (effString2Parameter, 0, 0, const_cast<char*> ("0.5")), 0);

    // Unknown and null-pointer requests are refused, not crashed on.
    for (int opcode : std::initializer_list<int> { effGetEffectName, effGetVendorString, effGetParamName,
                                                   effGetParamDisplay, effGetChunk, effEditGetRect, effCanDo,
                                                   effGetInputProperties, effSetSpeakerArrangement, 9999, -3 })
        plugin.dispatch (opcode, 0, 0, nullptr);
}

TEST_F (Identity, CanDoMatchesExactlyTheTable)
{
    Plugin plugin (library);
    const auto canDo = [&] (const char* text) { return plugin.dispatch (effCanDo, 0, 0, const_cast<char*> (text)); };

    for (const char* no : { "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents", "sendVstEvents",
                            "sendVstMidiEvent", "sendVstMidiEvents" })
        EXPECT_EQ (canDo (no), -1) << no;
    EXPECT_EQ (canDo ("receiveVstTimeInfo"), 1);
    EXPECT_EQ (canDo ("conformsToWindowRules"), 1);

    for (const char* unknown :
         { "sendVstEventsX", "sendVstEvent", "ReceiveVstTimeInfo", "bypass", "", "plugAsChannelInsert" })
        EXPECT_EQ (canDo (unknown), 0) << unknown;
}

TEST_F (Identity, ExportsBothEntryNamesAndNothingOfJuce)
{
    EXPECT_NE (library.symbol ("VSTPluginMain"), nullptr);
    EXPECT_NE (library.symbol ("main"), nullptr);
    EXPECT_EQ (library.symbol ("createPluginFilter"), nullptr);
    EXPECT_EQ (library.symbol ("_Z18createPluginFilterv"), nullptr);
    EXPECT_EQ (library.symbol ("_ZN4juce18initialiseJuce_GUIEv"), nullptr);

    using Entry = AEffect* (*)(audioMasterCallback);
    auto* legacy = reinterpret_cast<Entry> (library.symbol ("main"));
    AEffect* e = legacy (&hostCallback);
    ASSERT_NE (e, nullptr);
    EXPECT_EQ (e->uniqueID, 0x516E5477);
    e->dispatcher (e, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F (Identity, HostAnsweringZeroToVersionGetsNoEffect)
{
    HostLog::versionAnswer = 0;
    AEffect* e = library.enter();
    HostLog::versionAnswer = 2400;
    EXPECT_EQ (e, nullptr);
    if (e != nullptr)
        e->dispatcher (e, effClose, 0, 0, nullptr, 0.0f);

    using Entry = AEffect* (*)(audioMasterCallback);
    EXPECT_EQ (reinterpret_cast<Entry> (library.symbol ("VSTPluginMain")) (nullptr), nullptr);
}
} // namespace
