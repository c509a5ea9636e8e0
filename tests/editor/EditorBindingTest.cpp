#include "editor/RefreshPace.h"
#include "tests/editor/EditorFixture.h"
#include "tests/editor/Snapshot.h"
#include "tests/support/ExpectedDefaults.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace tarnwell::test::ui;
using tarnwell::TarnwellAudioProcessor;
namespace snapshot = tarnwell::test::snapshot;

namespace
{
// What a host would be told: begin, value and end messages, in order.
class HostRecorder : public juce::AudioProcessorListener
{
public:
    struct Event
    {
        char kind; // 'b'egin, 'v'alue, 'e'nd
        int index;
        float value;
    };

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        add ({ 'v', index, value });
    }
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        add ({ 'b', index, 0 });
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        add ({ 'e', index, 0 });
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    std::vector<Event> events()
    {
        const std::lock_guard lock (mutex);
        return recorded;
    }

private:
    void add (Event e)
    {
        const std::lock_guard lock (mutex);
        recorded.push_back (e);
    }

    std::mutex mutex;
    std::vector<Event> recorded;
};

void onAnotherThread (std::function<void()> work)
{
    std::thread thread (std::move (work));
    thread.join();
}

using Clock = std::chrono::steady_clock;
} // namespace

using HostAutomation = EditorTest;

TEST_F (HostAutomation, MovesOnlyTheControlOfThatIndex)
{
    processor.controls().setParameter (2, 0.5f);
    ASSERT_TRUE (settle());
    EXPECT_EQ (slider (2).getValue(), 0.5);
    EXPECT_EQ (readout (2), "894.43 Hz");
    EXPECT_FLOAT_EQ (graph().transitionFreqValue, 0.5f);

    EXPECT_EQ (slider (0).getValue(), static_cast<double> (0.35f));
    EXPECT_EQ (slider (3).getValue(), 0.25);
    EXPECT_EQ (readout (0), "3.50 sec");
    EXPECT_FLOAT_EQ (graph().t60LowValue, 0.35f);
    EXPECT_FLOAT_EQ (graph().t60HighValue, 0.05f);

    // A value beyond the range is taken at its end, by the control and the readout alike.
    processor.controls().setParameter (0, 1.5f);
    ASSERT_TRUE (settle());
    EXPECT_EQ (slider (0).getValue(), 1.0);
    EXPECT_FLOAT_EQ (graph().t60LowValue, 1.0f);
    EXPECT_EQ (readout (0), "10.00 sec");

    // Mix and diffusion have no graph field.
    processor.controls().setParameter (3, 0.6f);
    ASSERT_TRUE (settle());
    EXPECT_EQ (readout (3), "60.00%");
    EXPECT_FLOAT_EQ (graph().t60LowValue, 1.0f);
    EXPECT_FLOAT_EQ (graph().t60HighValue, 0.05f);
    EXPECT_FLOAT_EQ (graph().transitionFreqValue, 0.5f);
}

TEST_F (HostAutomation, AnIndexOutsideTheFiveChangesNothing)
{
    HostRecorder host;
    processor.addListener (&host);
    processor.controls().setParameter (7, 0.5f);
    processor.controls().setParameter (-1, 0.5f);
    pumpMessages (60);
    processor.removeListener (&host);

    const auto& values = tarnwell::expected::storedDefaults;
    const auto& texts = tarnwell::expected::defaultTexts;
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (slider (i).getValue(), static_cast<double> (values[i]));
        EXPECT_EQ (readout (i), texts[i]);
    }
    EXPECT_TRUE (host.events().empty()) << "the view sends nothing back";
}

TEST_F (HostAutomation, FromAnotherThreadShowsOnceTheMessageLoopRuns)
{
    HostRecorder host;
    processor.addListener (&host);
    onAnotherThread ([this] {
        processor.controls().setParameter (4, 0.1f);
        processor.controls().setParameter (4, 0.8f);
        processor.controls().setParameter (1, 0.2f);
    });
    ASSERT_TRUE (settle());
    processor.removeListener (&host);

    EXPECT_EQ (slider (4).getValue(), static_cast<double> (0.8f));
    EXPECT_EQ (readout (4), "80.00%");
    EXPECT_EQ (slider (1).getValue(), static_cast<double> (0.2f));
    EXPECT_EQ (readout (1), "2.00 sec");
    EXPECT_FLOAT_EQ (graph().t60HighValue, 0.2f);
    EXPECT_TRUE (host.events().empty()) << "showing a value never notifies the host";
}

TEST_F (HostAutomation, TheLastChangeFromAnyThreadIsWhatShows)
{
    // Made on another thread, not yet shown; then a later change on the message thread.
    onAnotherThread ([this] { processor.controls().setParameter (2, 0.1f); });
    processor.controls().setParameter (2, 0.9f);

    // Nothing older is left to overwrite it.
    ASSERT_TRUE (settle());
    pumpMessages (60);
    EXPECT_EQ (slider (2).getValue(), static_cast<double> (0.9f));
    EXPECT_EQ (readout (2), processor.controls().parameterText (2));

    // A decay value shows in the readout too.
    processor.controls().setParameter (0, 0.25f);
    ASSERT_TRUE (settle());
    EXPECT_EQ (readout (0), "2.50 sec");
}

TEST_F (HostAutomation, RestoredSettingsShowInTheOpenEditor)
{
    TarnwellAudioProcessor other;
    other.controls().setParameter (0, 0.5f);
    other.controls().setParameter (2, 0.8f);
    other.controls().setParameter (3, 1.0f);
    juce::MemoryBlock saved;
    other.getStateInformation (saved);

    processor.setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
    ASSERT_TRUE (settle());
    EXPECT_EQ (slider (0).getValue(), 0.5);
    EXPECT_EQ (readout (0), "5.00 sec");
    EXPECT_EQ (slider (3).getValue(), 1.0);
    EXPECT_EQ (readout (3), "100.00%");
    EXPECT_EQ (readout (2), "5047.66 Hz") << "every parameter is applied on a restore";
}

TEST_F (HostAutomation, ValueSetWhileClosedShowsInALaterEditor)
{
    close();
    processor.controls().setParameter (3, 0.6f);
    onAnotherThread ([this] { processor.controls().setParameter (2, 0.5f); });
    pumpMessages (30);

    open();
    EXPECT_EQ (slider (3).getValue(), static_cast<double> (0.6f));
    EXPECT_EQ (readout (3), "60.00%");
    EXPECT_EQ (slider (2).getValue(), 0.5);
    EXPECT_EQ (readout (2), "894.43 Hz");
    EXPECT_FLOAT_EQ (graph().transitionFreqValue, 0.5f);

    // Reopening many times leaves nothing dangling for changes made in between.
    for (int i = 0; i < 20; ++i)
    {
        close();
        onAnotherThread ([this, i] { processor.controls().setParameter (i % 5, 0.01f * static_cast<float> (i)); });
        open();
        processor.controls().setParameter (4, 0.3f);
        pumpMessages (5);
    }
    ASSERT_TRUE (settle());
    EXPECT_EQ (slider (4).getValue(), static_cast<double> (0.3f));
}

using UserDrag = EditorTest;

TEST_F (UserDrag, MixKnobSendsBeginAutomationAndEndInOrder)
{
    HostRecorder host;
    processor.addListener (&host);

    auto& knob = slider (3);
    const auto source = juce::Desktop::getInstance().getMainMouseSource();
    const juce::Time t0 = juce::Time::getCurrentTime();
    const juce::Point<float> down (17.0f, 17.0f);
    auto event = [&] (juce::Point<float> at, bool dragged, const juce::ModifierKeys& mods) {
        return juce::MouseEvent (source, at, mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &knob, &knob, t0, down, t0, 1,
                                 dragged);
    };
    const auto pressed = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);

    knob.mouseDown (event (down, false, pressed));
    for (int dy = 10; dy <= 90; dy += 10) // dragging up turns it up
        knob.mouseDrag (event (down.translated (0.0f, static_cast<float> (-dy)), true, pressed));
    knob.mouseUp (event (down.translated (0.0f, -90.0f), true, juce::ModifierKeys()));

    processor.removeListener (&host);
    const auto events = host.events();

    ASSERT_GE (events.size(), 3u);
    EXPECT_EQ (events.front().kind, 'b');
    EXPECT_EQ (events.back().kind, 'e');
    float previous = 0.25f;
    for (size_t i = 0; i < events.size(); ++i)
    {
        SCOPED_TRACE (i);
        EXPECT_EQ (events[i].index, 3);
        if (i > 0 && i + 1 < events.size())
        {
            EXPECT_EQ (events[i].kind, 'v');
            EXPECT_GT (events[i].value, previous) << "rising with the drag";
            previous = events[i].value;
        }
    }

    const float last = events[events.size() - 2].value;
    EXPECT_GT (last, 0.5f);
    EXPECT_FLOAT_EQ (processor.controls().parameter (3), last);
    EXPECT_EQ (knob.getValue(), static_cast<double> (last)) << "the control holds the value the processor took";
    EXPECT_EQ (readout (3), processor.controls().parameterText (3));
    EXPECT_FLOAT_EQ (graph().t60LowValue, 0.35f) << "the mix knob has no graph field";
}

// A double-click, in the order a component is told of one (down, up, down, up, double-click),
// returns every control to the value a new instance starts at. Wherever the clicks land (a
// linear slider jumps to its first click), the last thing the host sees is one begin/set/end
// gesture carrying that value, and the control, its readout and the processor agree on it.
TEST_F (UserDrag, DoubleClickReturnsEachControlToItsDefaultInOneGesture)
{
    const auto source = juce::Desktop::getInstance().getMainMouseSource();
    for (int index = 0; index < 5; ++index)
    {
        SCOPED_TRACE (sliderNames[index]);
        processor.getParameters()[index]->setValueNotifyingHost (index % 2 == 0 ? 0.97f : 0.02f);
        ASSERT_TRUE (settle());
        HostRecorder host;
        processor.addListener (&host);

        auto& knob = slider (index);
        const juce::Time t0 = juce::Time::getCurrentTime();
        const juce::Point<float> at (static_cast<float> (knob.getWidth()) * 0.3f,
                                     static_cast<float> (knob.getHeight()) * 0.5f);
        const auto event = [&] (int clicks, const juce::ModifierKeys& mods) {
            return juce::MouseEvent (source, at, mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &knob, &knob, t0, at, t0, clicks,
                                     false);
        };
        const auto pressed = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
        for (int clicks = 1; clicks <= 2; ++clicks)
        {
            knob.mouseDown (event (clicks, pressed));
            knob.mouseUp (event (clicks, juce::ModifierKeys()));
        }
        knob.mouseDoubleClick (event (2, juce::ModifierKeys()));
        processor.removeListener (&host);

        const auto events = host.events();
        ASSERT_GE (events.size(), 3u);
        const auto* last = &events[events.size() - 3];
        EXPECT_EQ (std::string ({ last[0].kind, last[1].kind, last[2].kind }), "bve");
        for (const auto& e : events)
            EXPECT_EQ (e.index, index);
        const float expected = tarnwell::expected::storedDefaults[index];
        EXPECT_FLOAT_EQ (last[1].value, expected);
        EXPECT_FLOAT_EQ (processor.controls().parameter (index), expected);
        EXPECT_EQ (knob.getValue(), static_cast<double> (processor.controls().parameter (index)));
        EXPECT_EQ (readout (index), tarnwell::expected::defaultTexts[index]);
    }
}

using UserTyping = EditorTest;

// A readout opens for editing on a double-click. Return applies the typed value in one
// begin/set/end gesture the host sees; Escape, or text that is no value, leaves the parameter
// and its readout as they were.
TEST_F (UserTyping, AReadoutTakesATypedValueInOneGestureAndEscapeOrJunkKeepsTheValue)
{
    HostRecorder host;
    processor.addListener (&host);
    const auto type = [&] (int index, const juce::String& text, int key) {
        auto& label = *child<juce::Label> (view(), readoutNames[index]);
        const auto source = juce::Desktop::getInstance().getMainMouseSource();
        const juce::Time t0 = juce::Time::getCurrentTime();
        const juce::Point<float> at (3.0f, 3.0f);
        static_cast<juce::Component&> (label).mouseDoubleClick (
            juce::MouseEvent (source, at, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &label, &label, t0, at, t0, 2, false));
        auto* field = label.getCurrentTextEditor();
        ASSERT_NE (field, nullptr) << readoutNames[index];
        // Quietly, as typing into a focused field is: a label whose field reports a change
        // without holding the focus takes it as the focus leaving, and applies it.
        field->setText (text, false);
        field->keyPressed (juce::KeyPress (key));
        // A text field reports Return and Escape through its message queue.
        EXPECT_TRUE (pumpUntil ([&] { return ! label.isBeingEdited(); }));
    };

    type (3, "35 %", juce::KeyPress::returnKey);
    type (2, "1.2 kHz", juce::KeyPress::returnKey);
    const auto events = host.events();
    ASSERT_EQ (events.size(), 6u);
    for (size_t i = 0; i < events.size(); ++i)
    {
        EXPECT_EQ (events[i].kind, "bvebve"[i]) << i;
        EXPECT_EQ (events[i].index, i < 3 ? 3 : 2) << i;
    }
    EXPECT_FLOAT_EQ (events[1].value, 0.35f);
    EXPECT_FLOAT_EQ (processor.controls().parameter (2), static_cast<float> (std::log (24.0) / std::log (320.0)));
    EXPECT_EQ (readout (3), "35.00%");
    EXPECT_EQ (readout (2), "1200.00 Hz");
    EXPECT_EQ (slider (3).getValue(), static_cast<double> (processor.controls().parameter (3)));

    type (0, "9 s", juce::KeyPress::escapeKey);
    type (1, "2.5 Hz", juce::KeyPress::returnKey);
    EXPECT_EQ (host.events().size(), 6u);
    EXPECT_EQ (readout (0), "3.50 sec");
    EXPECT_EQ (readout (1), "0.50 sec");
    EXPECT_EQ (processor.controls().parameter (1), 0.05f);
    processor.removeListener (&host);
}

using ParameterStorm = EditorTest;

namespace
{
// Changes as fast as one thread can make them; returns the longest single call.
Clock::duration storm (TarnwellAudioProcessor& processor, int calls, float (&last)[5])
{
    std::minstd_rand random (7);
    std::uniform_real_distribution<float> value (0.0f, 1.0f);
    Clock::duration longest {};
    for (int i = 0; i < calls; ++i)
    {
        const int index = i % 5;
        last[index] = value (random);
        const auto before = Clock::now();
        processor.controls().setParameter (index, last[index]);
        longest = std::max (longest, Clock::now() - before);
    }
    return longest;
}

void report (const char* when, Clock::duration longest)
{
    std::printf ("[ storm    ] longest setParameter call %s: %.1f us\n", when,
                 std::chrono::duration<double, std::micro> (longest).count());
}

} // namespace

// Another thread changes parameters as fast as it can while the message thread is busy (first
// waiting for it, so a change that waited for the message thread would never return; then
// draining and drawing): no change waits, none is lost for good, and each control ends up at
// the last value of its parameter.
TEST_F (ParameterStorm, NeverWaitsForTheMessageThreadAndTheLastValuesShow)
{
    float last[5] = {};
    Clock::duration longest {};
    onAnotherThread ([&] { longest = storm (processor, 50000, last); });
    report ("with the message thread blocked", longest);

    ASSERT_TRUE (settle());
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (slider (i).getValue(), static_cast<double> (last[i])) << i;
        EXPECT_EQ (readout (i), processor.controls().parameterText (i)) << i;
    }

    std::atomic<bool> done { false };
    std::thread stormer ([&] {
        longest = storm (processor, 20000, last);
        done = true;
    });
    while (! done)
    {
        pumpMessages (5);
        (void)view().createComponentSnapshot (view().getLocalBounds());
    }
    stormer.join();
    report ("with the message loop running", longest);

    ASSERT_TRUE (settle());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (slider (i).getValue(), static_cast<double> (last[i])) << i;
}

// How often the editor looks for changes, over any run of looks that find a change or none: the
// fast pace right after a change and until the values have rested for restAfterMs of looks,
// the slow pace from then until the next change, and nothing else.
TEST (RefreshPace, FastWhileValuesMoveSlowOnceTheyRest)
{
    using tarnwell::RefreshPace;
    static_assert (RefreshPace::movingMs < RefreshPace::restingMs);
    std::minstd_rand random (11);
    for (int run = 0; run < 200; ++run)
    {
        RefreshPace pace;
        int quietMs = 0, waited = RefreshPace::movingMs; // the editor's first wait
        for (int look = 0; look < 300; ++look)
        {
            // Runs of quiet looks of every length, some well past the rest.
            const bool changed = random() % (static_cast<unsigned> (run % 40) + 2) == 0;
            quietMs = changed ? 0 : quietMs + waited;
            waited = pace.next (changed);
            ASSERT_EQ (waited, quietMs < RefreshPace::restAfterMs ? RefreshPace::movingMs : RefreshPace::restingMs)
                << "run " << run << ", look " << look << ", quiet for " << quietMs << " ms";
        }
    }
}

using UserKeys = EditorTest;

// Every key on every control, from the middle of the range (Home from elsewhere): the processor takes the new value in
// one begin/set/end gesture, and the control and its readout show it.
TEST_F (UserKeys, EachKeyMovesTheControlInOneGestureAndTheReadoutFollows)
{
    using Key = juce::KeyPress;
    const std::pair<int, double> keys[] = { { Key::upKey, 0.51 },   { Key::rightKey, 0.51 }, { Key::downKey, 0.49 },
                                            { Key::leftKey, 0.49 }, { Key::pageUpKey, 0.6 }, { Key::pageDownKey, 0.4 },
                                            { Key::homeKey, -1.0 } }; // -1: the default, from 0.3, which is none
    for (int index = 0; index < 5; ++index)
        for (const auto& [code, target] : keys)
        {
            SCOPED_TRACE (juce::String (sliderNames[index]) + " " + Key (code).getTextDescription());
            processor.getParameters()[index]->setValueNotifyingHost (target < 0.0 ? 0.3f : 0.5f);
            ASSERT_TRUE (settle());
            HostRecorder host;
            processor.addListener (&host);
            EXPECT_TRUE (slider (index).keyPressed (Key (code)));
            processor.removeListener (&host);

            const float expected =
                target < 0.0 ? tarnwell::expected::storedDefaults[index] : static_cast<float> (target);
            const auto events = host.events();
            ASSERT_EQ (events.size(), 3u);
            EXPECT_EQ (std::string ({ events[0].kind, events[1].kind, events[2].kind }), "bve");
            for (const auto& e : events)
                EXPECT_EQ (e.index, index);
            EXPECT_NEAR (events[1].value, expected, 1.0e-6f);
            EXPECT_NEAR (processor.controls().parameter (index), expected, 1.0e-6f);
            EXPECT_EQ (slider (index).getValue(), static_cast<double> (processor.controls().parameter (index)));
            EXPECT_EQ (readout (index), processor.controls().parameterText (index));
            ASSERT_TRUE (settle());
        }
}

// At either end of the range a step is still the control's key but tells the host nothing; a key
// with a modifier, or any other key, is left to the host.
TEST_F (UserKeys, StepsStopAtTheRangeAndOtherKeysPassOn)
{
    using Key = juce::KeyPress;
    for (const auto& [start, code] : { std::pair { 1.0f, Key::upKey },
                                       { 1.0f, Key::pageUpKey },
                                       { 0.0f, Key::downKey },
                                       { 0.0f, Key::pageDownKey } })
    {
        processor.getParameters()[0]->setValueNotifyingHost (start);
        ASSERT_TRUE (settle());
        HostRecorder host;
        processor.addListener (&host);
        EXPECT_TRUE (slider (0).keyPressed (Key (code)));
        processor.removeListener (&host);
        EXPECT_TRUE (host.events().empty());
        EXPECT_EQ (processor.controls().parameter (0), start);
    }
    EXPECT_FALSE (slider (0).keyPressed (Key (Key::upKey, juce::ModifierKeys::shiftModifier, 0)));
    EXPECT_FALSE (slider (0).keyPressed (Key (Key::tabKey)));
    EXPECT_FALSE (slider (0).keyPressed (Key ('a')));
    EXPECT_FLOAT_EQ (processor.controls().parameter (0), 0.0f);
}

// Tab goes round the five controls in reading order, Shift+Tab back; the view, or a readout being
// typed in, hands the focus to the first or the last. The mark shows for a focus from the keyboard
// (or from an assistive tool), never for a click.
TEST_F (UserKeys, TabGoesRoundTheFiveControlsAndOnlyAKeyboardFocusIsMarked)
{
    const int order[] = { 3, 4, 1, 0, 2 };
    const auto traverser = view().createKeyboardFocusTraverser();
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (traverser->getNextComponent (&slider (order[i])), &slider (order[(i + 1) % 5])) << i;
        EXPECT_EQ (traverser->getPreviousComponent (&slider (order[(i + 1) % 5])), &slider (order[i])) << i;
    }
    EXPECT_EQ (traverser->getNextComponent (&view()), &slider (3));
    EXPECT_EQ (traverser->getPreviousComponent (child<juce::Label> (view(), readoutNames[0])), &slider (2));
    EXPECT_EQ (traverser->getAllComponents (&view()).size(), 5u);

    const auto plain = snapshot::of (*editor);
    auto& knob = dynamic_cast<tarnwell::ParameterSlider&> (slider (3));
    knob.focusGained (juce::Component::focusChangedByMouseClick);
    EXPECT_FALSE (knob.showsFocusMark());
    EXPECT_TRUE (snapshot::equal (snapshot::of (*editor), plain)) << "a click leaves the picture as it was";

    knob.focusGained (juce::Component::focusChangedByTabKey);
    ASSERT_TRUE (knob.showsFocusMark());
    const auto marked = snapshot::of (*editor);
    const auto ring = knob.getBounds().expanded (tarnwell::ParameterSlider::focusMarkMargin);
    int changed = 0;
    for (int y = 0; y < marked.getHeight(); ++y)
        for (int x = 0; x < marked.getWidth(); ++x)
            if (marked.getPixelAt (x, y) != plain.getPixelAt (x, y))
            {
                ++changed;
                EXPECT_TRUE (ring.contains (x, y)) << x << ", " << y;
            }
    EXPECT_GT (changed, 2 * (ring.getWidth() + ring.getHeight())) << "a visible ring";

    knob.focusLost (juce::Component::focusChangedByTabKey);
    EXPECT_TRUE (snapshot::equal (snapshot::of (*editor), plain));
}

// What an assistive tool reads of each control: its caption, its unit in words, and the value as
// the readout shows it; a value it sets reaches the host as one gesture, as a key does.
TEST_F (UserKeys, EachControlTellsAccessibilityItsNameValueAndUnit)
{
    const char* const titles[] = { "t60 Low", "t60 High", "Trans. Freq", "Mixture", "Diffusion" };
    const char* const units[] = { "seconds", "seconds", "hertz", "per cent", "per cent" };
    ASSERT_TRUE (settle());
    // JUCE's accessibility layer serves components in a window only.
    editor->addToDesktop (0);
    if (editor->getPeer() == nullptr)
        GTEST_SKIP() << "no window for the editor";
    for (int index = 0; index < 5; ++index)
    {
        SCOPED_TRACE (sliderNames[index]);
        auto* handler = slider (index).getAccessibilityHandler();
        ASSERT_NE (handler, nullptr);
        EXPECT_EQ (handler->getTitle(), titles[index]);
        EXPECT_EQ (handler->getDescription(), units[index]);
        auto* value = handler->getValueInterface();
        ASSERT_NE (value, nullptr);
        EXPECT_EQ (value->getCurrentValueAsString(), readout (index));

        HostRecorder host;
        processor.addListener (&host);
        value->setValue (0.3);
        processor.removeListener (&host);
        const auto events = host.events();
        ASSERT_EQ (events.size(), 3u);
        EXPECT_EQ (std::string ({ events[0].kind, events[1].kind, events[2].kind }), "bve");
        EXPECT_FLOAT_EQ (processor.controls().parameter (index), 0.3f);
        EXPECT_EQ (readout (index), processor.controls().parameterText (index));
        EXPECT_EQ (value->getCurrentValueAsString(), readout (index));
    }
    editor->removeFromDesktop();
}
