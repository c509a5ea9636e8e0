// The params extension: the records a host calls, over ClapParameters.

#include "host/clap/ClapExtensions.h"
#include "host/clap/ClapParameters.h"
#include "host/clap/ClapPlugin.h"
#include "processor/ParameterTable.h"

namespace tarnwell::clapExtensions
{
namespace
{
// [main-thread]
std::uint32_t TARNWELL_CLAP_CALL count (const clap::Plugin*)
{
    return parameters::count;
}

// [main-thread]
bool TARNWELL_CLAP_CALL info (const clap::Plugin*, std::uint32_t index, clap::ParamInfo* info)
{
    return info != nullptr && clapParameters::describe (index, *info);
}

// [main-thread]
bool TARNWELL_CLAP_CALL value (const clap::Plugin* p, clap::Id id, double* out)
{
    auto* self = ClapPlugin::from (p);
    const auto index = clapParameters::indexOf (id);
    if (self == nullptr || ! index || out == nullptr)
        return false;
    *out = clapParameters::valueOf (*index, self->controls().parameter (*index));
    return true;
}

// [main-thread]
bool TARNWELL_CLAP_CALL valueToText (const clap::Plugin* p, clap::Id id, double value, char* text,
                                     std::uint32_t capacity)
{
    auto* self = ClapPlugin::from (p);
    const auto index = clapParameters::indexOf (id);
    try
    {
        return self != nullptr && index && clapParameters::toText (self->controls(), *index, value, text, capacity);
    }
    catch (...)
    {
        return false;
    }
}

// [main-thread] Text that is no value of the parameter is refused.
bool TARNWELL_CLAP_CALL textToValue (const clap::Plugin*, clap::Id id, const char* text, double* out)
{
    const auto index = clapParameters::indexOf (id);
    if (! index || out == nullptr)
        return false;
    try
    {
        if (const auto v = clapParameters::fromText (*index, text))
        {
            *out = *v;
            return true;
        }
    }
    catch (...)
    {}
    return false;
}

// [active ? audio-thread : main-thread]
void TARNWELL_CLAP_CALL flush (const clap::Plugin* p, const clap::InputEvents* in, const clap::OutputEvents* out)
{
    if (auto* self = ClapPlugin::from (p))
        self->flush (in, out);
}
} // namespace

const clap::PluginParams params { &count, &info, &value, &valueToText, &textToValue, &flush };
} // namespace tarnwell::clapExtensions
