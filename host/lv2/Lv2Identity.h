#pragma once

#include "host/ProductIdentity.h"

// What Tarnwell tells an LV2 host about itself, beside the parameter table. The URIs are the
// ones the earlier bundle published: hosts' saved sessions name them.
namespace tarnwell::lv2
{
constexpr const char* pluginUri = product::lv2Uri;
constexpr const char* uiUri = product::lv2UiUri;
constexpr const char* stateKeyUri = product::lv2StateKeyUri;

// The plug-in's binary holds no GUI, so hosts without a display load it; the UI's is apart.
constexpr const char* binaryName = "Tarnwell.so";
constexpr const char* uiBinaryName = "TarnwellUi.so";
constexpr const char* pluginTurtle = "Tarnwell.ttl";
constexpr const char* uiTurtle = "TarnwellUi.ttl";

constexpr const char* productName = product::name;
constexpr const char* vendorName = product::vendor;
constexpr const char* vendorHomepage = product::vendorUrl;
constexpr const char* license = "https://spdx.org/licenses/GPL-3.0-or-later";

// Above the earlier bundle's 0.0, so a host that finds both prefers this one.
constexpr int minorVersion = 2;
constexpr int microVersion = 0;
} // namespace tarnwell::lv2
