// Speaker arrangements and pin properties.

#include "TestHost.h"

using namespace tarnwell::testhost;

namespace
{
class Channels : public LoadedPluginTest
{
protected:
    VstIntPtr arrange (Arrangement in, Arrangement out)
    {
        return plugin.dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&in), &out);
    }

    struct Pin
    {
        VstIntPtr answer;
        std::string label, shortLabel;
        int flags, arrangementType;
    };

    Pin pin (bool input, int index)
    {
        struct
        {
            VstPinProperties props;
            char future[48];
        } full;
        std::memset (&full, 0x55, sizeof (full));
        full.props.label[63] = 0;
        full.props.shortLabel[7] = 0;
        const auto answer =
            plugin.dispatch (input ? effGetInputProperties : effGetOutputProperties, index, 0, &full.props);
        return { answer, full.props.label, full.props.shortLabel, full.props.flags, full.props.arrangementType };
    }
};

TEST_F (Channels, OnlyTheThreeConfigurationsAreAccepted)
{
    EXPECT_EQ (arrange ({ 2, 1 }, { 1, 0 }), 0);
    EXPECT_EQ (arrange ({ 2, 1 }, { 0, -2 }), 0);
    EXPECT_EQ (arrange ({ 6, 8 }, { 6, 8 }), 0);
    EXPECT_EQ (arrange ({ 1 << 30, 1 }, { 2, 1 }), 0);
    EXPECT_EQ (arrange ({ -1, 1 }, { 2, 1 }), 0);
    EXPECT_EQ (plugin.dispatch (effSetSpeakerArrangement, 0, 0, nullptr), 0);

    // A refused request changes nothing: the pins still show no arrangement.
    EXPECT_EQ (pin (true, 0).flags, tarnwell::vst::pinIsActive | tarnwell::vst::pinIsStereo);

    EXPECT_EQ (arrange ({ 1, 0 }, { 1, 0 }), 1);
    EXPECT_EQ (arrange ({ 1, 0 }, { 2, 1 }), 1);
    EXPECT_EQ (arrange ({ 2, 1 }, { 2, 1 }), 1);
}

TEST_F (Channels, PinsBeforeAnyArrangementAreActiveStereoPairs)
{
    EXPECT_EQ (tarnwell::vst::pinIsActive, 1);
    EXPECT_EQ (tarnwell::vst::pinIsStereo, 2);
    EXPECT_EQ (tarnwell::vst::pinUseSpeaker, 4);

    for (bool input : { true, false })
        for (int index : { 0, 1 })
        {
            const auto p = pin (input, index);
            EXPECT_EQ (p.answer, 1);
            EXPECT_EQ (p.label, std::to_string (index + 1));
            EXPECT_EQ (p.shortLabel, std::to_string (index + 1));
            EXPECT_EQ (p.flags, 3);
            EXPECT_EQ (p.arrangementType, 0);
        }

    EXPECT_EQ (pin (true, 2).answer, 0);
    EXPECT_EQ (pin (false, 2).answer, 0);
    EXPECT_EQ (pin (true, -1).answer, 0);
    EXPECT_EQ (pin (false, 1 << 30).answer, 0);
}

TEST_F (Channels, PinsAfterAnAcceptedArrangementUseSpeakers)
{
    ASSERT_EQ (arrange ({ 1, 0 }, { 2, 1 }), 1);

    const auto in = pin (true, 0), out = pin (false, 1);
    EXPECT_EQ (in.flags, tarnwell::vst::pinUseSpeaker);
    EXPECT_EQ (in.arrangementType, 0);
    EXPECT_EQ (out.flags, tarnwell::vst::pinUseSpeaker);
    EXPECT_EQ (out.arrangementType, 1);
    EXPECT_EQ (out.label, "2");
}
} // namespace
