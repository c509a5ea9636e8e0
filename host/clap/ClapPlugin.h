#pragma once

#include "host/clap/ClapEditorEvents.h"
#include "host/clap/ClapExtensionsAbi.h"
#include "processor/InstanceCore.h"

#include <atomic>
#include <memory>

namespace tarnwell
{
class ClapEditor;

// One plug-in instance as a CLAP host sees it: the plug-in record and its lifecycle, translated
// into the instance core. Parameter events take effect at their frame: the block reaches the
// core in pieces split at each event's offset. Each method says its CLAP thread.
class ClapPlugin final
{
public:
    // [main-thread] The record the host drives; the instance lives until its destroy.
    static const clap::Plugin* create (const clap::Host*);
    static ClapPlugin* from (const clap::Plugin*) noexcept;

    explicit ClapPlugin (const clap::Host*);
    ~ClapPlugin();

    // [thread-safe] The core's parameters and session (its audio view is process's alone),
    // the host's record and the editor's ring.
    InstanceCore::Controls controls() noexcept { return core.controls(); }
    InstanceCore::Session session() noexcept { return core.session(); }
    const clap::Host* host() const noexcept { return hostRecord; }
    ClapEditorEvents& editorEvents() noexcept { return fromEditor; }

    // [main-thread] The host's extension of that id, or null.
    const void* hostExtension (const char* id) const;

    // [main-thread] The input layout, chosen only while inactive: one stereo input, or a mono
    // input played into both outputs.
    bool selectMonoInput (bool mono);
    // [main-thread]
    int inputChannels() const noexcept { return monoInput ? 1 : 2; }

    // [audio-thread] while active, [main-thread] while not: parameter events from the host, and
    // the editor's changes to it, outside a block (and for a process call that brings no audio).
    void flush (const clap::InputEvents*, const clap::OutputEvents*) noexcept;

    // [message-thread] The editor's changes wait for the next block or flush: ask the host for one
    // when it is not processing (the host's request_flush may be called from any thread but audio).
    void requestFlush() const noexcept;

    // [main-thread] A settings block restored (false, and nothing changed, for one that holds
    // none), and the host told that every value may have changed.
    bool restore (const juce::MemoryBlock&);

    // [main-thread] The editor, made on the host's request.
    std::unique_ptr<ClapEditor> editor;

private:
    bool activate (double sampleRate) noexcept;
    void deactivate() noexcept;
    std::int32_t process (const clap::Process&) noexcept;
    void processPart (InstanceCore::Audio, const clap::Process&, std::uint32_t start, std::uint32_t end) noexcept;
    const void* extension (const char* id) const noexcept;

    static bool TARNWELL_CLAP_CALL initCallback (const clap::Plugin*);
    static void TARNWELL_CLAP_CALL destroyCallback (const clap::Plugin*);
    static bool TARNWELL_CLAP_CALL activateCallback (const clap::Plugin*, double, std::uint32_t, std::uint32_t);
    static void TARNWELL_CLAP_CALL deactivateCallback (const clap::Plugin*);
    static bool TARNWELL_CLAP_CALL startProcessingCallback (const clap::Plugin*);
    static void TARNWELL_CLAP_CALL stopProcessingCallback (const clap::Plugin*);
    static void TARNWELL_CLAP_CALL resetCallback (const clap::Plugin*);
    static std::int32_t TARNWELL_CLAP_CALL processCallback (const clap::Plugin*, const clap::Process*);
    static const void* TARNWELL_CLAP_CALL getExtensionCallback (const clap::Plugin*, const char*);
    static void TARNWELL_CLAP_CALL onMainThreadCallback (const clap::Plugin*);

    clap::Plugin record {};
    const clap::Host* const hostRecord;
    InstanceCore core;
    ClapEditorEvents fromEditor;
    bool active = false;
    bool monoInput = false;
    // An atomic flag: set between start and stop processing on the audio thread, read by
    // requestFlush on the editor's.
    std::atomic<bool> processing { false };
    const clap::HostParams* hostParams = nullptr; // from init on, if the host has the extension
};
} // namespace tarnwell
