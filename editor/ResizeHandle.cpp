#include "editor/ResizeHandle.h"

namespace tarnwell
{
namespace
{
const juce::Colour gripColour { 0xb0ffffff };
} // namespace

ResizeHandle::ResizeHandle() : juce::Component ("resizeHandle")
{
    setMouseCursor (juce::MouseCursor::BottomRightCornerResizeCursor);
    setRepaintsOnMouseActivity (true);
}

void ResizeHandle::paint (juce::Graphics& g)
{
    if (! isMouseOverOrDragging())
        return;

    // Three short diagonals, drawn as lines (not a picture), so they are sharp at any zoom.
    g.setColour (gripColour);
    const auto s = static_cast<float> (size);
    for (const float inset : { 2.0f, 5.5f, 9.0f })
        g.drawLine (inset, s - 1.0f, s - 1.0f, inset, 1.0f);
}

namespace
{
// On the screen, where a zoom that changes during the drag moves nothing.
juce::Rectangle<float> shownArea (juce::Component& editor)
{
    return editor.localAreaToGlobal (editor.getLocalBounds().toFloat());
}

juce::Point<float> pointer (const juce::MouseEvent& e)
{
    return e.eventComponent->localPointToGlobal (e.position);
}
} // namespace

void ResizeHandle::mouseDown (const juce::MouseEvent& e)
{
    if (auto* editor = getParentComponent())
        grip = shownArea (*editor).getBottomRight() - pointer (e);
}

void ResizeHandle::mouseDrag (const juce::MouseEvent& e)
{
    auto* editor = getParentComponent();
    if (editor == nullptr || onDrag == nullptr)
        return;
    const auto shown = shownArea (*editor);
    if (shown.getWidth() <= 0.0f || shown.getHeight() <= 0.0f)
        return;

    // The corner stays where the user took it, relative to the pointer.
    const auto corner = pointer (e) + grip;
    onDrag ((corner.x - shown.getX()) / shown.getWidth(), (corner.y - shown.getY()) / shown.getHeight());
}
} // namespace tarnwell
