#include "processor/NumberText.h"

#include <charconv>

#if ! defined(__cpp_lib_to_chars)
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#endif

namespace tarnwell::numberText
{
#if defined(__cpp_lib_to_chars)

char* general (char* first, char* last, double value, int precision) noexcept
{
    return std::to_chars (first, last, value, std::chars_format::general, precision).ptr;
}

char* fixed (char* first, char* last, double value, int precision) noexcept
{
    return std::to_chars (first, last, value, std::chars_format::fixed, precision).ptr;
}

char* shortestFixed (char* first, char* last, double value) noexcept
{
    return std::to_chars (first, last, value, std::chars_format::fixed).ptr;
}

char* shortestFixed (char* first, char* last, float value) noexcept
{
    return std::to_chars (first, last, value, std::chars_format::fixed).ptr;
}

Parsed parse (const char* first, const char* last, double& value) noexcept
{
    const auto result = std::from_chars (first, last, value, std::chars_format::general);
    return { result.ptr, result.ec };
}

#else

namespace
{
// The "C" locale for this thread while it lives, whatever the host has set.
class CLocale
{
public:
    CLocale() noexcept : previous (uselocale (c())) {}
    ~CLocale() { uselocale (previous); }
    CLocale (const CLocale&) = delete;
    CLocale& operator= (const CLocale&) = delete;

private:
    static locale_t c() noexcept
    {
        static const locale_t locale = newlocale (LC_ALL_MASK, "C", nullptr);
        return locale;
    }
    locale_t previous;
};

char* printed (char* first, char* last, const char* format, int precision, double value) noexcept
{
    CLocale c;
    const int size = std::snprintf (first, static_cast<size_t> (last - first), format, precision, value);
    return size < 0 || size >= last - first ? last : first + size;
}
} // namespace

char* general (char* first, char* last, double value, int precision) noexcept
{
    return printed (first, last, "%.*g", precision, value);
}

char* fixed (char* first, char* last, double value, int precision) noexcept
{
    return printed (first, last, "%.*f", precision, value);
}

char* shortestFixed (char* first, char* last, double value) noexcept
{
    CLocale c;
    char* end = last;
    for (int precision = 0; precision <= 1100; ++precision)
    {
        end = printed (first, last, "%.*f", precision, value);
        if (end == last || std::strtod (std::string (first, end).c_str(), nullptr) == value || ! std::isfinite (value))
            break;
    }
    return end;
}

char* shortestFixed (char* first, char* last, float value) noexcept
{
    CLocale c;
    char* end = last;
    for (int precision = 0; precision <= 160; ++precision)
    {
        end = printed (first, last, "%.*f", precision, static_cast<double> (value));
        if (end == last || std::strtof (std::string (first, end).c_str(), nullptr) == value || ! std::isfinite (value))
            break;
    }
    return end;
}

Parsed parse (const char* first, const char* last, double& value) noexcept
{
    if (first == last || *first == '+' || *first == ' ' || *first == '\t' || *first == '\n' || *first == '\r')
        return { first, std::errc::invalid_argument };

    // Only decimal digits: "0x1p3" reads as 0, as std::from_chars reads it.
    std::string text (first, last);
    const size_t sign = text[0] == '-' ? 1 : 0;
    if (text.size() > sign + 1 && text[sign] == '0' && (text[sign + 1] == 'x' || text[sign + 1] == 'X'))
        text.resize (sign + 1);

    CLocale c;
    char* end = nullptr;
    errno = 0;
    const double read = std::strtod (text.c_str(), &end);
    if (end == text.c_str())
        return { first, std::errc::invalid_argument };
    const char* ptr = first + (end - text.c_str());
    // Too large, or so small it reads as zero; subnormal numbers are read.
    if (errno == ERANGE && (std::isinf (read) || read == 0.0))
        return { ptr, std::errc::result_out_of_range };
    value = read;
    return { ptr, std::errc() };
}

#endif
} // namespace tarnwell::numberText
