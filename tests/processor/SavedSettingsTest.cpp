#include "processor/InstanceCore.h"
#include "processor/SavedSettings.h"
#include "processor/SettingsXmlReader.h"
#include "host/juce_formats/TarnwellAudioProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using tarnwell::TarnwellAudioProcessor;

namespace
{
using Bytes = std::vector<unsigned char>;

// Magic, a length field (the text's own length unless given), the text, then a zero and
// the spare byte unless the block is to end right after the text.
Bytes block (const std::string& text, std::int64_t lengthField = -1, bool withTail = true)
{
    const auto n = static_cast<std::uint32_t> (lengthField < 0 ? static_cast<std::int64_t> (text.size()) : lengthField);
    Bytes b { 0x56, 0x43, 0x32, 0x21 };
    for (int i = 0; i < 4; ++i)
        b.push_back (static_cast<unsigned char> (n >> (8 * i)));
    b.insert (b.end(), text.begin(), text.end());
    if (withTail)
        b.insert (b.end(), { 0, 0 });
    return b;
}

Bytes save (TarnwellAudioProcessor& p)
{
    juce::MemoryBlock m;
    p.getStateInformation (m);
    const auto* d = static_cast<const unsigned char*> (m.getData());
    return Bytes (d, d + m.getSize());
}

// The text of a saved block, checked against its own header and tail on the way.
std::string savedText (TarnwellAudioProcessor& p)
{
    const auto b = save (p);
    if (b.size() < 10)
        return "<too short>";
    const auto n = static_cast<std::size_t> (b[4] | b[5] << 8 | b[6] << 16 | b[7] << 24);
    EXPECT_EQ (b.size(), n + 10);
    EXPECT_EQ (b[8 + n], 0);
    return std::string (b.begin() + 8, b.begin() + 8 + static_cast<std::ptrdiff_t> (n));
}

void restore (TarnwellAudioProcessor& p, const Bytes& b)
{
    p.setStateInformation (b.data(), static_cast<int> (b.size()));
}

std::vector<std::string> texts (TarnwellAudioProcessor& p)
{
    std::vector<std::string> t;
    for (int i = 0; i < 5; ++i)
        t.push_back (p.controls().parameterText (i).toStdString());
    return t;
}

// The defaults are saved as the floats they are, as any value a host sets is.
const std::string newProcessorText =
    R"(<properties T60Low="0.349999994" T60High="0.0500000007" Transition="0.849092782" Mix="0.25" Diffusion="0.5"/>)";

// What a new processor saved before its stored defaults became the values it plays.
const std::string earlierNewProcessorText =
    R"(<properties T60Low="0.25" T60High="0.35" Transition="0.8" Mix="0.25" Diffusion="0.5"/>)";
} // namespace

TEST (SavedSettings, WritesTheExactBlockHostsStore)
{
    TarnwellAudioProcessor p;
    const auto fresh = save (p);
    EXPECT_EQ (fresh.size(), 119u);
    EXPECT_EQ (fresh, block (newProcessorText));

    for (int i = 0; i < 5; ++i)
        p.controls().setParameter (i, 0.5f);
    const auto halves = save (p);
    EXPECT_EQ (halves.size(), 93u);
    EXPECT_EQ (halves,
               block (R"(<properties T60Low="0.5" T60High="0.5" Transition="0.5" Mix="0.5" Diffusion="0.5"/>)"));

    // Host values arrive as floats, and the text shows their rounding.
    p.controls().setParameter (0, 0.35f);
    p.controls().setParameter (2, 0.8f);
    p.controls().setParameter (3, 1.0f);
    p.controls().setParameter (4, 0.0f);
    EXPECT_EQ (savedText (p),
               R"(<properties T60Low="0.349999994" T60High="0.5" Transition="0.800000012" Mix="1" Diffusion="0"/>)");

    // Very small values take the exponent form.
    p.controls().setParameter (1, 1.0e-7f);
    EXPECT_NE (savedText (p).find (R"(T60High="1.00000001e-07")"), std::string::npos);
}

TEST (SavedSettings, RestoringTheEarlierNewProcessorBlockPlaysWhatItSays)
{
    TarnwellAudioProcessor p;
    restore (p, block (earlierNewProcessorText));

    const auto s = p.getNetworkSettings();
    EXPECT_NEAR (s.t60Low, 2.5, 1e-6);
    EXPECT_NEAR (s.t60High, 3.5, 1e-6);
    EXPECT_NEAR (s.transitionFrequency, 5047.66, 0.01);
    EXPECT_FLOAT_EQ (s.mix, 0.25f);
    EXPECT_FLOAT_EQ (s.diffusion, 0.5f);
    EXPECT_EQ (texts (p), (std::vector<std::string> { "2.50 sec", "3.50 sec", "5047.66 Hz", "25.00%", "50.00%" }));
    EXPECT_FLOAT_EQ (p.controls().parameter (1), 0.35f);
}

TEST (SavedSettings, MissingParametersBecomeZeroAndAreAppended)
{
    TarnwellAudioProcessor p;
    restore (p, block (R"(<properties Mix="1"/>)"));
    const auto s = p.getNetworkSettings();
    EXPECT_EQ (s.mix, 1.0f);
    EXPECT_EQ (s.t60Low, 0.0);
    EXPECT_EQ (s.t60High, 0.0);
    EXPECT_NEAR (s.transitionFrequency, 50.0, 1e-9);
    EXPECT_EQ (s.diffusion, 0.0f);
    EXPECT_EQ (savedText (p), R"(<properties Mix="1" T60Low="0" T60High="0" Transition="0" Diffusion="0"/>)");

    // A restored value is stored as the number it was applied as, even where its text
    // compares equal to that number.
    restore (p, block (R"(<properties Mix="1.0" T60Low="0.50" T60High="0" Transition="0" Diffusion="0"/>)"));
    EXPECT_EQ (savedText (p), R"(<properties Mix="1" T60Low="0.5" T60High="0" Transition="0" Diffusion="0"/>)");
    restore (p, block (R"(<properties T60Low="1.0" T60High="1.0" Transition="1.0" Mix="1.0" Diffusion="1.0"/>)"));
    EXPECT_EQ (savedText (p), R"(<properties T60Low="1" T60High="1" Transition="1" Mix="1" Diffusion="1"/>)");
}

// Restored text goes through our own number reader: JUCE's overflows (undefined behaviour) on
// absurd exponents, which a damaged or hostile block may hold.
TEST (SavedSettings, NumbersAreReadFromTextSafely)
{
    TarnwellAudioProcessor p;
    restore (
        p,
        block (
            R"(<properties T60Low="1e9999999999999999999" T60High="-1e400" Transition="abc" Mix=" +0.5xyz" Diffusion="0x10"/>)"));
    const auto s = p.getNetworkSettings();
    EXPECT_EQ (s.t60Low, 0.0); // not finite: taken as 0
    EXPECT_EQ (s.t60High, 0.0);
    EXPECT_NEAR (s.transitionFrequency, 50.0, 1e-9);
    EXPECT_EQ (s.mix, 0.5f);
    EXPECT_EQ (s.diffusion, 0.0f);
    EXPECT_EQ (p.controls().parameter (3), 0.5f);
}

TEST (SavedSettings, ForeignTagsUnknownAttributesAndChildrenAreCarriedAlong)
{
    TarnwellAudioProcessor p;
    restore (p, block (R"(<preset T60Low="0.5" Extra="x"/>)"));
    EXPECT_EQ (p.getNetworkSettings().t60Low, 5.0);
    EXPECT_EQ (savedText (p), R"(<preset T60Low="0.5" Extra="x" T60High="0" Transition="0" Mix="0" Diffusion="0"/>)");

    // Escaped text goes back out escaped; children come back in order.
    restore (p, block (R"(<properties Note='a &amp; "b" &lt;c&gt;'><one k="1"/><two><three/></two></properties>)"));
    EXPECT_EQ (
        savedText (p),
        R"(<properties Note="a &amp; &quot;b&quot; &lt;c&gt;" T60Low="0" T60High="0" Transition="0" Mix="0" Diffusion="0">)"
        R"(<one k="1"/><two><three/></two></properties>)");
}

TEST (SavedSettings, UnreadableBlocksChangeNothing)
{
    TarnwellAudioProcessor p;
    p.controls().setParameter (0, 0.42f);
    p.controls().setParameter (3, 0.6f);
    const auto before = save (p);
    const auto textsBefore = texts (p);

    auto wrongMagic = block (newProcessorText);
    for (int i = 0; i < 4; ++i)
        wrongMagic[static_cast<size_t> (i)] = 0;

    const Bytes broken[] = {
        Bytes (before.begin(), before.begin() + 4),
        Bytes (before.begin(), before.begin() + 8),
        wrongMagic,
        block (newProcessorText, 0),
        block (newProcessorText, -2147483648LL + 4294967296LL), // N = INT_MIN
        block ("<properties"),
        block (R"(<properties Mix="1")"),
        block (R"(<properties Mix=1/>)"),
        block (R"(<properties Mix="1"><child></properties>)"),
        block (R"(<properties Mix="1" Mix="0"/>)"),
        block (R"(<properties Mix="1"Diffusion="0"/>)"),
        block (R"(<properties Mix="&unknown;"/>)"),
        block (R"(<properties Mix="1"/><second/>)"),
        block (R"(<!DOCTYPE p [<!ENTITY a "1">]><properties Mix="&a;"/>)"),
        block (R"(<!DOCTYPE properties><properties Mix="1"/>)"), // any document type
        block ("<properties Mix=\"\xff\"/>"), // not UTF-8
        block ("<properties Mix=\"&#0;\"/>"),
        block (std::string ("<properties Mix=\"1\"/>").insert (0, 1, '\0')),
        block (""),
    };

    for (const auto& b : broken)
    {
        restore (p, b);
        EXPECT_EQ (save (p), before) << std::string (b.begin(), b.end());
        EXPECT_EQ (texts (p), textsBefore);
    }
}

// Each limit of a block's text, just inside and just outside: nesting 64 deep (the root
// counted) is read and 65 is not; after a complete root, what may follow a document is read,
// and a token cut off at the block's end is not.
TEST (SavedSettings, EachLimitOfTheTextHoldsJustInsideAndJustOutside)
{
    const auto nested = [] (int depth) {
        std::string text = R"(<properties Mix="1">)";
        for (int i = 1; i < depth; ++i)
            text += "<a>";
        for (int i = 1; i < depth; ++i)
            text += "</a>";
        return text + "</properties>";
    };
    const std::string root = R"(<properties Mix="1"/>)";
    for (const auto& [text, read] :
         { std::pair { nested (tarnwell::maxXmlDepth), true }, std::pair { nested (tarnwell::maxXmlDepth + 1), false },
           std::pair { root + " \n", true }, std::pair { root + "<!-- end -->", true },
           std::pair { root + "<?end?>", true }, std::pair { root + "<", false }, std::pair { root + "<!--", false },
           std::pair { root + "<?end", false }, std::pair { root + "<a", false } })
    {
        tarnwell::InstanceCore core;
        const auto b = block (text);
        EXPECT_EQ (core.session().restore (b.data(), static_cast<int> (b.size())), read) << text;
        EXPECT_EQ (core.controls().parameter (tarnwell::parameters::mix),
                   read ? 1.0f : static_cast<float> (tarnwell::parameters::storedDefault (tarnwell::parameters::mix)))
            << text;
    }
}

TEST (SavedSettings, ReadsOnlyTheBytesThatArePresent)
{
    const std::string text = R"(<properties Mix="1" Diffusion="0.75"  />)";
    ASSERT_EQ (text.size(), 40u);

    // Exactly 48 bytes on the heap, no terminator: a read past them is a sanitizer error.
    TarnwellAudioProcessor p;
    restore (p, block (text, 1000, false));
    EXPECT_EQ (p.getNetworkSettings().mix, 1.0f);
    EXPECT_EQ (p.getNetworkSettings().diffusion, 0.75f);

    // A zero byte within the counted text ends it.
    TarnwellAudioProcessor q;
    restore (q, block (R"(<properties Mix="0.5"/>)" + std::string (1, '\0') + "garbage"));
    EXPECT_EQ (q.getNetworkSettings().mix, 0.5f);
}

TEST (SavedSettings, ReadsBlocksWrittenByTheFrameworkHelper)
{
    juce::XmlElement xml ("properties");
    xml.setAttribute ("T60Low", 0.3);
    xml.setAttribute ("Mix", "0.75");
    xml.setAttribute ("Comment", "two\nlines");
    juce::MemoryBlock m;
    juce::AudioProcessor::copyXmlToBinary (xml, m);
    ASSERT_TRUE (std::string (static_cast<const char*> (m.getData()) + 8, m.getSize() - 9).rfind ("<?xml", 0) == 0);

    TarnwellAudioProcessor p;
    p.setStateInformation (m.getData(), static_cast<int> (m.getSize()));
    EXPECT_EQ (texts (p)[0], "3.00 sec");
    EXPECT_EQ (p.getNetworkSettings().mix, 0.75f);
    // A parameter is stored again as the float it was applied as.
    EXPECT_EQ (
        savedText (p),
        R"(<properties T60Low="0.300000012" Mix="0.75" Comment="two&#10;lines" T60High="0" Transition="0" Diffusion="0"/>)");
}

TEST (SavedSettings, ExtremeValuesFromABlockKeepTheNetworkFinite)
{
    TarnwellAudioProcessor p;
    restore (p, block (R"(<properties T60Low="1e300" T60High="-5" Transition="1e30" Mix="nan" Diffusion="-1e30"/>)"));
    EXPECT_EQ (p.controls().parameterText (3), "0.00%"); // a value that is not finite applies as 0

    restore (p, block (R"(<properties T60Low="1e30" T60High="inf" Transition="abc" Mix="0.5" Diffusion="1e30"/>)"));
    EXPECT_EQ (p.controls().parameterText (2), "50.00 Hz"); // text that is not a number reads as 0

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    juce::Random random (7);
    for (int block = 0; block < 200; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
        p.processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i))) << block;
    }
}

namespace
{
// Automation's value for block k, below 0.5 and exact in a float; restores use 0.5 and above.
float automationValue (long k)
{
    return static_cast<float> (k + 1) / 1048576.0f;
}

// Whether five saved values are a state that some order of the calls gives, when automation
// sets all five in order each block and every restore gives all five one value: the sets made
// after the last restore are the latest run of L sets (ending at parameter `last` of the newest
// block), and every other parameter holds that restore's value.
bool isAStateSomeOrderGives (const std::array<float, 5>& values)
{
    long newest = -1;
    for (float v : values)
        if (v < 0.5f)
            newest = std::max (newest, std::lround (v * 1048576.0f) - 1);

    for (long last = 0; last < 5; ++last)
        for (long runLength = 0; runLength <= 5; ++runLength)
        {
            const long end = newest * 5 + last; // the position of the latest set in the sequence
            float restored = -1.0f;
            bool matches = true;
            for (long i = 0; i < 5 && matches; ++i)
            {
                const long position = end - (((end - i) % 5) + 5) % 5;
                const float v = values[static_cast<size_t> (i)];
                if (position >= 0 && (runLength == 5 || position > end - runLength))
                    matches = v == automationValue (position / 5);
                else if (restored < 0.0f)
                    restored = v, matches = v >= 0.5f;
                else
                    matches = v == restored;
            }
            if (matches)
                return true;
        }
    return false;
}

Bytes allFive (float value)
{
    char number[32];
    std::snprintf (number, sizeof (number), "%.10f", static_cast<double> (value));
    std::string text = "<properties";
    for (const char* name : { "T60Low", "T60High", "Transition", "Mix", "Diffusion" })
        text += std::string (" ") + name + "=\"" + number + "\"";
    return block (text + "/>");
}
} // namespace

// Run under ThreadSanitizer. Saves made while restores race automation never hold a torn
// mix: what a save holds is always a state that some order of the calls gives.
TEST (SavedSettings, SavesWhileRestoresRaceAutomationAreNeverTorn)
{
    TarnwellAudioProcessor p;
    restore (p, allFive (0.5f));

    std::atomic<bool> done { false };
    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (2, 16);
        juce::MidiBuffer midi;
        for (long k = 0; k < 40000; ++k)
        {
            for (int i = 0; i < 5; ++i)
                p.controls().setParameter (i, automationValue (k));
            buffer.clear();
            p.processBlock (buffer, midi);
        }
        done = true;
    });
    std::thread restorer ([&] {
        for (int n = 0; ! done; ++n)
            restore (p, allFive (0.5f + static_cast<float> (n % 500) / 1024.0f));
    });

    long saves = 0, torn = 0;
    while (! done)
    {
        const auto saved = save (p);
        const auto tree = tarnwell::readSavedSettings (saved.data(), static_cast<int> (saved.size()));
        std::array<float, 5> values {};
        for (int i = 0; i < 5; ++i)
            values[static_cast<size_t> (i)] = static_cast<float> (
                tarnwell::parameters::numberFrom (tree.getProperty (tarnwell::parameters::propertyId (i))));
        ++saves;
        if (! isAStateSomeOrderGives (values))
        {
            ++torn;
            ADD_FAILURE() << "torn: " << values[0] << " " << values[1] << " " << values[2] << " " << values[3] << " "
                          << values[4];
        }
    }
    audio.join();
    restorer.join();
    EXPECT_GT (saves, 0);
    EXPECT_EQ (torn, 0);
}
