#include "host/editor_hosting/DesktopScale.h"

namespace tarnwell
{
float desktopScale()
{
    return 0.0f; // a DPI-aware host's windows, and with them JUCE's, follow the monitor
}
} // namespace tarnwell
