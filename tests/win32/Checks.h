#pragma once

#include <cstdio>
#include <string>

// The Windows test hosts' checks: each failure is printed with its line, and the host ends
// with "N passed, N failed" (one executable, one translation unit each).
namespace tarnwell::checks
{
inline int passed = 0, failed = 0;

inline bool check (bool ok, const char* what, int line, const std::string& detail = {})
{
    if (ok)
        ++passed;
    else
    {
        ++failed;
        std::printf ("FAILED line %d: %s%s%s\n", line, what, detail.empty() ? "" : " -- ", detail.c_str());
    }
    return ok;
}
} // namespace tarnwell::checks

#define CHECK(condition) tarnwell::checks::check ((condition), #condition, __LINE__)
#define CHECK_TEXT(actual, expected) tarnwell::checks::check ((actual) == (expected), #actual " == " #expected, __LINE__, "got \"" + (actual) + "\"")
