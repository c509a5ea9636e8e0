#include "editor/RememberedZoom.h"

#include "editor/EditorSize.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tarnwell::rememberedZoom
{
namespace
{
const char* const key = "zoom=";

juce::File configFolder()
{
#ifdef _WIN32
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory); // %APPDATA%
#else
    // As the XDG base directories say: only an absolute path counts.
    const juce::String fromEnvironment (std::getenv ("XDG_CONFIG_HOME"));
    if (juce::File::isAbsolutePath (fromEnvironment))
        return juce::File (fromEnvironment);
    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".config");
#endif
}
} // namespace

juce::File settingsFile()
{
    return configFolder().getChildFile ("Tarnwell").getChildFile ("editor.settings");
}

float load()
{
    const auto file = settingsFile();
    if (! file.existsAsFile() || file.getSize() > 4096)
        return EditorSize::minZoom;

    juce::StringArray lines;
    file.readLines (lines);
    for (const auto& line : lines)
    {
        if (! line.startsWith (key))
            continue;
        // The whole rest of the line must be the number: anything else is no zoom.
        const auto number = line.substring (static_cast<int> (std::strlen (key))).trim().toStdString();
        char* end = nullptr;
        errno = 0;
        const float zoom = std::strtof (number.c_str(), &end);
        if (! number.empty() && end == number.c_str() + number.size() && errno == 0)
            return EditorSize::clampZoom (zoom);
        break;
    }
    return EditorSize::minZoom;
}

void save (float zoom)
{
    const auto wanted = EditorSize::clampZoom (zoom);
    if (settingsFile().existsAsFile() && load() == wanted)
        return;

    const auto file = settingsFile();
    if (! file.getParentDirectory().createDirectory())
        return;
    // Through a temporary file, so a reader never sees half of it.
    file.replaceWithText (juce::String (key) + juce::String (wanted, 9) + "\n");
}
} // namespace tarnwell::rememberedZoom
