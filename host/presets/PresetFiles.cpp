#include "host/presets/PresetFiles.h"

#include "host/ProductIdentity.h"
#include "processor/PresetSettings.h"

namespace tarnwell::presetFiles
{
namespace
{
juce::String hex (const char* fourChars)
{
    return juce::String::toHexString (fourChars, 4, 0).toUpperCase();
}

void writeFourChars (juce::MemoryOutputStream& out, const char* code)
{
    out.write (code, 4);
}
} // namespace

juce::String vst3ClassId()
{
    // How JUCE's VST3 wrapper makes its processor's class ID: two fixed words, then the vendor
    // and plug-in codes.
    return "ABCDEF019182FAEB" + hex (product::vendorCode) + hex (product::pluginCode);
}

juce::MemoryBlock vst3 (const FactoryPreset& preset)
{
    const auto component = presetSettings (preset);
    constexpr juce::int64 headerSize = 4 + 4 + 32 + 8;

    // Little-endian throughout, as the format wants.
    juce::MemoryOutputStream out;
    writeFourChars (out, "VST3");
    out.writeInt (1);
    out.write (vst3ClassId().toRawUTF8(), 32);
    const auto listOffset = headerSize + static_cast<juce::int64> (component.getSize());
    out.writeInt64 (listOffset);
    out.write (component.getData(), component.getSize());

    writeFourChars (out, "List");
    out.writeInt (2);
    writeFourChars (out, "Comp");
    out.writeInt64 (headerSize);
    out.writeInt64 (static_cast<juce::int64> (component.getSize()));
    writeFourChars (out, "Cont");
    out.writeInt64 (listOffset);
    out.writeInt64 (0);
    return out.getMemoryBlock();
}

juce::MemoryBlock fxp (const FactoryPreset& preset)
{
    const auto chunk = presetSettings (preset);
    constexpr int headerSize = 7 * 4 + 28 + 4; // to the chunk's first byte

    // Big-endian throughout, as VST 2 hosts read it on every platform.
    juce::MemoryOutputStream out;
    writeFourChars (out, "CcnK");
    out.writeIntBigEndian (headerSize - 8 + static_cast<int> (chunk.getSize()));
    writeFourChars (out, "FPCh");
    out.writeIntBigEndian (1);
    writeFourChars (out, product::pluginCode); // the unique ID, big-endian
    out.writeIntBigEndian (product::versionCode);
    out.writeIntBigEndian (parameters::count);
    char name[28] = {};
    juce::String (preset.name).copyToUTF8 (name, sizeof (name) - 1);
    out.write (name, sizeof (name));
    out.writeIntBigEndian (static_cast<int> (chunk.getSize()));
    out.write (chunk.getData(), chunk.getSize());
    return out.getMemoryBlock();
}
} // namespace tarnwell::presetFiles
