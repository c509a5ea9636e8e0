#pragma once

#include "editor/ParameterModel.h"
#include "host/lv2/Lv2UiEvents.h"
#include "processor/ParameterTable.h"

#include <array>
#include <atomic>

namespace tarnwell::lv2
{
// The editor's parameters in an LV2 UI, which has no instance of its own: the values the host's
// port events bring, and the user's changes and gestures queued for the host's UI thread,
// where the UI protocol must be spoken. A value the host sent is shown, never sent back.
class Lv2UiModel final : public ParameterModel
{
public:
    Lv2UiModel() noexcept; // the stored defaults, until the host says otherwise

    // [main-thread] (the host's UI thread) A value the host sent, normalised.
    void show (int index, float normalised) noexcept;

    // [main-thread] (the host's UI thread) The user's changes and gestures, in order, for the host.
    Lv2UiEvents& changes() noexcept { return events; }

    // [message-thread] The editor's calls.
    float value (int index) const override;
    juce::String text (int index) const override;
    void set (int index, float normalised) override;
    void beginGesture (int index) override;
    void endGesture (int index) override;

private:
    std::array<std::atomic<float>, parameters::count> values;
    Lv2UiEvents events;
};
} // namespace tarnwell::lv2
