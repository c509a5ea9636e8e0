#include "processor/SavedSettings.h"

#include "processor/NumberText.h"
#include "processor/SettingsXmlReader.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace tarnwell
{
namespace
{
constexpr std::uint32_t settingsMagic = 0x21324356; // "VC2!" as little-endian bytes
constexpr std::size_t headerSize = 8;

// The block's integers are little-endian on every platform.
std::uint32_t readLittleEndian32 (const unsigned char* p) noexcept
{
    return juce::ByteOrder::littleEndianInt (p);
}

void writeLittleEndian32 (unsigned char* p, std::uint32_t value) noexcept
{
    const auto stored = juce::ByteOrder::swapIfBigEndian (value);
    std::memcpy (p, &stored, sizeof (stored));
}

// The text printf's "%.9g" gives, whatever the host's locale: JUCE's own double formatting
// writes 0.35f as "0.3499999940395355", which projects saved elsewhere would not match.
juce::String formatNumber (double value)
{
    char buffer[40];
    const auto end = numberText::general (buffer, buffer + sizeof (buffer), value, 9);
    return juce::String (buffer, static_cast<size_t> (end - buffer));
}

// Numbers are formatted here; text restored from a block goes back out exactly as read.
juce::String valueText (const juce::var& value)
{
    if (value.isDouble() || value.isInt() || value.isInt64() || value.isBool())
        return formatNumber (static_cast<double> (value));
    return value.toString();
}

std::unique_ptr<juce::XmlElement> toXml (const juce::ValueTree& tree)
{
    auto xml = std::make_unique<juce::XmlElement> (tree.getType());

    for (int i = 0; i < tree.getNumProperties(); ++i)
    {
        const auto name = tree.getPropertyName (i);
        xml->setAttribute (name, valueText (tree[name]));
    }

    for (const auto& child : tree)
        xml->addChildElement (toXml (child).release());

    return xml;
}
} // namespace

void writeSavedSettings (const juce::ValueTree& properties, juce::MemoryBlock& destData)
{
    jassert (properties.isValid());

    const auto text = toXml (properties)->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
    const auto length = text.getNumBytesAsUTF8();

    // Header, text, the terminating zero and one spare byte, which is written as zero too.
    destData.setSize (0);
    destData.setSize (headerSize + length + 2, true);

    auto* bytes = static_cast<unsigned char*> (destData.getData());
    writeLittleEndian32 (bytes, settingsMagic);
    writeLittleEndian32 (bytes + 4, static_cast<std::uint32_t> (length));
    std::memcpy (bytes + headerSize, text.toRawUTF8(), length);
}

juce::ValueTree readSavedSettings (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= static_cast<int> (headerSize))
        return {};

    const auto* bytes = static_cast<const unsigned char*> (data);
    if (readLittleEndian32 (bytes) != settingsMagic)
        return {};

    const auto declaredLength = static_cast<std::int32_t> (readLittleEndian32 (bytes + 4));
    if (declaredLength <= 0)
        return {};

    // A length beyond the block is cut to what is there, and the text ends at a zero byte:
    // nothing past sizeInBytes is read, whether or not a terminator follows.
    auto length =
        juce::jmin (static_cast<std::size_t> (declaredLength), static_cast<std::size_t> (sizeInBytes) - headerSize);
    const auto* text = reinterpret_cast<const char*> (bytes + headerSize);

    if (const auto* zero = std::memchr (text, 0, length))
        length = static_cast<std::size_t> (static_cast<const char*> (zero) - text);

    return readTreeFromXml (text, length);
}
} // namespace tarnwell
