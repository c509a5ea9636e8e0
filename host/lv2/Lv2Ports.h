#pragma once

#include "processor/ParameterTable.h"

#include <cmath>
#include <cstdint>

// The LV2 plug-in's ports, in index order: what the generated Turtle declares and what the
// glue connects. Hosts store control values by symbol, so symbols never change; the
// parameters' symbols are their names.
namespace tarnwell::lv2
{
constexpr std::uint32_t numParameters = parameters::count;

enum Port : std::uint32_t {
    inLeft,
    inRight,
    outLeft,
    outRight,
    firstParameter,
    latency = firstParameter + numParameters,
    enabled, // the host's bypass switch: 0 plays the dry input
    numPorts
};

constexpr bool isParameterPort (std::uint32_t port) noexcept
{
    return port >= firstParameter && port < firstParameter + numParameters;
}

constexpr int parameterOf (std::uint32_t port) noexcept
{
    return static_cast<int> (port - firstParameter);
}

constexpr std::uint32_t portOf (int parameterIndex) noexcept
{
    return firstParameter + static_cast<std::uint32_t> (parameterIndex);
}

// A port's float stands for the shortest decimal that reads as it, as hosts, users and Turtle
// files write it: 0.45f is 0.45, not 0.449999988, so "0.45" plays what 0.45 s plays in every
// other format. Arithmetic only: ports are read on the audio thread.
inline double decimalOf (float portValue) noexcept
{
    if (! std::isfinite (portValue))
        return static_cast<double> (portValue);
    double scale = 1.0;
    for (int places = 0; places <= 9; ++places, scale *= 10.0)
    {
        const double candidate = std::round (static_cast<double> (portValue) * scale) / scale;
        if (static_cast<float> (candidate) == portValue)
            return candidate;
    }
    return static_cast<double> (portValue);
}

// A parameter port holds the value in the parameter's displayed unit: seconds, hertz or per
// cent, clamped to the displayed range when read.
inline float normalisedOfPort (int parameterIndex, float portValue) noexcept
{
    return parameters::normalisedFor (parameterIndex, decimalOf (portValue));
}

// The port value for a normalised one: the displayed value as its text shows it (4000 Hz, not
// 4000.0002) or else one of the floats nearest it, whichever first reads back as the same
// normalised value, so that a preset or the UI's value plays exactly what the other formats
// play where a port can say it.
inline float portValueOf (int parameterIndex, float normalised) noexcept
{
    const double displayed = parameters::displayValue (parameterIndex, normalised);
    const float shown = static_cast<float> (std::round (displayed * 100.0) / 100.0);
    if (normalisedOfPort (parameterIndex, shown) == normalised)
        return shown;

    const float nearest = static_cast<float> (displayed);
    float up = nearest, down = nearest;
    for (int step = 0; step < 8; ++step)
    {
        if (normalisedOfPort (parameterIndex, up) == normalised)
            return up;
        if (normalisedOfPort (parameterIndex, down) == normalised)
            return down;
        up = std::nextafter (up, HUGE_VALF);
        down = std::nextafter (down, -HUGE_VALF);
    }
    return nearest;
}
} // namespace tarnwell::lv2
