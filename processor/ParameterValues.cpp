#include "processor/ParameterValues.h"

#include <cmath>
#include <cstring>

namespace tarnwell
{
double ParameterValues::Snapshot::engineValue (int index) const noexcept
{
    if (! parameters::isValid (index))
        return 0.0;
    return parameters::engineValue (index, normalised[static_cast<size_t> (index)]);
}

ParameterValues::Word ParameterValues::pack (float value, std::uint32_t restoreCount) noexcept
{
    std::uint32_t bits = 0;
    std::memcpy (&bits, &value, sizeof (bits));
    return (static_cast<Word> (restoreCount) << 32) | bits;
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
    return static_cast<std::uint32_t> (word >> 32) == restoreCount;
}

ParameterValues::ParameterValues() noexcept
{
    for (int i = 0; i < parameters::count; ++i)
        words[static_cast<size_t> (i)].store (pack (static_cast<float> (parameters::storedDefault (i)), 0));
}

void ParameterValues::set (int index, float normalised) noexcept
{
    if (! parameters::isValid (index))
        return;
    normalised = parameters::clamped (static_cast<double> (normalised));

    // A restore that lands between reading its count and storing would make this value stale
    // at once: store again under the new count, so the set counts as made after the restore.
    auto& word = words[static_cast<size_t> (index)];
    for (;;)
    {
        const auto count = restores.load();
        steppingSeam();
        word.store (pack (normalised, count));
        steppingSeam();
        if (restores.load() == count)
            break;
    }
    steppingSeam();
    sets.fetch_add (1);
}

bool ParameterValues::trySnapshot (Snapshot& result) const noexcept
{
    const auto count = restores.load();
    const auto setsBefore = sets.load();
    const auto& slot = restoredSlots[count & 1];

    for (size_t i = 0; i < words.size(); ++i)
    {
        steppingSeam();
        const auto word = words[i].load();
        result.normalised[i] = isCurrent (word, count) ? valueOf (word) : slot[i].load();
    }

    steppingSeam();
    return restores.load() == count && sets.load() == setsBefore;
}

ParameterValues::Snapshot ParameterValues::snapshot() const noexcept
{
    Snapshot result;
    while (! trySnapshot (result))
    {}
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
    return parameters::isValid (index) ? parameters::engineValue (index, normalised (index)) : 0.0;
}

void ParameterValues::restore (const std::array<float, parameters::count>& normalised) noexcept
{
    // The slot not in use becomes current in one step; a reader still on the old count sees
    // the count move and reads again.
    const auto next = restores.load() + 1;
    auto& slot = restoredSlots[next & 1];
    for (size_t i = 0; i < slot.size(); ++i)
        slot[i].store (parameters::clamped (static_cast<double> (normalised[i])));
    steppingSeam();
    restores.store (next);
}
} // namespace tarnwell
