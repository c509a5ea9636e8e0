#include "host/vst2/VstEffect.h"

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
    {}
    return nullptr;
}
} // namespace

// [main-thread]
// The two names hosts look for; "main" is the older one. A C++ function may not be called
// main: on Linux it is spelled through asm, in the DLL exports.def makes it an alias.
#ifdef _WIN32
extern "C" AEffect* VSTPluginMain (audioMasterCallback host);
#else
extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback host);
extern "C" __attribute__ ((visibility ("default"))) AEffect* tarnwellLegacyMain (audioMasterCallback host) asm("main");

AEffect* tarnwellLegacyMain (audioMasterCallback host)
{
    return enter (host);
}
#endif

AEffect* VSTPluginMain (audioMasterCallback host)
{
    return enter (host);
}
