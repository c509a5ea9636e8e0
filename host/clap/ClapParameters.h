#pragma once

#include "host/clap/ClapExtensionsAbi.h"
#include "processor/InstanceCore.h"

#include <optional>

namespace tarnwell
{
// The five parameters as a CLAP host sees them: ids 0..4 (the parameter indices, which never
// change), values in the units of the LV2 ports (seconds, hertz, per cent), the stored defaults,
// and the texts and typed values of the other formats.
namespace clapParameters
{
// [main-thread]
bool describe (std::uint32_t index, clap::ParamInfo&) noexcept;

// [thread-safe] The parameter index of an id; nothing for an unknown one.
std::optional<int> indexOf (clap::Id) noexcept;

// [thread-safe] A value in the parameter's unit for a normalised one, and back (clamped).
double valueOf (int index, float normalised) noexcept;
float normalisedOf (int index, double value) noexcept;

// [main-thread] "3.50 sec": into `text` of `capacity` bytes, cut to fit.
bool toText (InstanceCore::Controls, int index, double value, char* text, std::uint32_t capacity);

// [main-thread] A typed value ("2.5", "2.5 s", "1.2 kHz"), as a value in the unit.
std::optional<double> fromText (int index, const char* text);

// [audio-thread] Applies a parameter-value event; any other event is left alone. Sets only.
// (A flush while the host is not processing takes the audio thread's part on the main thread.)
void apply (InstanceCore::Audio, const clap::EventHeader&) noexcept;
} // namespace clapParameters
} // namespace tarnwell
