#include "host/standalone/FollowDesktopScale.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <utility>
#include <vector>

namespace tarnwell::standalone
{
void followDesktopScale (float wanted)
{
    auto& desktop = juce::Desktop::getInstance();
    const auto* display = desktop.getDisplays().getPrimaryDisplay();
    if (wanted <= 0.0f || display == nullptr)
        return;

    const auto global = desktop.getGlobalScaleFactor();
    const auto juceOwn = static_cast<float> (display->scale) / global;
    if (juceOwn <= 0.0f || juce::approximatelyEqual (global, wanted / juceOwn))
        return;

    // JUCE keeps each window's size in device pixels when the global scale changes, which
    // would squeeze the layout; the windows keep their layout sizes instead and so take the
    // new scale.
    std::vector<std::pair<juce::Component::SafePointer<juce::Component>, juce::Rectangle<int>>> windows;
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* window = desktop.getComponent (i))
            windows.emplace_back (window, window->getBounds());
    desktop.setGlobalScaleFactor (wanted / juceOwn);
    for (auto& [window, bounds] : windows)
        if (window != nullptr)
            window->setBounds (bounds);
}
} // namespace tarnwell::standalone
