#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace tarnwell
{
// The corner the user drags to make the editor larger or smaller. It draws its grip only while
// the mouse is over it, so the editor at rest looks as it always has; the cursor shows it too.
// It resizes nothing itself: it says how much larger than now the user wants the editor, in
// each direction, and whoever zooms the editor decides. Message thread only.
class ResizeHandle final : public juce::Component
{
public:
    ResizeHandle();

    static constexpr int size = 12;

    // Width and height factors over the editor's present size (1: no change).
    std::function<void (float widthFactor, float heightFactor)> onDrag;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;

private:
    // Where in the handle it was taken, from the editor's corner, on the screen.
    juce::Point<float> grip;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ResizeHandle)
};
} // namespace tarnwell
