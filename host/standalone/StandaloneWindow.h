#pragma once

#include <juce_audio_plugin_client/juce_audio_plugin_client.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

// JUCE's standalone holder and window, from our patched copy (host/standalone/CMakeLists.txt).
#include <juce_StandaloneFilterWindow.h>

namespace tarnwell::standalone
{
// JUCE's standalone window, plus a notice above the editor while no audio device plays:
// what is missing and what to do, with the way to the audio settings. [message-thread] only.
class StandaloneWindow final : public juce::StandaloneFilterWindow, private juce::ChangeListener, private juce::Timer
{
public:
    StandaloneWindow (const juce::String& title, juce::PropertySet& settings, const juce::String& deviceToPrefer);
    ~StandaloneWindow() override;

    bool isShowingNoDeviceNotice() const { return notice.isVisible(); }

    juce::BorderSize<int> getContentComponentBorder() override;
    void resized() override;
    // Quits the way a signal or the desktop asks the app to, saving everything.
    void closeButtonPressed() override;

    // The factory presets, beside JUCE's options button: choosing one restores its settings
    // block, as loading a saved state would.
    juce::PopupMenu presetMenu();
    void applyPreset (int index);

private:
    class NoDeviceNotice final : public juce::Component
    {
    public:
        static constexpr int height = 44;

        explicit NoDeviceNotice (std::function<void()> openSettings);
        void paint (juce::Graphics&) override;
        void resized() override;

    private:
        juce::Label message;
        juce::TextButton settingsButton;
    };

    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void timerCallback() override;
    void updateNotice();

    NoDeviceNotice notice;
    juce::TextButton presetsButton { "Presets" };
};
} // namespace tarnwell::standalone
