#include "host/juce_formats/TarnwellAudioProcessor.h"
#include "tests/support/ExpectedDefaults.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <thread>

using tarnwell::TarnwellAudioProcessor;

namespace
{
std::unique_ptr<TarnwellAudioProcessor> makeProcessor()
{
    return std::make_unique<TarnwellAudioProcessor>();
}

std::vector<std::string> texts (TarnwellAudioProcessor& p)
{
    std::vector<std::string> t;
    for (int i = 0; i < 5; ++i)
        t.push_back (p.controls().parameterText (i).toStdString());
    return t;
}
} // namespace

TEST (Parameters, OutOfRangeIndicesAreHarmless)
{
    auto p = makeProcessor();
    const auto before = texts (*p);
    p->controls().setParameter (7, 0.5f);
    p->controls().setParameter (-1, 0.5f);
    EXPECT_EQ (texts (*p), before);
    EXPECT_EQ (tarnwell::parameters::name (5), "");
    EXPECT_EQ (p->controls().parameterText (5), "");
    EXPECT_EQ (p->controls().parameter (5), 0.0f);
}

// Each description agrees with itself: its displayed range is what the ends of the normalised
// range map to, and its stored default shows as a new instance's text.
TEST (Parameters, EachDescriptionsRangeAndDefaultAreWhatItsMappingGives)
{
    namespace params = tarnwell::parameters;
    for (int i = 0; i < params::count; ++i)
    {
        const auto& d = params::describe (i);
        EXPECT_EQ (juce::String (d.name), params::name (i));
        EXPECT_EQ (d.toEngine (0.0f) * d.displayScale, d.displayMinimum) << d.name;
        EXPECT_EQ (d.toEngine (1.0f) * d.displayScale, d.displayMaximum) << d.name;
        EXPECT_EQ (params::text (i, d.toEngine (static_cast<float> (d.storedDefault))),
                   tarnwell::expected::defaultTexts[i]);
    }
}

// The displayed value of any normalised value reads back as it, up to where the display's range
// ends (the transition's 10 kHz, below the top of its normalised range); beyond the ends it
// reads as the ends. This is what the LV2 ports and typed values rely on.
TEST (Parameters, EachDisplayedValueReadsBackAsItsNormalisedValue)
{
    namespace params = tarnwell::parameters;
    for (int i = 0; i < params::count; ++i)
    {
        const auto& d = params::describe (i);
        const float top = params::normalisedFor (i, d.displayMaximum);
        EXPECT_EQ (top, i == params::transition ? static_cast<float> (std::log (200.0) / std::log (320.0)) : 1.0f)
            << d.name;
        for (float v = 0.0f; v <= top; v = std::nextafter (v + 0.000731f, 2.0f))
            EXPECT_NEAR (params::normalisedFor (i, params::displayValue (i, v)), v, 1e-6f) << d.name << " " << v;
        EXPECT_EQ (params::normalisedFor (i, params::displayValue (i, top)), top) << d.name;
        const double step = (d.displayMaximum - d.displayMinimum) / 1000.0;
        EXPECT_EQ (params::normalisedFor (i, d.displayMinimum - step), 0.0f) << d.name;
        EXPECT_EQ (params::normalisedFor (i, d.displayMaximum + step), top) << d.name;
        EXPECT_EQ (params::normalisedFor (i, std::numeric_limits<double>::quiet_NaN()), 0.0f) << d.name;
    }
}

TEST (Parameters, UnsafeValuesKeepTheNetworkStable)
{
    auto p = makeProcessor();
    p->controls().setParameter (0, -0.5f);
    EXPECT_EQ (p->controls().parameterText (0), "0.00 sec");
    p->controls().setParameter (1, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (p->controls().parameterText (1), "0.00 sec");
    p->controls().setParameter (4, std::numeric_limits<float>::infinity());
    EXPECT_TRUE (std::isfinite (p->getNetworkSettings().diffusion));
}

TEST (Processor, MonoOutputTouchesOnlyChannelZeroAndMonoToStereoClearsTheSecond)
{
    auto p = makeProcessor();
    p->controls().setParameter (3, 1.0f);
    p->controls().setParameter (4, 0.0f);

    p->setPlayConfigDetails (1, 2, 44100, 512);
    juce::AudioBuffer<float> buffer (2, 4096);
    buffer.clear();
    buffer.setSample (1, 0, 1.0f); // must be cleared before processing: not an input
    buffer.setSample (0, 0, 1.0f);
    juce::MidiBuffer midi;
    p->processBlock (buffer, midi);

    // Without diffusion, the odd lines never receive anything: the right output stays silent.
    for (int n = 0; n < 4096; ++n)
        ASSERT_EQ (buffer.getSample (1, n), 0.0f) << n;
    EXPECT_NE (buffer.getSample (0, 2023), 0.0f);
}

TEST (Processor, PreparingAtANewRateKeepsDecayTimesInSeconds)
{
    auto p = makeProcessor();
    p->prepareToPlay (96000, 512);
    EXPECT_EQ (p->getNetworkSettings().sampleRate, 96000.0);
    p->prepareToPlay (0, 512);
    EXPECT_EQ (p->getNetworkSettings().sampleRate, 96000.0);
}

// Run under TSan in CI: parameter changes on two threads while a third processes.
TEST (Processor, ParameterChangesWhileProcessingStayFinite)
{
    auto p = makeProcessor();
    p->prepareToPlay (48000, 256);
    std::atomic<bool> done { false };

    auto hammer = [&] (unsigned seed) {
        std::mt19937 rng (seed);
        std::uniform_real_distribution<float> unit (0, 1);
        while (! done)
            p->controls().setParameter (int (rng() % 5), unit (rng));
    };
    std::thread a (hammer, 1u), b (hammer, 2u);

    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    bool finite = true;
    for (int block = 0; block < 400; ++block)
    {
        for (int n = 0; n < 256; ++n)
        {
            buffer.setSample (0, n, std::sin (float (n) * 0.1f));
            buffer.setSample (1, n, std::cos (float (n) * 0.07f));
        }
        p->processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int n = 0; n < 256; ++n)
                finite = finite && std::isfinite (buffer.getSample (ch, n));
    }
    done = true;
    a.join();
    b.join();
    EXPECT_TRUE (finite);
}
