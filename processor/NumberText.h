#pragma once

// Numbers as text and back, as std::to_chars and std::from_chars give them in any locale: the
// saved settings, the parameter texts and the LV2 Turtle files depend on the exact characters.
// Where the C++ library has no floating-point to_chars (GCC 10's, which builds the portable
// Linux binaries), printf and strtod in the "C" locale give the same characters.

#include <system_error>

namespace tarnwell::numberText
{
// printf's "%.<precision>g"; returns the end of the text.
char* general (char* first, char* last, double value, int precision) noexcept;

// printf's "%.<precision>f".
char* fixed (char* first, char* last, double value, int precision) noexcept;

// The fewest fixed-point digits that read back as the same double, or the same float.
char* shortestFixed (char* first, char* last, double value) noexcept;
char* shortestFixed (char* first, char* last, float value) noexcept;

struct Parsed
{
    const char* ptr;
    std::errc ec;
};

// std::from_chars with chars_format::general: no leading space or '+', no hexadecimal.
Parsed parse (const char* first, const char* last, double& value) noexcept;
} // namespace tarnwell::numberText
