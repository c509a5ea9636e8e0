// What automation costs on the audio thread: one setParameter, and a block whose parameters all
// changed since the last one (the block designs the network's coefficients first) beside an
// unchanged block, at two block sizes.
#include "host/juce_formats/TarnwellAudioProcessor.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
void setParameter (benchmark::State& state)
{
    auto processor = std::make_unique<tarnwell::TarnwellAudioProcessor>();
    float value = 0.0f;
    int index = 0;
    for (auto _ : state)
    {
        processor->controls().setParameter (index, value);
        index = index == 4 ? 0 : index + 1;
        value = value >= 1.0f ? 0.0f : value + 0.001f;
    }
}
BENCHMARK (setParameter);

void block (benchmark::State& state, bool changeParameters)
{
    auto processor = std::make_unique<tarnwell::TarnwellAudioProcessor>();
    const int frames = static_cast<int> (state.range (0));
    juce::AudioBuffer<float> buffer (2, frames);
    juce::MidiBuffer midi;
    buffer.clear();
    buffer.setSample (0, 0, 1.0f);
    processor->processBlock (buffer, midi);

    float value = 0.1f;
    for (auto _ : state)
    {
        if (changeParameters)
        {
            for (int i = 0; i < 5; ++i)
                processor->controls().setParameter (i, value);
            value = value >= 0.9f ? 0.1f : value + 0.001f;
        }
        processor->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    state.SetItemsProcessed (state.iterations() * frames);
}

void unchangedBlock (benchmark::State& state)
{
    block (state, false);
}
void blockWithChangedParameters (benchmark::State& state)
{
    block (state, true);
}
BENCHMARK (unchangedBlock)->Arg (64)->Arg (512);
BENCHMARK (blockWithChangedParameters)->Arg (64)->Arg (512);
} // namespace

BENCHMARK_MAIN();
