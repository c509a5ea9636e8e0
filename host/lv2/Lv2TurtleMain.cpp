// Writes the LV2 bundle's Turtle files into the folder given: run by the build.

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Presets.h"
#include "host/lv2/Lv2Turtle.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace
{
bool write (const std::string& folder, const char* name, const std::string& text)
{
    std::ofstream file (folder + "/" + name, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool> (file.flush());
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s BUNDLE_FOLDER\n", argv[0]);
        return 2;
    }

    namespace lv2 = tarnwell::lv2;
    const std::string folder (argv[1]);
    if (! write (folder, "manifest.ttl", lv2::turtle::manifest())
        || ! write (folder, lv2::pluginTurtle, lv2::turtle::plugin())
        || ! write (folder, lv2::uiTurtle, lv2::turtle::ui())
        || ! write (folder, lv2::presets::turtleFile, lv2::presets::turtle()))
    {
        std::fprintf (stderr, "cannot write the Turtle files into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
