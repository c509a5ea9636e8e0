#include "tools/render/DecayReport.h"

#include "processor/DecayTail.h"
#include "tools/analysis/OctaveBands.h"

#include <cmath>

namespace tarnwell::render
{
std::optional<analysis::DecaySettings> decaySettingsOf (PluginRenderer& renderer, double sampleRate)
{
    // A text without its unit is a host's plain number (a normalised value, say), which is no
    // decay time: better no set decay, and a long enough response, than a wrong one.
    const auto physical = [&renderer] (const char* name, const char* unit) -> std::optional<double> {
        const auto text = renderer.getParameterText (name).trim();
        if (! text.endsWith (unit) || ! text.containsAnyOf ("0123456789"))
            return std::nullopt;
        return text.getDoubleValue();
    };

    const auto low = physical ("T60Low", " sec"), high = physical ("T60High", " sec");
    const auto transition = physical ("Transition", " Hz");
    if (! low || ! high || ! transition)
        return std::nullopt;
    return analysis::DecaySettings { *low, *high, *transition, sampleRate };
}

double impulseResponseSeconds (const std::optional<analysis::DecaySettings>& settings)
{
    if (! settings)
        return 12.0;
    return juce::jlimit (1.0, 20.0,
                         secondsToFall (juce::jmax (settings->t60Low, settings->t60High), tailDecibels) + 0.5);
}

double defaultTailSeconds (const std::optional<analysis::DecaySettings>& settings, const DecayReport& measured)
{
    double slowest = 0;
    if (settings)
        slowest = juce::jmax (settings->t60Low, settings->t60High);
    else
        for (const auto& band : measured.bands)
            if (std::isfinite (band.measured.t60))
                slowest = juce::jmax (slowest, band.measured.t60);
    return slowest > 0 ? juce::jmin (60.0, slowest + 0.5) : 2.0;
}

DecayReport makeDecayReport (PluginRenderer& renderer, const juce::AudioBuffer<float>& impulseResponse,
                             double sampleRate)
{
    DecayReport report;
    report.plugInName = renderer.getInstance().getName();
    report.sampleRate = sampleRate;

    // Mix is left out: the response is measured wet.
    juce::StringArray shown;
    for (const auto& name : renderer.getParameterNames())
        if (! name.equalsIgnoreCase ("Mix"))
            shown.add (name + " " + renderer.getParameterText (name));
    report.settings = shown.joinIntoString (", ");

    std::vector<const float*> channels;
    for (int ch = 0; ch < impulseResponse.getNumChannels(); ++ch)
        channels.push_back (impulseResponse.getReadPointer (ch));

    const auto settings = decaySettingsOf (renderer, sampleRate);
    for (const double centre : analysis::octaveBandCentres (sampleRate))
    {
        DecayReport::Band band;
        band.measured = analysis::measureBandDecay (channels, static_cast<size_t> (impulseResponse.getNumSamples()),
                                                    sampleRate, centre);
        if (settings)
            band.setT60 = analysis::designedT60 (*settings, centre);
        report.bands.push_back (std::move (band));
    }
    return report;
}

juce::String bandName (double centre)
{
    // Octave centres from 1 kHz up are whole kilohertz.
    return centre < 1000 ? juce::String (juce::roundToInt (centre)) + " Hz"
                         : juce::String (juce::roundToInt (centre / 1000)) + " kHz";
}

juce::String decayTable (const DecayReport& report)
{
    const auto seconds = [] (double t) { return std::isfinite (t) ? juce::String (t, 2) + " s" : juce::String ("-"); };
    const bool withSet = ! report.bands.empty() && report.bands.front().setT60.has_value();

    juce::String table = "Decay (T60) by octave band, wet impulse response:\n";
    table << "  band       measured" << (withSet ? "      set" : "") << "\n";
    for (const auto& band : report.bands)
    {
        const auto measured = band.measured.t60 > 0 ? seconds (band.measured.t60) : juce::String ("-");
        table << "  " << bandName (band.measured.centre).paddedRight (' ', 9) << measured.paddedLeft (' ', 10);
        if (band.setT60)
            table << seconds (*band.setT60).paddedLeft (' ', 10);
        table << "\n";
    }
    return table;
}
} // namespace tarnwell::render
