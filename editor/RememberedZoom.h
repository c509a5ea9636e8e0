#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::rememberedZoom
{
// The editor's zoom the user chose last (EditorSize), kept per user in a small settings file and
// never in an instance's saved settings: $XDG_CONFIG_HOME/Tarnwell/editor.settings (with
// ~/.config when that is unset) on Linux, %APPDATA%\Tarnwell\editor.settings on Windows.
// Message thread only: the audio thread never comes near a file.
juce::File settingsFile();

// 1 (100 %) when the file is missing, unreadable or holds no zoom.
float load();

// Writes the zoom if the file holds another one. A file that cannot be written is left alone,
// quietly: the next editor then opens at the size the file gives.
void save (float zoom);
} // namespace tarnwell::rememberedZoom
