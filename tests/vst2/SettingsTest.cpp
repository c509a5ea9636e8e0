// Parameters, programs and chunks through the entry point.

#include "TestHost.h"
#include "processor/ParameterTable.h"

#include <cstring>
#include <vector>

using namespace tarnwell::testhost;
namespace params = tarnwell::parameters;

namespace
{
class Settings : public LoadedPluginTest
{
protected:
    float get (Plugin& p, int index) { return p.effect->getParameter (p.effect, index); }
    void set (Plugin& p, int index, float v) { p.effect->setParameter (p.effect, index, v); }
};

// Names and texts are the parameters' descriptions' own, and a new instance reports the stored
// defaults; what the texts say is held once, against the descriptions, at the core.
TEST_F (Settings, ParametersShowTheirDescriptionsNamesValuesAndTexts)
{
    for (int i = 0; i < params::count; ++i)
    {
        SCOPED_TRACE (params::name (i));
        EXPECT_EQ (plugin.text (effGetParamName, i), params::name (i).toStdString());
        EXPECT_EQ (plugin.text (effGetParamLabel, i), "");
        EXPECT_EQ (plugin.dispatch (effCanBeAutomated, i), 1);
        EXPECT_EQ (get (plugin, i), static_cast<float> (params::storedDefault (i)));
        for (const float v : { get (plugin, i), 0.0f, 0.8f, 1.0f })
        {
            set (plugin, i, v);
            EXPECT_EQ (get (plugin, i), v);
            EXPECT_EQ (plugin.text (effGetParamDisplay, i), params::text (i, params::engineValue (i, v)).toStdString())
                << v;
        }
    }
}

TEST_F (Settings, OutOfRangeParametersAreHarmless)
{
    for (int index : { -1, 5, 7, 1 << 30 })
    {
        set (plugin, index, 0.9f);
        EXPECT_EQ (get (plugin, index), 0.0f);
        EXPECT_EQ (plugin.text (effGetParamName, index), "");
        EXPECT_EQ (plugin.text (effGetParamDisplay, index), "");
        EXPECT_EQ (plugin.dispatch (effCanBeAutomated, index), 0);
    }
    EXPECT_EQ (get (plugin, 3), 0.25f);
    EXPECT_EQ (plugin.text (effGetParamDisplay, 3), "25.00%");
}

TEST_F (Settings, ThereAreNoPrograms)
{
    EXPECT_EQ (plugin.dispatch (effGetProgram), 0);
    plugin.dispatch (effSetProgram, 0, 3);
    EXPECT_EQ (plugin.dispatch (effGetProgram), 0);
    EXPECT_EQ (plugin.text (effGetProgramName), "");
    plugin.dispatch (effSetProgramName, 0, 0, const_cast<char*> ("Hall"));
    EXPECT_EQ (plugin.text (effGetProgramName), "");
    char name[64] = "untouched";
    EXPECT_EQ (plugin.dispatch (effGetProgramNameIndexed, 0, 0, name), 0);
    EXPECT_EQ (plugin.dispatch (effGetProgramNameIndexed, -1, 0, name), 0);
}

TEST_F (Settings, ChunkStaysValidUntilTheNextRequestAndRestoresAnotherInstance)
{
    set (plugin, 3, 0.6f);
    set (plugin, 0, 0.42f);

    void* data = nullptr;
    const auto size = plugin.dispatch (effGetChunk, 0, 0, &data);
    EXPECT_EQ (plugin.dispatch (effGetChunk, 0, 0, nullptr), 0);

    void* programData = nullptr;
    const auto programSize = plugin.dispatch (effGetChunk, 1, 0, &programData);
    EXPECT_EQ (programSize, size); // program and bank hold the same settings
    if (size <= 0)
        GTEST_SKIP() << "the processor writes no settings yet";

    ASSERT_NE (programData, nullptr);
    const std::vector<char> copy (static_cast<char*> (programData), static_cast<char*> (programData) + programSize);

    // Other requests leave the handed-out block alone.
    set (plugin, 3, 0.1f);
    plugin.text (effGetParamDisplay, 3);
    EXPECT_EQ (std::memcmp (programData, copy.data(), copy.size()), 0);

    Plugin other (library);
    EXPECT_EQ (other.dispatch (effSetChunk, 0, static_cast<VstIntPtr> (copy.size()), const_cast<char*> (copy.data())),
               0);
    EXPECT_EQ (get (other, 3), 0.6f);
    EXPECT_EQ (get (other, 0), 0.42f);
    EXPECT_EQ (other.text (effGetParamDisplay, 3), "60.00%");
}

TEST_F (Settings, BadChunksChangeNothing)
{
    char junk[16] = "not a chunk";
    EXPECT_EQ (plugin.dispatch (effSetChunk, 0, 0, junk), 0);
    EXPECT_EQ (plugin.dispatch (effSetChunk, 0, -5, junk), 0);
    EXPECT_EQ (plugin.dispatch (effSetChunk, 1, 100, nullptr), 0);
    EXPECT_EQ (plugin.dispatch (effSetChunk, 0, sizeof (junk), junk), 0);
    EXPECT_EQ (get (plugin, 3), 0.25f);
    EXPECT_EQ (plugin.text (effGetParamDisplay, 0), "3.50 sec");
}
} // namespace
