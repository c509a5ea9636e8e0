#include "processor/ParameterValues.h"

#include "engine/NetworkSettings.h"

#include <cmath>
#include <cstring>

namespace tarnwell
{
namespace
{
    constexpr std::uint32_t countMask = 0x7fffffff; // the restore count kept in a word: 31 bits

    double engineStart (int index) noexcept { return parameters::get (NetworkSettings {}, index); }
} // namespace

double ParameterValues::Snapshot::engineValue (int index) const noexcept
{
    if (! parameters::isValid (index))
        return 0.0;
    const auto i = static_cast<size_t> (index);
    return atStart[i] ? engineStart (index) : parameters::engineValue (index, normalised[i]);
}

ParameterValues::Word ParameterValues::pack (float value, std::uint32_t restoreCount, bool atStart) noexcept
{
    std::uint32_t bits = 0;
    std::memcpy (&bits, &value, sizeof (bits));
    const auto high = ((restoreCount & countMask) << 1) | (atStart ? 1u : 0u);
    return (static_cast<Word> (high) << 32) | bits;
}

float ParameterValues::valueOf (Word word) noexcept
{
    const auto bits = static_cast<std::uint32_t> (word);
    float value = 0.0f;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

bool ParameterValues::isCurrent (Word word, std::uint32_t restoreCount) noexcept
{
    return static_cast<std::uint32_t> (word >> 33) == (restoreCount & countMask);
}

bool ParameterValues::isAtStart (Word word) noexcept { return ((word >> 32) & 1u) != 0; }

ParameterValues::ParameterValues() noexcept
{
    for (int i = 0; i < parameters::count; ++i)
        words[static_cast<size_t> (i)].store (pack (static_cast<float> (parameters::storedDefault (i)), 0, true));
}

void ParameterValues::set (int index, float normalised) noexcept
{
    if (! parameters::isValid (index))
        return;
    if (! std::isfinite (normalised))
        normalised = 0.0f;

    // A restore that lands between reading its count and storing would make this value stale
    // at once: store again under the new count, so the set counts as made after the restore.
    auto& word = words[static_cast<size_t> (index)];
    for (;;)
    {
        const auto count = restores.load();
        word.store (pack (normalised, count, false));
        if (restores.load() == count)
            break;
    }
    sets.fetch_add (1);
}

bool ParameterValues::trySnapshot (Snapshot& result) const noexcept
{
    const auto count = restores.load();
    const auto setsBefore = sets.load();
    const auto& slot = restoredSlots[count & 1];

    for (size_t i = 0; i < words.size(); ++i)
    {
        const auto word = words[i].load();
        if (isCurrent (word, count))
        {
            result.normalised[i] = valueOf (word);
            result.atStart[i] = isAtStart (word);
        }
        else
        {
            result.normalised[i] = slot[i].load();
            result.atStart[i] = false;
        }
    }

    return restores.load() == count && sets.load() == setsBefore;
}

ParameterValues::Snapshot ParameterValues::snapshot() const noexcept
{
    Snapshot result;
    while (! trySnapshot (result))
    {
    }
    return result;
}

float ParameterValues::normalised (int index) const noexcept
{
    if (! parameters::isValid (index))
        return 0.0f;
    const auto i = static_cast<size_t> (index);
    for (;;)
    {
        const auto count = restores.load();
        const auto word = words[i].load();
        const float value = isCurrent (word, count) ? valueOf (word) : restoredSlots[count & 1][i].load();
        if (restores.load() == count)
            return value;
    }
}

double ParameterValues::engineValue (int index) const noexcept
{
    if (! parameters::isValid (index))
        return 0.0;
    const auto i = static_cast<size_t> (index);
    for (;;)
    {
        const auto count = restores.load();
        const auto word = words[i].load();
        const bool current = isCurrent (word, count);
        const float value = current ? valueOf (word) : restoredSlots[count & 1][i].load();
        if (restores.load() == count)
            return current && isAtStart (word) ? engineStart (index) : parameters::engineValue (index, value);
    }
}

void ParameterValues::restore (const std::array<float, parameters::count>& normalised) noexcept
{
    // The slot not in use becomes current in one step; a reader still on the old count sees
    // the count move and reads again.
    const auto next = restores.load() + 1;
    auto& slot = restoredSlots[next & 1];
    for (size_t i = 0; i < slot.size(); ++i)
        slot[i].store (std::isfinite (normalised[i]) ? normalised[i] : 0.0f);
    restores.store (next);
}
} // namespace tarnwell
