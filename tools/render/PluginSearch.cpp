#include "tools/render/PluginSearch.h"

namespace tarnwell::render
{
juce::Array<juce::File> tarnwellCandidates()
{
    const auto exe = juce::File::getSpecialLocation (juce::File::currentExecutableFile);
    juce::Array<juce::File> candidates;
#if JUCE_WINDOWS
    candidates.add (exe.getSiblingFile ("Tarnwell.dll"));
    const auto programs = juce::File::getSpecialLocation (juce::File::globalApplicationsDirectory);
    candidates.add (programs.getChildFile ("Common Files/VST3/Tarnwell.vst3"));
    candidates.add (programs.getChildFile ("VSTPlugins/Tarnwell.dll"));
    candidates.add (programs.getChildFile ("Steinberg/VSTPlugins/Tarnwell.dll"));
#else
    candidates.add (exe.getSiblingFile ("Tarnwell.so"));
    candidates.add (exe.getParentDirectory().getParentDirectory().getSiblingFile ("host").getChildFile ("Tarnwell.so"));
    // Each folder set in the order VST 2, VST3, LV2, CLAP.
    for (const auto* folders : { "~/.vst ~/.vst3 ~/.lv2 ~/.clap",
                                 "/usr/local/lib/vst /usr/local/lib/vst3 /usr/local/lib/lv2 /usr/local/lib/clap",
                                 "/usr/lib/vst /usr/lib/vst3 /usr/lib/lv2 /usr/lib/clap" })
    {
        const auto names = juce::StringArray::fromTokens (folders, false);
        candidates.add (juce::File (names[0]).getChildFile ("Tarnwell.so"));
        candidates.add (juce::File (names[1]).getChildFile ("Tarnwell.vst3"));
        candidates.add (juce::File (names[2]).getChildFile ("Tarnwell.lv2"));
        candidates.add (juce::File (names[3]).getChildFile ("Tarnwell.clap"));
    }
#endif
    return candidates;
}

juce::File findTarnwell()
{
    const auto candidates = tarnwellCandidates();
    for (const auto& candidate : candidates)
        if (candidate.exists())
            return candidate;
    return candidates.getLast();
}

juce::String noTarnwellFound()
{
    juce::StringArray places;
    for (const auto& candidate : tarnwellCandidates())
        places.add (candidate.getFullPathName());
    return "found no Tarnwell plug-in; looked for " + places.joinIntoString (", ") + "; name one with --plugin PATH";
}
} // namespace tarnwell::render
