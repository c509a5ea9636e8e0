// The standalone app's JUCEApplication, in place of JUCE's default one: where the settings
// live, which device plays first, and quitting on signals as on the close button.

#include "host/editor_hosting/DesktopScale.h"
#include "host/standalone/DeviceChoice.h"
#include "host/standalone/FollowDesktopScale.h"
#include "host/standalone/GraphicalDisplay.h"
#include "host/standalone/QuitSignals.h"
#include "host/standalone/StandaloneWindow.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tarnwell::standalone
{
namespace
{
// $XDG_CONFIG_HOME/Tarnwell.settings, by default ~/.config/Tarnwell.settings (where JUCE's
// own standalone app kept it, so earlier settings still load).
juce::PropertiesFile::Options settingsOptions (const juce::String& applicationName)
{
    juce::PropertiesFile::Options options;
    options.applicationName = applicationName;
    options.filenameSuffix = ".settings";
    const juce::String configHome (std::getenv ("XDG_CONFIG_HOME"));
    options.folderName = juce::File::isAbsolutePath (configHome) ? configHome : juce::String ("~/.config");
    return options;
}
} // namespace

class StandaloneApp final : public juce::JUCEApplication, private juce::Timer
{
public:
    const juce::String getApplicationName() override { return JucePlugin_Name; }
    const juce::String getApplicationVersion() override { return JucePlugin_VersionString; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        // JUCE's window would crash on a display that is not there: say so and leave instead.
        if (const auto why = whyNoGraphicalDisplay(); ! why.empty())
        {
            std::fprintf (stderr, "%s\n", why.c_str());
            setApplicationReturnValue (1);
            quit();
            return;
        }

        catchQuitSignals();
        properties.setStorageParameters (settingsOptions (getApplicationName()));

        auto& settings = *properties.getUserSettings();
        // A changed desktop scale reaches the windows as it happens, as it reaches the plug-in
        // editors.
        desktopScale = std::make_unique<DesktopScaleWatch> ([this] { followDesktopScale (desktopScale->scale()); });
        followDesktopScale (desktopScale->scale());
        window = std::make_unique<StandaloneWindow> (getApplicationName(), settings, deviceToPrefer (settings));
        window->setVisible (true);
        startTimer (100);
    }

    void shutdown() override
    {
        stopTimer();
        // Its holder saves the device choice and the input mute as it goes.
        window = nullptr;
        desktopScale = nullptr;
        properties.saveIfNeeded();
    }

    // The window's close button, a desktop's quit request and SIGTERM/SIGINT all end here.
    void systemRequestedQuit() override
    {
        if (window != nullptr)
            window->pluginHolder->savePluginState();

        if (juce::ModalComponentManager::getInstance()->cancelAllModalComponents())
            juce::Timer::callAfterDelay (100, [] {
                if (auto* app = juce::JUCEApplicationBase::getInstance())
                    app->systemRequestedQuit();
            });
        else
            quit();
    }

private:
    void timerCallback() override
    {
        if (quitSignalArrived())
        {
            stopTimer();
            systemRequestedQuit();
        }
    }

    juce::ApplicationProperties properties;
    std::unique_ptr<DesktopScaleWatch> desktopScale;
    std::unique_ptr<StandaloneWindow> window;
};
} // namespace tarnwell::standalone

juce::JUCEApplicationBase* juce_CreateApplication()
{
    return new tarnwell::standalone::StandaloneApp();
}
