// The instance core every format runs on, held to properties rather than examples: any split
// of a signal into host blocks, any aliasing of host buffers, a rate or a value changed alone,
// each limit of a value just inside and just outside, what each role's view offers, and any
// interleaving of calls on the values from several threads.

#include "processor/InstanceCore.h"
#include "tests/support/ReferenceSignals.h"
#include "tests/support/SteppedThreads.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <type_traits>
#include <utility>

using tarnwell::InstanceCore;
using namespace tarnwell::testreference;
namespace params = tarnwell::parameters;

namespace
{
constexpr int frames = 3 * InstanceCore::maxPiece + 700;

std::unique_ptr<InstanceCore> coreWith (const std::array<float, 5>& values)
{
    auto core = std::make_unique<InstanceCore>();
    for (int i = 0; i < params::count; ++i)
        core->controls().setParameter (i, values[static_cast<size_t> (i)]);
    return core;
}

// The input run through a new core with `values`, separate buffers, in blocks of the sizes
// given in turn (repeated to the end).
Channels run (const Channels& input, int outs, const std::vector<int>& blocks,
              const std::array<float, 5>& values = someValues)
{
    auto core = coreWith (values);
    const int ins = static_cast<int> (input.size());
    Channels output (static_cast<size_t> (outs), std::vector<float> (input[0].size(), 9.0f));
    size_t b = 0;
    for (int start = 0; start < frames; ++b)
    {
        const int n = std::min (blocks[b % blocks.size()], frames - start);
        const float* in[2] = { input[0].data() + start, ins > 1 ? input[1].data() + start : nullptr };
        float* out[2] = { output[0].data() + start, outs > 1 ? output[1].data() + start : nullptr };
        core->audio().process (in, ins, out, outs, n);
        start += n;
    }
    return output;
}
} // namespace

TEST (InstanceCore, AnySplitIntoHostBlocksGivesTheSameOutput)
{
    std::mt19937 random (11);
    const int piece = InstanceCore::maxPiece;
    for (const auto& [ins, outs] : { std::pair { 2, 2 }, std::pair { 1, 2 }, std::pair { 1, 1 } })
    {
        SCOPED_TRACE (std::to_string (ins) + " into " + std::to_string (outs));
        const auto input = noise (ins, frames, 3);
        const auto whole = run (input, outs, { frames });
        ASSERT_GT (peak (whole), 0.01f);
        // Blocks that end one frame past a multiple of the core's own piece, and random ones.
        EXPECT_EQ (run (input, outs, { piece + 1, 2 * piece + 1 }), whole);
        EXPECT_EQ (run (input, outs, { 1, piece - 1, piece }), whole);
        std::uniform_int_distribution<int> size (1, 2 * piece + 2);
        std::vector<int> blocks (40);
        for (auto& b : blocks)
            b = size (random);
        EXPECT_EQ (run (input, outs, blocks), whole);
    }
}

TEST (InstanceCore, AnyAliasingOfHostBuffersGivesWhatSeparateBuffersGive)
{
    const auto input = noise (2, frames, 4);
    for (const int ins : { 1, 2 })
        for (const int outs : { 1, 2 })
        {
            if (ins > outs)
                continue;
            const auto expected = run (Channels (input.begin(), input.begin() + ins), outs, { 1000 });
            // Each output is one of the two buffers that hold the inputs, or a buffer of its own.
            for (int left = 0; left < 3; ++left)
                for (int right = 0; right < (outs > 1 ? 3 : 1); ++right)
                {
                    SCOPED_TRACE (std::to_string (ins) + " into " + std::to_string (outs) + ", outputs in buffers "
                                  + std::to_string (left) + " and " + std::to_string (right));
                    if (outs > 1 && left == right)
                        continue;
                    Channels buffers { input[0], input[1], std::vector<float> (frames, 9.0f),
                                       std::vector<float> (frames, 9.0f) };
                    auto core = coreWith (someValues);
                    for (int start = 0; start < frames; start += 1000)
                    {
                        const float* in[2] = { buffers[0].data() + start, buffers[1].data() + start };
                        float* out[2] = { buffers[static_cast<size_t> (left)].data() + start,
                                          buffers[static_cast<size_t> (right == 2 ? 3 : right)].data() + start };
                        core->audio().process (in, ins, out, outs, std::min (1000, frames - start));
                    }
                    EXPECT_EQ (buffers[static_cast<size_t> (left)], expected[0]);
                    if (outs > 1)
                    {
                        EXPECT_EQ (buffers[static_cast<size_t> (right == 2 ? 3 : right)], expected[1]);
                    }
                }
        }
}

// What a change alone does: the network follows a new rate, and a value set back to its
// stored default plays as a new instance does.
TEST (InstanceCore, ARateOrAValueChangedAloneTakesEffect)
{
    const auto input = noise (2, frames, 5);
    const auto silence = Channels (2, std::vector<float> (512, 0.0f));
    const auto runAfter = [&] (InstanceCore& core, const std::function<void()>& change) {
        Channels out (2, std::vector<float> (frames));
        const float* s[2] = { silence[0].data(), silence[1].data() };
        float scratch[2][512];
        float* sOut[2] = { scratch[0], scratch[1] };
        core.audio().process (s, 2, sOut, 2, 512); // designs for what was set before
        change();
        const float* in[2] = { input[0].data(), input[1].data() };
        float* o[2] = { out[0].data(), out[1].data() };
        core.audio().process (in, 2, o, 2, frames);
        return out;
    };

    // After silence the network holds nothing: from there a new rate plays as the engine
    // designed for it from the start.
    InstanceCore rateChanged;
    const auto output = runAfter (rateChanged, [&] { rateChanged.session().prepare (96000.0); });
    const auto settings = rateChanged.session().networkSettings();
    ASSERT_EQ (settings.sampleRate, 96000.0);
    Channels expected (2, std::vector<float> (frames));
    {
        const juce::ScopedNoDenormals noDenormals;
        auto network = std::make_unique<tarnwell::ReverbNetwork>();
        network->process (tarnwell::designNetwork (settings),
                          { input[0].data(), input[1].data(), expected[0].data(), expected[1].data() }, frames);
    }
    EXPECT_EQ (output, expected);

    // Each value alone, changed after a block: to another value, it plays as a core set to it
    // from the start; back to its default, as a fresh core.
    InstanceCore fresh;
    const auto freshOutput = runAfter (fresh, [] {});
    for (int i = 0; i < params::count; ++i)
    {
        SCOPED_TRACE (params::name (i));
        const float other = params::storedDefault (i) > 0.5 ? 0.1f : 0.9f;
        InstanceCore core, changed, setFromStart;
        core.controls().setParameter (i, other);
        setFromStart.controls().setParameter (i, other);
        EXPECT_EQ (runAfter (core,
                             [&] { core.controls().setParameter (i, static_cast<float> (params::storedDefault (i))); }),
                   freshOutput);
        const auto changedOutput = runAfter (changed, [&] { changed.controls().setParameter (i, other); });
        EXPECT_EQ (changedOutput, runAfter (setFromStart, [] {}));
        EXPECT_NE (changedOutput, freshOutput);
    }
}

// Every value is kept within 0..1: each end just inside stays as it is, just outside becomes
// the end; and the texts follow, showing the displayed range's ends at the ends.
TEST (InstanceCore, EachValueLimitHoldsJustInsideAndJustOutside)
{
    InstanceCore core;
    for (int i = 0; i < params::count; ++i)
        for (const auto& [value, kept] : { std::pair { std::nextafter (0.0f, 1.0f), std::nextafter (0.0f, 1.0f) },
                                           std::pair { std::nextafter (0.0f, -1.0f), 0.0f },
                                           std::pair { std::nextafter (1.0f, 0.0f), std::nextafter (1.0f, 0.0f) },
                                           std::pair { std::nextafter (1.0f, 2.0f), 1.0f } })
        {
            core.controls().setParameter (i, value);
            EXPECT_EQ (core.controls().parameter (i), kept) << params::name (i) << " at " << value;
            EXPECT_EQ (core.controls().parameterText (i), params::text (i, params::engineValue (i, kept)));
        }

    // At the ends, the texts show the ends of the description's displayed range, to two places.
    for (int i = 0; i < params::count; ++i)
    {
        const auto& d = params::describe (i);
        for (const auto& [value, shown] :
             { std::pair { 0.0f, d.displayMinimum }, std::pair { 1.0f, d.displayMaximum } })
        {
            core.controls().setParameter (i, value);
            EXPECT_EQ (core.controls().parameterText (i), juce::String (shown, 2) + d.textSuffix);
        }
    }
}

// Each role's view offers its calls and no other's, and the core none but through them: the
// code that processes cannot reach a text, a lock or a settings block, and a parameter model
// can neither process nor save. A call left in the wrong view fails here, not in a host.
namespace calls
{
constexpr auto process = [] (auto& v) -> decltype (v.process (nullptr, 0, nullptr, 0, 0), void()) {};
constexpr auto setParameter = [] (auto& v) -> decltype (v.setParameter (0, 0.0f), void()) {};
constexpr auto parameter = [] (auto& v) -> decltype (v.parameter (0), void()) {};
constexpr auto parameterText = [] (auto& v) -> decltype (v.parameterText (0), void()) {};
constexpr auto textFor = [] (auto& v) -> decltype (v.textFor (0, 0.0f), void()) {};
constexpr auto prepare = [] (auto& v) -> decltype (v.prepare (0.0), void()) {};
constexpr auto tailSeconds = [] (auto& v) -> decltype (v.tailSeconds(), void()) {};
constexpr auto save = [] (auto& v) -> decltype (v.save (std::declval<juce::MemoryBlock&>()), void()) {};
constexpr auto restore = [] (auto& v) -> decltype (v.restore (nullptr, 0), void()) {};

template <typename View, typename... Calls>
constexpr bool offersAll (const Calls&...)
{
    return (std::is_invocable_v<const Calls&, View&> && ...);
}

template <typename View, typename... Calls>
constexpr bool offersNone (const Calls&...)
{
    return (! std::is_invocable_v<const Calls&, View&> && ...);
}
} // namespace calls

TEST (InstanceCore, EachViewOffersItsRolesCallsAlone)
{
    using namespace calls;
    using Audio = InstanceCore::Audio;
    using Controls = InstanceCore::Controls;
    using Session = InstanceCore::Session;
    static_assert (offersAll<Audio> (process, setParameter));
    static_assert (offersNone<Audio> (parameter, parameterText, textFor, prepare, tailSeconds, save, restore));
    static_assert (offersAll<Controls> (setParameter, parameter, parameterText, textFor));
    static_assert (offersNone<Controls> (process, prepare, tailSeconds, save, restore));
    static_assert (offersAll<Session> (prepare, tailSeconds, save, restore));
    static_assert (offersNone<Session> (process, setParameter, parameter, parameterText, textFor));
    static_assert (offersNone<InstanceCore> (process, setParameter, parameter, parameterText, textFor, prepare,
                                             tailSeconds, save, restore));
    static_assert (sizeof (Audio) == sizeof (void*) && sizeof (Controls) == sizeof (void*)
                   && sizeof (Session) == sizeof (void*));

    // The views are of one core: a value the audio thread sets is the one shown and saved.
    InstanceCore core, other;
    core.audio().setParameter (params::mix, 0.25f);
    EXPECT_EQ (core.controls().parameter (params::mix), 0.25f);
    juce::MemoryBlock saved;
    core.session().save (saved);
    ASSERT_TRUE (other.session().restore (saved.getData(), static_cast<int> (saved.getSize())));
    EXPECT_EQ (other.controls().parameterText (params::mix), core.controls().parameterText (params::mix));
}

// Any interleaving of the values' calls, one step at a time through the seam between their
// steps (SteppedThreads), so every interleaving is reached and none by chance.
namespace
{
using tarnwell::ParameterValues;
using tarnwell::test::SteppedThreads;
using Seen = std::optional<ParameterValues::Snapshot>; // what a call read, if it reads
using Call = std::function<Seen (ParameterValues&)>;
using Threads = std::vector<std::vector<Call>>;

// What each call read, thread by thread, then the values at the end.
std::vector<Seen> outcome (ParameterValues& values, std::vector<std::vector<Seen>> seen)
{
    std::vector<Seen> all;
    for (auto& thread : seen)
        all.insert (all.end(), thread.begin(), thread.end());
    all.push_back (values.snapshot());
    return all;
}

// The calls stepped in the order `choose` gives, with a seam between one call and the next.
std::vector<Seen> runStepped (const Threads& threads, const SteppedThreads::Choose& choose)
{
    ParameterValues values;
    std::vector<std::vector<Seen>> seen (threads.size());
    std::vector<SteppedThreads::Body> bodies;
    for (size_t t = 0; t < threads.size(); ++t)
        bodies.emplace_back ([&, t] {
            for (auto& call : threads[t])
            {
                seen[t].push_back (call (values));
                if (&call != &threads[t].back())
                    tarnwell::steppingSeam();
            }
        });
    SteppedThreads::run (bodies, choose);
    return outcome (values, seen);
}

// What every order of whole calls that keeps each thread's own order gives.
std::vector<std::vector<Seen>> serialOutcomes (const Threads& threads)
{
    std::vector<size_t> order; // the thread of each call in turn
    for (size_t t = 0; t < threads.size(); ++t)
        order.insert (order.end(), threads[t].size(), t);
    std::vector<std::vector<Seen>> outcomes;
    do
    {
        ParameterValues values;
        std::vector<std::vector<Seen>> seen (threads.size());
        for (auto t : order)
            seen[t].push_back (threads[t][seen[t].size()](values));
        outcomes.push_back (outcome (values, seen));
    } while (std::next_permutation (order.begin(), order.end()));
    return outcomes;
}
} // namespace

// Sets, restores and saves (the main thread's) and the audio thread's snapshot, interleaved
// every way their steps allow: what each call reads, and the values at the end, are what some
// serial order gives there, so nothing is torn or lost. A snapshot that gives up (the audio
// thread keeps its last design) reads nothing, which any order allows.
TEST (InstanceCore, AnyInterleavingOfSetsRestoresAndSnapshotsGivesASerialOrdersState)
{
    const auto set = [] (int index, float value) -> Call {
        return [=] (ParameterValues& v) {
            v.set (index, value);
            return Seen();
        };
    };
    const auto restore = [] (float value) -> Call {
        return [=] (ParameterValues& v) {
            v.restore ({ value, value, value, value, value });
            return Seen();
        };
    };
    const Call save = [] (ParameterValues& v) { return Seen (v.snapshot()); };
    const Call audio = [] (ParameterValues& v) {
        ParameterValues::Snapshot s;
        return v.trySnapshot (s) ? Seen (s) : Seen();
    };

    int scenario = 0;
    for (const auto& threads : { Threads { { set (0, 0.2f), set (4, 0.4f) }, { audio } },
                                 Threads { { restore (0.3f), restore (0.7f) }, { audio } },
                                 Threads { { set (2, 0.6f) }, { restore (0.3f), save } },
                                 Threads { { set (1, 0.6f) }, { restore (0.3f) }, { audio } } })
    {
        const auto serial = serialOutcomes (threads);
        size_t schedule = 0;
        const auto schedules = SteppedThreads::everySchedule ([&] (const SteppedThreads::Choose& choose) {
            const auto stepped = runStepped (threads, choose);
            for (size_t i = 0; i < stepped.size(); ++i)
            {
                const auto seenSerially = [&] (auto& s) { return ! stepped[i] || s[i] == stepped[i]; };
                ASSERT_TRUE (std::any_of (serial.begin(), serial.end(), seenSerially))
                    << "scenario " << scenario << ", schedule " << schedule << ", read " << i;
            }
            ++schedule;
        });
        EXPECT_GT (schedules, serial.size()) << "scenario " << scenario; // the seam was reached
        ++scenario;
    }
}
