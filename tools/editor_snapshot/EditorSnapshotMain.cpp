// editor_snapshot OUT.png [SCALE]
//
// Renders the editor of a fresh processor offscreen and writes it as a PNG.

#include "editor/EditorSnapshot.h"
#include "host/juce_formats/TarnwellAudioProcessor.h"

#include <cstdio>

int main (int argc, char** argv)
{
    if (argc < 2 || argc > 3)
    {
        std::fprintf (stderr, "usage: editor_snapshot OUT.png [SCALE]\n");
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juce;
    const float scale = argc == 3 ? juce::jlimit (0.25f, 8.0f, juce::String (argv[2]).getFloatValue()) : 1.0f;

    tarnwell::TarnwellAudioProcessor processor;
    const auto out = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    if (! tarnwell::writeEditorSnapshot (processor, out, scale))
    {
        std::fprintf (stderr, "editor_snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
