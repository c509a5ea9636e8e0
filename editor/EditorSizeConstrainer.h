#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace tarnwell
{
// EditorSize for JUCE's wrappers: the VST3 wrapper (canResize, checkSizeConstraint, onSize) and
// the standalone window ask an editor's constrainer which sizes it takes. Any size is snapped
// to the nearest one EditorSize allows, the edge the user holds staying where it is.
class EditorSizeConstrainer final : public juce::ComponentBoundsConstrainer
{
public:
    EditorSizeConstrainer();

    void checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previousBounds,
                      const juce::Rectangle<int>& limits, bool isStretchingTop, bool isStretchingLeft,
                      bool isStretchingBottom, bool isStretchingRight) override;
};
} // namespace tarnwell
