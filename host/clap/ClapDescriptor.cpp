#include "host/clap/ClapDescriptor.h"

#include "host/ProductIdentity.h"

namespace tarnwell
{
const clap::PluginDescriptor& clapDescriptor() noexcept
{
    static const char* const features[] = { "audio-effect", "reverb", "stereo", nullptr };
    static const clap::PluginDescriptor descriptor { clap::version,
                                                     clapPluginId,
                                                     product::name,
                                                     product::vendor,
                                                     product::vendorUrl,
                                                     product::vendorUrl,
                                                     product::vendorUrl,
                                                     product::version,
                                                     "A stereo reverb: sixteen delay lines with two-band decay",
                                                     features };
    return descriptor;
}
} // namespace tarnwell
