#pragma once

#include <string>

// The bundle's Turtle files, written at build time from the parameter table and the LV2
// identity, so the ports a host reads and the ports the glue serves cannot drift apart.
namespace tarnwell::lv2::turtle
{
std::string manifest();
std::string plugin();
std::string ui();
} // namespace tarnwell::lv2::turtle
