#pragma once

#include "processor/ParameterTable.h"
#include "processor/SteppingSeam.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace tarnwell
{
// The five parameters' normalised values, set and read from any thread, the audio thread
// included, without locks, allocation or waiting.
//
// A restore replaces all five at once: it fills a spare slot and then advances the restore
// count, which is what makes the slot current. Each value is one atomic word that also holds the
// restore count it was set under (a version tag), so a value set before the latest restore is
// seen as overwritten by it. Readers that want several values check that no set or restore came
// between their reads, so every snapshot is a state that some order of the calls gave: a seqlock
// over two slots, whose readers retry and whose writers take no lock.
class ParameterValues
{
public:
    struct Snapshot
    {
        std::array<float, parameters::count> normalised {};

        double engineValue (int index) const noexcept;

        bool operator== (const Snapshot& other) const noexcept { return normalised == other.normalised; }
        bool operator!= (const Snapshot& other) const noexcept { return ! (*this == other); }
    };

    // The stored defaults.
    ParameterValues() noexcept;

    // Any thread. An invalid index is ignored; the value is clamped to 0..1 (anything not
    // finite taken as 0), which would otherwise poison the network for good.
    void set (int index, float normalised) noexcept;

    // Any thread. 0 for an invalid index.
    float normalised (int index) const noexcept;
    double engineValue (int index) const noexcept;

    // All five as one consistent whole. snapshot() retries until it has one, which only a set or
    // restore made during its few loads can delay; trySnapshot() tries once, for the audio thread.
    Snapshot snapshot() const noexcept;
    bool trySnapshot (Snapshot& result) const noexcept;

    // Replaces all five at once, each clamped as set() clamps. Callers must be serialised among
    // themselves; set() need not be.
    void restore (const std::array<float, parameters::count>& normalised) noexcept;

private:
    using Word = std::uint64_t;
    static Word pack (float value, std::uint32_t restoreCount) noexcept;
    static float valueOf (Word) noexcept;
    static bool isCurrent (Word, std::uint32_t restoreCount) noexcept;

    std::array<std::atomic<Word>, parameters::count> words;
    std::array<std::array<std::atomic<float>, parameters::count>, 2> restoredSlots {};
    std::atomic<std::uint32_t> restores { 0 };
    std::atomic<std::uint32_t> sets { 0 };

    static_assert (std::atomic<Word>::is_always_lock_free, "parameter values must be lock-free");
    static_assert (std::atomic<float>::is_always_lock_free, "parameter values must be lock-free");
};
} // namespace tarnwell
