#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// JUCE's message manager and string pool, alive for the whole test run.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
