#include "tools/render/Lv2Bundle.h"

// The lilv that JUCE's LV2 hosting compiles in, so that both read bundles alike.
#include <lilv/lilv.h>

#include <memory>

namespace tarnwell::render
{
juce::StringArray pluginUrisInBundle (const juce::File& bundle)
{
    const std::unique_ptr<LilvWorld, decltype (&lilv_world_free)> world (lilv_world_new(), lilv_world_free);
    if (world == nullptr)
        return {};

    // lilv wants a bundle's URI with its trailing slash.
    const auto path = juce::File::addTrailingSeparator (bundle.getFullPathName());
    const std::unique_ptr<LilvNode, decltype (&lilv_node_free)> uri (lilv_new_file_uri (world.get(), nullptr,
                                                                                        path.toRawUTF8()),
                                                                     lilv_node_free);
    lilv_world_load_bundle (world.get(), uri.get());

    juce::StringArray uris;
    const auto* plugins = lilv_world_get_all_plugins (world.get());
    LILV_FOREACH (plugins, i, plugins)
    uris.add (juce::String::fromUTF8 (lilv_node_as_uri (lilv_plugin_get_uri (lilv_plugins_get (plugins, i)))));
    return uris;
}
} // namespace tarnwell::render
