#pragma once

#include "engine/NetworkSettings.h"
#include "engine/ReverbNetwork.h"
#include "processor/ParameterTable.h"
#include "processor/ParameterValues.h"

#include <juce_data_structures/juce_data_structures.h>

#include <array>
#include <atomic>
#include <mutex>

namespace tarnwell
{
// One plug-in instance as every format shares it: the five parameters, the network and its
// design, the saved settings, and processing of whatever channel pointers a host hands over.
// The formats only translate their host's calls into these.
//
// Threads, as each method of the views below says: [audio-thread] is the one thread that
// processes; [main-thread] calls are serialised among themselves but may overlap processing;
// [thread-safe] calls come from any thread, the audio thread included; the adapters add
// [message-thread], JUCE's thread where the editor lives (host/editor_hosting/MessageThread.h).
// Nothing here allocates, locks or waits on the audio thread: values live in lock-free atomics,
// and processing designs the network itself, at the start of a block whose values or rate
// differ from those it last designed for.
class InstanceCore
{
public:
    // [main-thread] The stored defaults, at 44100 Hz. The network runs the widest kernel this
    // processor has, or a narrower one named in the environment as TARNWELL_KERNEL.
    InstanceCore();

    // The core is reached through one view per role, so each part of an adapter holds only what
    // its thread may call: the code that processes an Audio, parameter calls and models
    // Controls, state and lifecycle code a Session. A view is a reference to its core, as cheap
    // to pass as a pointer; it must not outlive the core.
    class Audio;
    class Controls;
    class Session;
    Audio audio() noexcept;
    Controls controls() noexcept;
    Session session() noexcept;

    // Blocks reach the network in pieces of at most this many frames.
    static constexpr int maxPiece = 4096;

private:
    // What the views offer, each documented in its view.
    void setParameter (int index, float normalised) noexcept;
    float parameter (int index) const noexcept;
    juce::String parameterText (int index) const;
    juce::String textFor (int index, float normalised) const;
    double tailSeconds() const noexcept;
    void prepare (double sampleRate) noexcept;
    double sampleRateNow() const noexcept { return sampleRate.load(); }
    void save (juce::MemoryBlock& destData);
    bool restore (const void* data, int sizeInBytes);
    NetworkSettings networkSettings() const;
    void process (const float* const* in, int numIn, float* const* out, int numOut, int frames) noexcept;

    void designForCurrentValues() noexcept;
    void processPiece (const float* inL, const float* inR, float* outL, float* outR, int frames) noexcept;

    ParameterValues values;
    std::atomic<double> sampleRate { NetworkSettings {}.sampleRate };

    // The saved settings' frame: the element, its order and whatever else a restored block
    // held. Its five parameter properties are brought up to date from `values` when saving.
    std::mutex stateLock;
    juce::ValueTree properties { "properties" }; // guarded by stateLock

    // Audio thread only: what the coefficients were designed from, the coefficients, the
    // network, and room for inputs that outputs would overwrite before they are read.
    ParameterValues::Snapshot designedValues;
    double designedSampleRate;
    NetworkCoefficients coefficients;
    ReverbNetwork network;
    std::array<std::array<float, maxPiece>, 2> inputCopy {};
};

// The audio thread's view: processing, and the parameter changes a host hands over with its
// blocks (LV2's control ports, CLAP's events, those JUCE's VST3 wrapper delivers in process).
class InstanceCore::Audio
{
public:
    // [audio-thread] One host block: numIn inputs (1 or 2) into numOut outputs (1 or 2), each
    // pointer to `frames` samples. Outputs may be their own inputs, other channels' inputs or
    // apart from them; one input into two outputs plays it into a silent right input. Extra
    // channels are ignored; null pointers or a count of 0 leave everything as it is.
    void process (const float* const* in, int numIn, float* const* out, int numOut, int frames) const noexcept
    {
        core.process (in, numIn, out, numOut, frames);
    }

    // [thread-safe] As Controls::setParameter.
    void setParameter (int index, float normalised) const noexcept { core.setParameter (index, normalised); }

private:
    friend class InstanceCore;
    explicit Audio (InstanceCore& c) noexcept : core (c) {}
    InstanceCore& core;
};

// The parameters as hosts and editors set, read and show them.
class InstanceCore::Controls
{
public:
    // [thread-safe] By index 0..4; any other index is ignored (and reads as 0).
    void setParameter (int index, float normalised) const noexcept { core.setParameter (index, normalised); }
    float parameter (int index) const noexcept { return core.parameter (index); }

    // [main-thread] (any thread but the audio thread: it makes a string) "3.50 sec" and the
    // like; empty for an invalid index.
    juce::String parameterText (int index) const { return core.parameterText (index); }

    // [main-thread] The text a value would show: the current value's is parameterText, whose
    // engine value may differ from a new instance's stored one.
    juce::String textFor (int index, float normalised) const { return core.textFor (index, normalised); }

private:
    friend class InstanceCore;
    explicit Controls (InstanceCore& c) noexcept : core (c) {}
    InstanceCore& core;
};

// The instance's life in a host: its rate, its tail, and the settings block hosts store.
class InstanceCore::Session
{
public:
    // [thread-safe] The rate the next block is designed for; anything but a finite positive
    // rate is ignored. The tail carries over.
    void prepare (double newSampleRate) const noexcept { core.prepare (newSampleRate); }

    // [thread-safe] The rate blocks are designed for: the last prepared, 44100 before any.
    double sampleRateNow() const noexcept { return core.sampleRateNow(); }

    // [thread-safe] How long a host should keep processing after the input stops: the time, in
    // seconds, the slowest band takes to fall 90 dB.
    double tailSeconds() const noexcept { return core.tailSeconds(); }

    // [main-thread] The settings block hosts store, and its restore: false (and nothing
    // changed) for a block that holds no settings.
    void save (juce::MemoryBlock& destData) const { core.save (destData); }
    bool restore (const void* data, int sizeInBytes) const { return core.restore (data, sizeInBytes); }

    // [thread-safe] The settings the network runs on from the next block.
    NetworkSettings networkSettings() const { return core.networkSettings(); }

private:
    friend class InstanceCore;
    explicit Session (InstanceCore& c) noexcept : core (c) {}
    InstanceCore& core;
};

inline InstanceCore::Audio InstanceCore::audio() noexcept
{
    return Audio (*this);
}
inline InstanceCore::Controls InstanceCore::controls() noexcept
{
    return Controls (*this);
}
inline InstanceCore::Session InstanceCore::session() noexcept
{
    return Session (*this);
}
} // namespace tarnwell
