#include "host/vst2/PluginIdentity.h"

#include <cstring>

namespace tarnwell::identity
{
int canDo (const char* text) noexcept
{
    if (text == nullptr)
        return 0;

    struct Answer
    {
        const char* text;
        int answer;
    };

    static constexpr Answer answers[] = {
        { "receiveVstEvents", -1 },  { "receiveVstMidiEvent", -1 },  { "receiveVstMidiEvents", -1 },
        { "sendVstEvents", -1 },     { "sendVstMidiEvent", -1 },     { "sendVstMidiEvents", -1 },
        { "receiveVstTimeInfo", 1 }, { "conformsToWindowRules", 1 },
    };

    for (const auto& a : answers)
        if (std::strcmp (text, a.text) == 0)
            return a.answer;

    return 0;
}
} // namespace tarnwell::identity
