#include "host/lv2/Lv2Presets.h"

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Ports.h"
#include "processor/NumberText.h"

#include <cmath>
#include <sstream>

namespace tarnwell::lv2::presets
{
namespace
{
    // Turtle's decimal form of fixed-point text: a point is always there.
    std::string decimal (const char* first, const char* last)
    {
        std::string text (first, last);
        if (text.find_first_of (".e") == std::string::npos)
            text += ".0";
        return text;
    }

    std::string escaped (const char* text)
    {
        std::string result;
        for (const char* c = text; *c != 0; ++c)
            result += (*c == '"' || *c == '\\') ? std::string ("\\") + *c : std::string (1, *c);
        return result;
    }
} // namespace

// A port holds a float in seconds, hertz or per cent, read from the text as a double first,
// as LV2 hosts read it; many such floats play the same normalised value. Of the decimals that
// do, the fewest digits: 0.3, not the 0.29999998 a float's own shortest text may be.
std::string portValueText (int parameter, float normalised)
{
    const float port = portValueOf (parameter, normalised);
    const float plays = normalisedOfPort (parameter, port);
    char digits[64];
    for (int places = 0; places <= 9; ++places)
    {
        const double scale = std::pow (10.0, places);
        for (const double candidate : { std::floor (static_cast<double> (port) * scale) / scale,
                                        std::ceil (static_cast<double> (port) * scale) / scale })
        {
            const auto end = numberText::fixed (digits, digits + sizeof (digits), candidate, places);
            double read = 0.0;
            numberText::parse (digits, end, read);
            if (normalisedOfPort (parameter, static_cast<float> (read)) == plays)
                return decimal (digits, end);
        }
    }
    return decimal (digits, numberText::shortestFixed (digits, digits + sizeof (digits), port));
}

std::string uri (const FactoryPreset& preset)
{
    return std::string (pluginUri) + "#preset-" + factoryPresets::slug (preset);
}

std::string manifestEntries()
{
    std::ostringstream out;
    for (int i = 0; i < factoryPresets::count(); ++i)
        out << "\n<" << uri (*factoryPresets::at (i)) << ">\n"
            << "    a <http://lv2plug.in/ns/ext/presets#Preset> ;\n"
            << "    lv2:appliesTo <" << pluginUri << "> ;\n"
            << "    rdfs:seeAlso <" << turtleFile << "> .\n";
    return out.str();
}

std::string turtle()
{
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    for (int i = 0; i < factoryPresets::count(); ++i)
    {
        const auto& preset = *factoryPresets::at (i);
        out << "\n<" << uri (preset) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << pluginUri << "> ;\n"
            << "    rdfs:label \"" << escaped (preset.name) << "\" ;\n"
            << "    rdfs:comment \"" << escaped (preset.summary) << "\" ;\n"
            << "    lv2:port";
        for (int p = 0; p < parameters::count; ++p)
            out << (p == 0 ? "" : " ,") << " [\n"
                << "        lv2:symbol \"" << parameters::name (p) << "\" ;\n"
                << "        pset:value " << portValueText (p, preset.normalised[static_cast<size_t> (p)]) << " ;\n"
                << "    ]";
        out << " .\n";
    }
    return out.str();
}
} // namespace tarnwell::lv2::presets
