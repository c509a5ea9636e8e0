#include "host/VstEffect.h"

namespace
{
AEffect* enter (audioMasterCallback host) noexcept
{
    if (host == nullptr)
        return nullptr;

    try
    {
        // A host that does not speak VST 2 gets nothing.
        if (host (nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;

        if (auto* instance = tarnwell::VstEffect::create (host))
            return instance->getAEffect();
    }
    catch (...)
    {
    }
    return nullptr;
}
} // namespace

// The two names hosts look for; "main" is the older one, spelled through asm since a C++
// function may not be called main.
extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback host);
extern "C" __attribute__ ((visibility ("default"))) AEffect* tarnwellLegacyMain (audioMasterCallback host) asm ("main");

AEffect* VSTPluginMain (audioMasterCallback host) { return enter (host); }
AEffect* tarnwellLegacyMain (audioMasterCallback host) { return enter (host); }
