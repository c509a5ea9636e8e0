#include "host/editor_hosting/DesktopScale.h"

namespace tarnwell
{
struct DesktopScaleWatch::Watch
{};

// A DPI-aware host's windows, and with them JUCE's, follow the monitor: nothing to watch.
DesktopScaleWatch::DesktopScaleWatch (std::function<void()>) {}

DesktopScaleWatch::~DesktopScaleWatch() = default;

float DesktopScaleWatch::scale() const
{
    return 0.0f;
}
} // namespace tarnwell
