#pragma once

#include "processor/ParameterTable.h"

#include <cstdint>

// The LV2 plug-in's ports, in index order: what the generated Turtle declares and what the
// glue connects. Hosts store control values by symbol, so symbols never change; the
// parameters' symbols are their names.
namespace tarnwell::lv2
{
constexpr std::uint32_t numParameters = parameters::count;

enum Port : std::uint32_t
{
    inLeft,
    inRight,
    outLeft,
    outRight,
    firstParameter,
    latency = firstParameter + numParameters,
    numPorts
};

constexpr bool isParameterPort (std::uint32_t port) noexcept
{
    return port >= firstParameter && port < firstParameter + numParameters;
}

constexpr int parameterOf (std::uint32_t port) noexcept { return static_cast<int> (port - firstParameter); }

constexpr std::uint32_t portOf (int parameterIndex) noexcept
{
    return firstParameter + static_cast<std::uint32_t> (parameterIndex);
}
} // namespace tarnwell::lv2
