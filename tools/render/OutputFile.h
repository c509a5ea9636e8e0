#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::render
{
// A file being written: a hidden file beside its target, opened before any work (so that a
// folder that can't be written is named at once), renamed over the target when complete and
// removed when not, also when the program is interrupted. The target is never touched until
// then, so an existing file is replaced only by a complete one.
class OutputFile
{
public:
    // Creates the hidden file; on failure isOpen() is false and getError() says why.
    explicit OutputFile (const juce::File& target);
    ~OutputFile();

    OutputFile (const OutputFile&) = delete;
    OutputFile& operator= (const OutputFile&) = delete;

    bool isOpen() const noexcept { return slot >= 0; }
    const juce::String& getError() const noexcept { return error; }
    const juce::File& getTarget() const noexcept { return target; }
    const juce::File& getTemporary() const noexcept { return temporary; }

    // Renames the complete hidden file over the target; false, with getError(), if it can't.
    bool commit();

private:
    juce::File target, temporary;
    juce::String error;
    int slot = -1;
};

// Why `target` may not be written, or empty: a folder, or the very file one of `inputs` is,
// whatever the path's spelling (links, "..", hard links).
juce::String whyNotAnOutput (const juce::File& target, const juce::Array<juce::File>& inputs);

// On SIGINT, SIGTERM, SIGHUP, SIGPIPE and SIGXFSZ (unless ignored when the program starts),
// removes every OutputFile's hidden file and ends the program as that signal does, so that the
// shell sees 128 + its number.
void removeOutputsWhenInterrupted();
} // namespace tarnwell::render
