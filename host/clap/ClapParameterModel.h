#pragma once

#include "editor/ParameterModel.h"

namespace tarnwell
{
class ClapPlugin;

// The editor's parameters in the CLAP glue: the instance core's values and texts, with the
// user's changes and gestures queued for the host as parameter and gesture events, which go out
// with the next block or flush. [message-thread] Every call, as the editor makes it.
class ClapParameterModel final : public ParameterModel
{
public:
    explicit ClapParameterModel (ClapPlugin&); // the plug-in outlives the model

    float value (int index) const override;
    juce::String text (int index) const override;
    void set (int index, float normalised) override;
    void beginGesture (int index) override;
    void endGesture (int index) override;

private:
    ClapPlugin& plugin;
};
} // namespace tarnwell
