// Writes the factory presets' VST3 and VST 2.4 files into the folder given: run by the build.
//   OUT/vst3/<Name>.vstpreset   OUT/fxp/<Name>.fxp

#include "host/presets/PresetFiles.h"

#include <cstdio>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }

    namespace presets = tarnwell::factoryPresets;
    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    for (const auto& [kind, extension] : { std::pair ("vst3", ".vstpreset"), std::pair ("fxp", ".fxp") })
    {
        // A renamed or removed preset leaves no file behind.
        const auto sub = folder.getChildFile (kind);
        sub.deleteRecursively();
        if (! sub.createDirectory())
        {
            std::fprintf (stderr, "cannot create %s\n", sub.getFullPathName().toRawUTF8());
            return 1;
        }
        for (int i = 0; i < presets::count(); ++i)
        {
            const auto& preset = *presets::at (i);
            const auto bytes = juce::String (kind) == "vst3" ? tarnwell::presetFiles::vst3 (preset)
                                                             : tarnwell::presetFiles::fxp (preset);
            const auto file = sub.getChildFile (juce::String (preset.name) + extension);
            if (! file.replaceWithData (bytes.getData(), bytes.getSize()))
            {
                std::fprintf (stderr, "cannot write %s\n", file.getFullPathName().toRawUTF8());
                return 1;
            }
        }
    }
    return 0;
}
