#include "host/standalone/StandaloneWindow.h"

#include "processor/PresetSettings.h"

namespace tarnwell::standalone
{
StandaloneWindow::StandaloneWindow (const juce::String& title, juce::PropertySet& settings,
                                    const juce::String& deviceToPrefer)
    : StandaloneFilterWindow (title,
                              juce::LookAndFeel::getDefaultLookAndFeel().findColour (
                                  juce::ResizableWindow::backgroundColourId),
                              &settings, false, deviceToPrefer),
      notice ([this] { pluginHolder->showAudioSettingsDialog(); })
{
    // JUCE lets the window manager resize the window when the editor is resizable, and then
    // gives the window a border four pixels wide instead of one, which moves the editor. The
    // editor's own corner handle resizes it instead, and the window follows the editor.
    setResizable (false, false);

    // A window's own children bypass its content component, as JUCE's options button does.
    Component::addChildComponent (notice);
    Component::addAndMakeVisible (presetsButton);
    presetsButton.setTriggeredOnMouseDown (true);
    presetsButton.onClick = [this] {
        presetMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (presetsButton));
    };
    getDeviceManager().addChangeListener (this);
    updateNotice();
    // A JACK server that goes away closes the device without a change message.
    startTimer (1000);
}

StandaloneWindow::~StandaloneWindow()
{
    getDeviceManager().removeChangeListener (this);
}

juce::BorderSize<int> StandaloneWindow::getContentComponentBorder()
{
    auto border = StandaloneFilterWindow::getContentComponentBorder();
    if (notice.isVisible())
        border.setTop (border.getTop() + NoDeviceNotice::height);
    return border;
}

void StandaloneWindow::resized()
{
    StandaloneFilterWindow::resized();
    notice.setBounds (StandaloneFilterWindow::getContentComponentBorder()
                          .subtractedFrom (getLocalBounds())
                          .removeFromTop (NoDeviceNotice::height));
    // Right of JUCE's options button, which sits at x 8, 60 wide.
    presetsButton.setBounds (72, 6, 60, getTitleBarHeight() - 8);
}

juce::PopupMenu StandaloneWindow::presetMenu()
{
    juce::PopupMenu menu;
    for (int i = 0; i < factoryPresets::count(); ++i)
        menu.addItem (factoryPresets::at (i)->name, [this, i] { applyPreset (i); });
    return menu;
}

void StandaloneWindow::applyPreset (int index)
{
    const auto* preset = factoryPresets::at (index);
    auto* processor = getAudioProcessor();
    if (preset == nullptr || processor == nullptr)
        return;
    const auto block = presetSettings (*preset);
    processor->setStateInformation (block.getData(), static_cast<int> (block.getSize()));
}

void StandaloneWindow::closeButtonPressed()
{
    juce::JUCEApplicationBase::getInstance()->systemRequestedQuit();
}

void StandaloneWindow::changeListenerCallback (juce::ChangeBroadcaster*)
{
    updateNotice();
}

void StandaloneWindow::timerCallback()
{
    updateNotice();
}

void StandaloneWindow::updateNotice()
{
    auto* device = getDeviceManager().getCurrentAudioDevice();
    const bool missing = device == nullptr || ! device->isOpen();
    if (missing == notice.isVisible())
        return;

    notice.setVisible (missing);
    // The window grows or shrinks by the notice; the editor keeps its size.
    if (auto* content = getContentComponent())
        childBoundsChanged (content);
    resized();
}

StandaloneWindow::NoDeviceNotice::NoDeviceNotice (std::function<void()> openSettings)
    : message ("noDeviceMessage",
               "No audio device. Start a JACK server or connect a sound card, then choose it in Settings."),
      settingsButton ("Settings...")
{
    setOpaque (true);
    message.setColour (juce::Label::textColourId, juce::Colours::black);
    message.setMinimumHorizontalScale (1.0f);
    settingsButton.onClick = std::move (openSettings);
    addAndMakeVisible (message);
    addAndMakeVisible (settingsButton);
}

void StandaloneWindow::NoDeviceNotice::paint (juce::Graphics& g)
{
    // The colours of JUCE's own notice about the muted input, just below.
    auto area = getLocalBounds();
    g.setColour (juce::Colours::darkgoldenrod);
    g.fillRect (area.removeFromBottom (1));
    g.setColour (juce::Colours::lightgoldenrodyellow);
    g.fillRect (area);
}

void StandaloneWindow::NoDeviceNotice::resized()
{
    auto area = getLocalBounds().reduced (5);
    settingsButton.setBounds (area.removeFromRight (70).withSizeKeepingCentre (70, 20));
    message.setBounds (area);
}
} // namespace tarnwell::standalone
