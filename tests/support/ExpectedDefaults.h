#pragma once

// What every host finds in a new Tarnwell, whatever the format: written once here, so that no
// test host can drift from the others. (A test states these on purpose instead of reading the
// parameter table, so a change there shows as a failure.)
namespace tarnwell::expected
{
constexpr const char* productName = "Tarnwell";
constexpr const char* vendor = "Quennet";

constexpr const char* parameterNames[] = { "T60Low", "T60High", "Transition", "Mix", "Diffusion" };

// The normalised values a new instance reports, saves and plays...
constexpr float storedDefaults[] = { 0.35f, 0.05f, 0.8490928f, 0.25f, 0.5f };

// ...which are 3.5 s, 0.5 s and 6700 Hz.
constexpr const char* defaultTexts[] = { "3.50 sec", "0.50 sec", "6700.00 Hz", "25.00%", "50.00%" };
} // namespace tarnwell::expected
