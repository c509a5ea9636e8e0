#include "host/lv2/Lv2Turtle.h"

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Ports.h"
#include "host/lv2/Lv2Presets.h"
#include "processor/NumberText.h"
#include "processor/ParameterTable.h"

#include <sstream>

namespace tarnwell::lv2::turtle
{
namespace
{
const char* const prefixes = "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                             "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                             "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                             "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
                             "@prefix pprop: <http://lv2plug.in/ns/ext/port-props#> .\n"
                             "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                             "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                             "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                             "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                             "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                             "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// Turtle decimals, exact and independent of the C locale.
std::string decimal (double value)
{
    char digits[64];
    const auto end = numberText::shortestFixed (digits, digits + sizeof (digits), value);
    std::string text (digits, end);
    if (text.find ('.') == std::string::npos)
        text += ".0";
    return text;
}

std::string ref (const char* uri)
{
    return std::string ("<") + uri + ">";
}

void audioPort (std::ostream& out, Port index, const char* symbol, const char* name, bool input, bool left)
{
    out << "    [\n"
        << "        a lv2:AudioPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << symbol << "\" ;\n"
        << "        lv2:name \"" << name << "\" ;\n"
        << "        pg:group <" << pluginUri << (input ? "#in" : "#out") << "> ;\n"
        << "        lv2:designation " << (left ? "pg:left" : "pg:right") << " ;\n"
        << "    ] ,\n";
}

const char* unitOf (int parameter)
{
    const std::string unit = parameters::describe (parameter).unit;
    return unit == "s" ? "units:s" : unit == "Hz" ? "units:hz" : "units:pc";
}

// Ports hold the value in the displayed unit. The default is the stored default's port
// value: as its text shows it (6700 Hz), which reads back as the stored default itself.
void parameterPort (std::ostream& out, int parameter)
{
    const auto& d = parameters::describe (parameter);
    const auto shownDefault = static_cast<double> (portValueOf (parameter, static_cast<float> (d.storedDefault)));
    out << "    [\n"
        << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << portOf (parameter) << " ;\n"
        << "        lv2:symbol \"" << parameters::name (parameter) << "\" ;\n"
        << "        lv2:name \"" << parameters::name (parameter) << "\" ;\n"
        << "        lv2:default " << decimal (shownDefault) << " ;\n"
        << "        lv2:minimum " << decimal (d.displayMinimum) << " ;\n"
        << "        lv2:maximum " << decimal (d.displayMaximum) << " ;\n";
    if (parameter == parameters::transition)
        out << "        lv2:portProperty pprop:logarithmic ;\n";
    out << "        units:unit " << unitOf (parameter) << " ;\n"
        << "    ] ,\n";
}
} // namespace

std::string manifest()
{
    std::ostringstream out;
    out << prefixes << ref (pluginUri) << "\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << binaryName << "> ;\n"
        << "    rdfs:seeAlso <" << pluginTurtle << "> .\n\n"
        << ref (uiUri) << "\n"
        << "    a ui:X11UI ;\n"
        << "    ui:binary <" << uiBinaryName << "> ;\n"
        << "    rdfs:seeAlso <" << uiTurtle << "> .\n"
        << presets::manifestEntries();
    return out.str();
}

std::string plugin()
{
    const std::string uri (pluginUri);
    std::ostringstream out;
    out << prefixes << "<" << uri << "#in>\n"
        << "    a pg:StereoGroup , pg:InputGroup ;\n"
        << "    lv2:symbol \"in\" ;\n"
        << "    rdfs:label \"Input\" .\n\n"
        << "<" << uri << "#out>\n"
        << "    a pg:StereoGroup , pg:OutputGroup ;\n"
        << "    lv2:symbol \"out\" ;\n"
        << "    rdfs:label \"Output\" ;\n"
        << "    pg:source <" << uri << "#in> .\n\n"
        << "<" << uri << ">\n"
        << "    a lv2:Plugin , lv2:ReverbPlugin , doap:Project ;\n"
        << "    doap:name \"" << productName << "\" ;\n"
        << "    doap:license " << ref (license) << " ;\n"
        << "    doap:maintainer [\n"
        << "        a foaf:Organization ;\n"
        << "        foaf:name \"" << vendorName << "\" ;\n"
        << "        foaf:homepage " << ref (vendorHomepage) << " ;\n"
        << "    ] ;\n"
        << "    lv2:minorVersion " << minorVersion << " ;\n"
        << "    lv2:microVersion " << microVersion << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
        << "    lv2:extensionData state:interface ;\n"
        << "    pg:mainInput <" << uri << "#in> ;\n"
        << "    pg:mainOutput <" << uri << "#out> ;\n"
        << "    ui:ui " << ref (uiUri) << " ;\n"
        << "    lv2:port\n";

    audioPort (out, inLeft, "in_left", "Left In", true, true);
    audioPort (out, inRight, "in_right", "Right In", true, false);
    audioPort (out, outLeft, "out_left", "Left Out", false, true);
    audioPort (out, outRight, "out_right", "Right Out", false, false);
    for (int i = 0; i < parameters::count; ++i)
        parameterPort (out, i);

    out << "    [\n"
        << "        a lv2:OutputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << latency << " ;\n"
        << "        lv2:symbol \"latency\" ;\n"
        << "        lv2:name \"Latency\" ;\n"
        << "        lv2:designation lv2:latency ;\n"
        << "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
        << "        units:unit units:frame ;\n"
        << "        lv2:minimum 0 ;\n"
        << "        lv2:maximum 0 ;\n"
        << "    ] ,\n"
        << "    [\n"
        << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << enabled << " ;\n"
        << "        lv2:symbol \"enabled\" ;\n"
        << "        lv2:name \"Enabled\" ;\n"
        << "        lv2:designation lv2:enabled ;\n"
        << "        lv2:portProperty lv2:toggled ;\n"
        << "        lv2:default 1 ;\n"
        << "        lv2:minimum 0 ;\n"
        << "        lv2:maximum 1 ;\n"
        << "    ] .\n";
    return out.str();
}

std::string ui()
{
    std::ostringstream out;
    out << prefixes << ref (uiUri) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize ;\n"
        << "    lv2:extensionData ui:idleInterface";
    for (int i = 0; i < parameters::count; ++i)
        out << " ;\n    ui:portNotification [\n"
            << "        ui:plugin " << ref (pluginUri) << " ;\n"
            << "        lv2:symbol \"" << parameters::name (i) << "\" ;\n"
            << "        ui:protocol ui:floatProtocol ;\n"
            << "    ]";
    out << " .\n";
    return out.str();
}
} // namespace tarnwell::lv2::turtle
