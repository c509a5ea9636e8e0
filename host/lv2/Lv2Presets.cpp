#include "host/lv2/Lv2Presets.h"

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Ports.h"
#include "processor/NumberText.h"

#include <sstream>

namespace tarnwell::lv2::presets
{
namespace
{
// The shortest decimal that reads back as the same float, whatever the C locale.
std::string decimal (double value)
{
    char digits[64];
    const auto end = numberText::shortestFixed (digits, digits + sizeof (digits), static_cast<float> (value));
    std::string text (digits, end);
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

double portValue (int parameter, float normalised) noexcept
{
    return static_cast<double> (portValueOf (parameter, normalised));
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
                << "        pset:value " << decimal (portValue (p, preset.normalised[static_cast<size_t> (p)]))
                << " ;\n"
                << "    ]";
        out << " .\n";
    }
    return out.str();
}
} // namespace tarnwell::lv2::presets
