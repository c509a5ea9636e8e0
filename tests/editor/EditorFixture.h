#pragma once

#include "editor/T60View.h"
#include "host/juce_formats/TarnwellAudioProcessorEditor.h"
#include "host/juce_formats/TarnwellAudioProcessor.h"
#include "tests/support/TemporaryConfigHome.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace tarnwell::test::ui
{
inline const char* const sliderNames[] = { "t60LowSlider", "t60HighSlider", "transitionFreqSlider", "mixSlider",
                                           "diffusionSlider" };
inline const char* const readoutNames[] = { "t60LowValueString", "t60HighValueString", "transitionFreqValueString",
                                            "mixValueString", "diffusionValueString" };

template <typename Type>
Type* child (juce::Component& parent, const juce::String& name)
{
    for (auto* c : parent.getChildren())
        if (c->getName() == name)
            return dynamic_cast<Type*> (c);
    return nullptr;
}

inline T60View* graphOf (juce::Component& view)
{
    for (auto* c : view.getChildren())
        if (auto* graph = dynamic_cast<T60View*> (c))
            return graph;
    return nullptr;
}

// Lets the editor's timer run, so changes queued on other threads reach the view.
inline void pumpMessages (int milliseconds = 100)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// Runs the message loop until `done` holds, or for at most `timeoutMs`; whether it held. Waiting
// for the outcome rather than a fixed time keeps a loaded machine from failing a test.
template <typename Condition>
bool pumpUntil (Condition done, int timeoutMs = 5000)
{
    const auto deadline = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (timeoutMs);
    while (! done())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return false;
        pumpMessages (5);
    }
    return true;
}

// A processor with its editor open, as a host would have them.
class EditorTest : public ::testing::Test
{
protected:
    EditorTest() { open(); }
    ~EditorTest() override
    {
        close();
        configHome.forgetEditorSize();
    }

    void open()
    {
        editor.reset (dynamic_cast<TarnwellAudioProcessorEditor*> (processor.createEditorIfNeeded()));
        ASSERT_NE (editor, nullptr);
    }

    void close() { editor.reset(); }

    TarnwellView& view() { return editor->getView(); }
    juce::Slider& slider (int index)
    {
        auto* found = child<juce::Slider> (view(), sliderNames[index]);
        if (found == nullptr)
            throw std::logic_error ("the view has no such slider"); // fails the test, not the run
        return *found;
    }
    juce::String readout (int index) { return child<juce::Label> (view(), readoutNames[index])->getText(); }
    T60View& graph() { return *graphOf (view()); }

    // Lets the editor's timer run until every control and readout shows the processor's value.
    bool settle()
    {
        return pumpUntil ([this] {
            for (int i = 0; i < 5; ++i)
                if (slider (i).getValue() != static_cast<double> (processor.controls().parameter (i))
                    || readout (i) != processor.controls().parameterText (i))
                    return false;
            return true;
        });
    }

    TarnwellAudioProcessor processor;
    std::unique_ptr<TarnwellAudioProcessorEditor> editor;
};
} // namespace tarnwell::test::ui
