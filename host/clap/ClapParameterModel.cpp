#include "host/clap/ClapParameterModel.h"

#include "host/clap/ClapParameters.h"
#include "host/clap/ClapPlugin.h"

namespace tarnwell
{
using Kind = ClapEditorEvents::Kind;

ClapParameterModel::ClapParameterModel (ClapPlugin& p) : plugin (p) {}

float ClapParameterModel::value (int index) const
{
    return plugin.controls().parameter (index);
}

juce::String ClapParameterModel::text (int index) const
{
    return plugin.controls().parameterText (index);
}

void ClapParameterModel::set (int index, float normalised)
{
    const auto controls = plugin.controls();
    controls.setParameter (index, normalised);
    plugin.editorEvents().push ({ Kind::value, index, clapParameters::valueOf (index, controls.parameter (index)) });
    plugin.requestFlush();
}

void ClapParameterModel::beginGesture (int index)
{
    plugin.editorEvents().push ({ Kind::gestureBegin, index, 0.0 });
    plugin.requestFlush();
}

void ClapParameterModel::endGesture (int index)
{
    plugin.editorEvents().push ({ Kind::gestureEnd, index, 0.0 });
    plugin.requestFlush();
}
} // namespace tarnwell
