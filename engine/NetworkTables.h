#pragma once

// Fixed dimensions and gain tables of the sixteen-line feedback delay network.

namespace tarnwell
{
inline constexpr int numLines = 16;

// Every ring holds 8192 samples; the longest line is 5144, so a ring never wraps onto
// a value that is still to be read, even when a whole chunk is written ahead.
inline constexpr int ringSize = 8192;
inline constexpr int ringMask = ringSize - 1;

// Line lengths in samples. They rise by a nearly constant ratio (about 1.064) and are kept
// as listed, not computed, so the echo pattern never changes between builds.
inline constexpr float delayLengths[numLines] = { 2023, 2153, 2291, 2438, 2595, 2761, 2939, 3127,
                                                  3328, 3542, 3769, 4011, 4268, 4542, 4834, 5144 };

inline constexpr int shortestLine = 2023;

// The left input feeds and the left output collects the even lines; the right, the odd ones.
inline constexpr float leftInputGain[numLines] = { 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0 };
inline constexpr float rightInputGain[numLines] = { 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1 };
inline constexpr float leftOutputGain[numLines] = { 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0 };
inline constexpr float rightOutputGain[numLines] = { 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1 };

// Each output sums eight lines.
inline constexpr float wetScale = 0.125f;

constexpr int lineLength (int line) noexcept
{
    return static_cast<int> (delayLengths[line]);
}
} // namespace tarnwell
