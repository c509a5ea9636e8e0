// component_snapshots OUTDIR [--scale S] [--value V]... [--t60 LO HI TR]...
//
// Renders the custom-drawn components offscreen (no display needed) and writes one PNG each:
// linear and rotary sliders at each value, toggle buttons in every state, and the decay-time
// graph at each setting. Without --value or --t60 it uses a default set.

#include "editor/BrindleLookAndFeel.h"
#include "editor/T60View.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
// A grey frame around the component, so its transparent parts read as such.
class Backdrop : public juce::Component
{
public:
    Backdrop (juce::Component& child, juce::LookAndFeel& lnf)
    {
        constexpr int pad = 4;
        child.setTopLeftPosition (pad, pad);
        addAndMakeVisible (child);
        setSize (child.getWidth() + 2 * pad, child.getHeight() + 2 * pad);
        setLookAndFeel (&lnf);
    }
    ~Backdrop() override
    {
        setLookAndFeel (nullptr);
        removeAllChildren();
    }
    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xFF707070)); }
};

struct Writer
{
    juce::File outDir;
    float scale = 1.0f;
    tarnwell::BrindleLookAndFeel lnf;
    int failures = 0;

    void write (juce::Component& component, const juce::String& name)
    {
        Backdrop backdrop (component, lnf);
        const auto image = backdrop.createComponentSnapshot (backdrop.getLocalBounds(), true, scale);
        const auto file = outDir.getChildFile (name + ".png");
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat png;
        if (! out.openedOk() || ! png.writeImageToStream (image, out))
        {
            std::fprintf (stderr, "cannot write %s\n", file.getFullPathName().toRawUTF8());
            ++failures;
            return;
        }
        std::printf ("%s\n", file.getFullPathName().toRawUTF8());
    }
};

juce::String tag (float v)
{
    return juce::String (v, 2).replaceCharacter ('.', '_').replaceCharacter ('-', 'm');
}

void writeSliders (Writer& w, const std::vector<float>& values)
{
    for (const auto v : values)
    {
        juce::Slider linear (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
        linear.setRange (0.0, 1.0);
        linear.setValue (static_cast<double> (v), juce::dontSendNotification);
        linear.setSize (200, 20);
        w.write (linear, "linear_" + tag (v));

        for (const int size : { 35, 28 })
        {
            juce::Slider rotary (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox);
            rotary.setRange (0.0, 1.0);
            rotary.setValue (static_cast<double> (v), juce::dontSendNotification);
            rotary.setSize (size, size);
            w.write (rotary, "rotary" + juce::String (size) + "_" + tag (v));
            rotary.setEnabled (false);
            w.write (rotary, "rotary" + juce::String (size) + "_" + tag (v) + "_disabled");
        }
    }
}

void writeToggles (Writer& w)
{
    const std::pair<juce::Button::ButtonState, const char*> states[] = {
        { juce::Button::buttonNormal, "normal" },
        { juce::Button::buttonOver, "over" },
        { juce::Button::buttonDown, "down" },
    };
    for (const bool on : { false, true })
    {
        for (const auto& [state, stateName] : states)
        {
            juce::ToggleButton button (on ? "On" : "Off");
            button.setToggleState (on, juce::dontSendNotification);
            button.setSize (80, 24);
            button.setState (state);
            w.write (button, juce::String ("toggle_") + (on ? "on_" : "off_") + stateName);
        }
    }
    juce::ToggleButton disabled ("Disabled");
    disabled.setSize (80, 24);
    disabled.setEnabled (false);
    w.write (disabled, "toggle_disabled");
}

struct GraphSetting
{
    float lo, hi, tr;
};

void writeGraphs (Writer& w, const std::vector<GraphSetting>& settings)
{
    for (const auto& s : settings)
    {
        tarnwell::T60View view;
        view.setSize (283, 106); // its size in the editor
        view.t60LowValue = s.lo;
        view.t60HighValue = s.hi;
        view.transitionFreqValue = s.tr;
        w.write (view, "t60_lo" + tag (s.lo) + "_hi" + tag (s.hi) + "_tr" + tag (s.tr));
    }
}

int usage()
{
    std::fprintf (stderr, "usage: component_snapshots OUTDIR [--scale S] [--value V]... [--t60 LO HI TR]...\n");
    return 2;
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc < 2)
        return usage();

    std::vector<float> values;
    std::vector<GraphSetting> graphs;
    float scale = 1.0f;
    for (int i = 2; i < argc; ++i)
    {
        const juce::String arg (argv[i]);
        if (arg == "--scale" && i + 1 < argc)
            scale = juce::String (argv[++i]).getFloatValue();
        else if (arg == "--value" && i + 1 < argc)
            values.push_back (juce::String (argv[++i]).getFloatValue());
        else if (arg == "--t60" && i + 3 < argc)
        {
            GraphSetting s {};
            s.lo = juce::String (argv[++i]).getFloatValue();
            s.hi = juce::String (argv[++i]).getFloatValue();
            s.tr = juce::String (argv[++i]).getFloatValue();
            graphs.push_back (s);
        }
        else
            return usage();
    }
    if (scale <= 0.0f)
        return usage();

    if (values.empty() && graphs.empty())
    {
        values = { 0.0f, 0.25f, 0.5f, 0.75f, 1.0f };
        graphs = { { 0.8f, 0.2f, 0.5f }, { 0.25f, 0.35f, 0.8f }, { 0.5f, 0.5f, 0.5f },
                   { 0.6f, 0.3f, 0.0f }, { 0.6f, 0.3f, 1.0f },   { 0.0f, 0.0f, 0.5f } };
    }

    juce::ScopedJuceInitialiser_GUI juce;
    Writer writer;
    writer.outDir = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (argv[1]));
    writer.scale = scale;
    if (! writer.outDir.createDirectory())
    {
        std::fprintf (stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    writeSliders (writer, values);
    writeToggles (writer);
    writeGraphs (writer, graphs);
    return writer.failures == 0 ? 0 : 1;
}
