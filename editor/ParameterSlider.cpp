#include "editor/ParameterSlider.h"

namespace tarnwell
{
ParameterSlider::ParameterSlider (const juce::String& name) : juce::Slider (name)
{
    setWantsKeyboardFocus (true);
}

std::optional<double> ParameterSlider::valueForKey (const juce::KeyPress& key, double current, double initial)
{
    // With a modifier a key belongs to the host or to focus moves (Shift+Tab), not to the value.
    if (key.getModifiers().isAnyModifierKeyDown())
        return std::nullopt;

    const auto code = key.getKeyCode();
    double step = 0.0;
    if (code == juce::KeyPress::upKey || code == juce::KeyPress::rightKey)
        step = fineStep;
    else if (code == juce::KeyPress::downKey || code == juce::KeyPress::leftKey)
        step = -fineStep;
    else if (code == juce::KeyPress::pageUpKey)
        step = coarseStep;
    else if (code == juce::KeyPress::pageDownKey)
        step = -coarseStep;
    else if (code == juce::KeyPress::homeKey)
        return initial;
    else
        return std::nullopt;

    return juce::jlimit (0.0, 1.0, current + step);
}

void ParameterSlider::setDefaultValue (double initial)
{
    defaultValue = initial;
    setDoubleClickReturnValue (true, initial);
}

bool ParameterSlider::keyPressed (const juce::KeyPress& key)
{
    const auto value = valueForKey (key, getValue(), defaultValue);
    if (! value.has_value() || ! isEnabled())
        return false;

    // At a range end the key is still ours, but nothing changes and the host hears nothing.
    if (*value != getValue())
    {
        const ScopedDragNotification gesture (*this);
        setValue (*value, juce::sendNotificationSync);
    }
    return true;
}

void ParameterSlider::focusGained (FocusChangeType cause)
{
    focusMarkChanged (cause != focusChangedByMouseClick);
}

void ParameterSlider::focusLost (FocusChangeType)
{
    focusMarkChanged (false);
}

void ParameterSlider::focusMarkChanged (bool shown)
{
    if (shown == focusMark)
        return;
    focusMark = shown;
    // The mark lies around the slider, in the parent's drawing.
    if (auto* parent = getParentComponent())
        parent->repaint (getBounds().expanded (focusMarkMargin));
}
} // namespace tarnwell
