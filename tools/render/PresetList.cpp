#include "tools/render/PresetList.h"

#include "processor/FactoryPresets.h"

namespace tarnwell::render
{
juce::String presetList()
{
    juce::StringArray rows[parameters::count + 2];
    rows[0].add ("Preset");
    for (int p = 0; p < parameters::count; ++p)
        rows[p + 1].add (parameters::name (p));
    rows[parameters::count + 1].add ("");

    for (int i = 0; i < factoryPresets::count(); ++i)
    {
        const auto& preset = *factoryPresets::at (i);
        rows[0].add (preset.name);
        for (int p = 0; p < parameters::count; ++p)
            rows[p + 1].add (
                parameters::text (p, parameters::engineValue (p, preset.normalised[static_cast<size_t> (p)])));
        rows[parameters::count + 1].add (preset.summary);
    }

    juce::String result;
    for (int line = 0; line < rows[0].size(); ++line)
    {
        juce::String text;
        for (const auto& column : rows)
        {
            int width = 0;
            for (const auto& cell : column)
                width = juce::jmax (width, cell.length());
            text += (&column == &rows[0] ? "" : "  ")
                + column[line].paddedRight (' ', &column == &rows[parameters::count + 1] ? 0 : width);
        }
        result += text.trimEnd() + "\n";
    }
    return result;
}
} // namespace tarnwell::render
