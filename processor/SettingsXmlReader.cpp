#include "processor/SettingsXmlReader.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tarnwell
{
namespace
{
bool isXmlChar (std::uint32_t c) noexcept
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Strict UTF-8 holding only characters XML allows. Checking this once up front means every
// name and value taken from the text converts to a String and back to the same bytes.
bool isValidXmlText (const unsigned char* p, std::size_t n) noexcept
{
    std::size_t i = 0;

    while (i < n)
    {
        std::uint32_t c = p[i];
        std::size_t extra = 0;
        std::uint32_t smallest = 0;

        if (c < 0x80)                 { extra = 0; }
        else if ((c & 0xE0) == 0xC0)  { extra = 1; c &= 0x1F; smallest = 0x80; }
        else if ((c & 0xF0) == 0xE0)  { extra = 2; c &= 0x0F; smallest = 0x800; }
        else if ((c & 0xF8) == 0xF0)  { extra = 3; c &= 0x07; smallest = 0x10000; }
        else                          { return false; }

        if (n - i - 1 < extra)
            return false;

        for (std::size_t k = 1; k <= extra; ++k)
        {
            const auto b = p[i + k];
            if ((b & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (b & 0x3Fu);
        }

        if (c < smallest || ! isXmlChar (c))
            return false;

        i += extra + 1;
    }

    return true;
}

void appendUtf8 (std::string& out, std::uint32_t c)
{
    if (c < 0x80)
    {
        out += static_cast<char> (c);
    }
    else if (c < 0x800)
    {
        out += static_cast<char> (0xC0 | (c >> 6));
        out += static_cast<char> (0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char> (0xE0 | (c >> 12));
        out += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char> (0x80 | (c & 0x3F));
    }
    else
    {
        out += static_cast<char> (0xF0 | (c >> 18));
        out += static_cast<char> (0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char> (0x80 | (c & 0x3F));
    }
}

juce::String toString (std::string_view s)
{
    return juce::String::fromUTF8 (s.data(), static_cast<int> (s.size()));
}

class Parser
{
public:
    Parser (const char* begin, const char* endOfText) noexcept : pos (begin), end (endOfText) {}

    juce::ValueTree readDocument()
    {
        if (startsWith ("\xEF\xBB\xBF"))
            pos += 3;

        if (! skipMisc())
            return {};

        if (startsWith ("<!DOCTYPE") && ! (skipDocumentType() && skipMisc()))
            return {};

        if (peek() != '<')
            return {};

        auto root = readElement (1);

        if (! root.isValid() || ! skipMisc() || pos != end)
            return {};

        return root;
    }

private:
    const char* pos;
    const char* end;

    std::size_t remaining() const noexcept { return static_cast<std::size_t> (end - pos); }
    char peek() const noexcept { return pos < end ? *pos : '\0'; }

    bool startsWith (const char* s) const noexcept
    {
        const auto n = std::strlen (s);
        return remaining() >= n && std::memcmp (pos, s, n) == 0;
    }

    static bool isSpace (char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    bool skipSpace() noexcept
    {
        const auto* start = pos;
        while (pos < end && isSpace (*pos))
            ++pos;
        return pos != start;
    }

    bool skipPast (const char* terminator) noexcept
    {
        const auto n = std::strlen (terminator);
        for (const auto* p = pos; static_cast<std::size_t> (end - p) >= n; ++p)
        {
            if (std::memcmp (p, terminator, n) == 0)
            {
                pos = p + n;
                return true;
            }
        }
        return false;
    }

    // White space, comments and processing instructions (the XML declaration among them).
    bool skipMisc() noexcept
    {
        for (;;)
        {
            skipSpace();

            if (startsWith ("<!--"))
            {
                pos += 4;
                if (! skipPast ("-->"))
                    return false;
            }
            else if (startsWith ("<?"))
            {
                pos += 2;
                if (! skipPast ("?>"))
                    return false;
            }
            else
            {
                return true;
            }
        }
    }

    // Skipped whole: its entity declarations are never used (see readReference).
    bool skipDocumentType() noexcept
    {
        pos += 9;
        int brackets = 0;

        while (pos < end)
        {
            if (startsWith ("<!--"))
            {
                pos += 4;
                if (! skipPast ("-->"))
                    return false;
                continue;
            }

            const char c = *pos++;

            if (c == '"' || c == '\'')
            {
                const auto* close = static_cast<const char*> (std::memchr (pos, c, remaining()));
                if (close == nullptr)
                    return false;
                pos = close + 1;
            }
            else if (c == '[')
            {
                ++brackets;
            }
            else if (c == ']')
            {
                if (brackets == 0)
                    return false;
                --brackets;
            }
            else if (c == '>' && brackets == 0)
            {
                return true;
            }
        }

        return false;
    }

    // ASCII names by the XML rules; any non-ASCII character counts as a name character.
    static bool isNameStart (char c) noexcept
    {
        const auto u = static_cast<unsigned char> (c);
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == ':' || u >= 0x80;
    }

    static bool isNameChar (char c) noexcept
    {
        return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
    }

    std::string_view readName() noexcept
    {
        const auto* start = pos;
        if (pos < end && isNameStart (*pos))
            while (pos < end && isNameChar (*pos))
                ++pos;
        return { start, static_cast<std::size_t> (pos - start) };
    }

    static int digitValue (char c, bool hex) noexcept
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    // At '&'. Only the five predefined entities and character references exist here: an
    // entity from a document type is refused rather than expanded.
    bool readReference (std::string& out)
    {
        ++pos;

        if (peek() == '#')
        {
            ++pos;
            const bool hex = peek() == 'x';
            if (hex)
                ++pos;

            std::uint32_t code = 0;
            int digits = 0;

            for (; pos < end && *pos != ';'; ++pos, ++digits)
            {
                const int d = digitValue (*pos, hex);
                if (d < 0)
                    return false;
                code = code * (hex ? 16u : 10u) + static_cast<std::uint32_t> (d);
                if (code > 0x10FFFF)
                    return false;
            }

            if (pos == end || digits == 0 || ! isXmlChar (code))
                return false;

            ++pos;
            appendUtf8 (out, code);
            return true;
        }

        const auto name = readName();
        if (peek() != ';')
            return false;
        ++pos;

        if (name == "amp")  { out += '&';  return true; }
        if (name == "lt")   { out += '<';  return true; }
        if (name == "gt")   { out += '>';  return true; }
        if (name == "quot") { out += '"';  return true; }
        if (name == "apos") { out += '\''; return true; }
        return false;
    }

    // Line breaks and tabs in a literal value read as spaces, as XML normalises them.
    bool readAttributeValue (std::string& out)
    {
        const char quote = peek();
        if (quote != '"' && quote != '\'')
            return false;
        ++pos;

        while (pos < end)
        {
            const char c = *pos;

            if (c == quote)
            {
                ++pos;
                return true;
            }

            if (c == '<')
                return false;

            if (c == '&')
            {
                if (! readReference (out))
                    return false;
                continue;
            }

            ++pos;

            if (c == '\r' && peek() == '\n')
                ++pos;

            out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
        }

        return false;
    }

    // At '<' of a start tag.
    juce::ValueTree readElement (int depth)
    {
        if (depth > maxXmlDepth)
            return {};

        ++pos;
        const auto tag = readName();
        if (tag.empty())
            return {};

        juce::ValueTree tree { juce::Identifier (toString (tag)) };
        std::string value;

        for (;;)
        {
            const bool spaced = skipSpace();

            if (startsWith ("/>"))
            {
                pos += 2;
                return tree;
            }

            if (peek() == '>')
            {
                ++pos;
                break;
            }

            if (! spaced)
                return {};

            const auto attribute = readName();
            if (attribute.empty())
                return {};

            skipSpace();
            if (peek() != '=')
                return {};
            ++pos;
            skipSpace();

            value.clear();
            if (! readAttributeValue (value))
                return {};

            const juce::Identifier id (toString (attribute));
            if (tree.hasProperty (id))
                return {};
            tree.setProperty (id, toString (value), nullptr);
        }

        // Content up to the matching end tag; a tree keeps no character data.
        std::string ignoredText;

        while (pos < end)
        {
            if (startsWith ("</"))
            {
                pos += 2;
                if (readName() != tag)
                    return {};
                skipSpace();
                if (peek() != '>')
                    return {};
                ++pos;
                return tree;
            }

            if (startsWith ("<!--"))
            {
                pos += 4;
                if (! skipPast ("-->"))
                    return {};
            }
            else if (startsWith ("<![CDATA["))
            {
                pos += 9;
                if (! skipPast ("]]>"))
                    return {};
            }
            else if (startsWith ("<?"))
            {
                pos += 2;
                if (! skipPast ("?>"))
                    return {};
            }
            else if (peek() == '<')
            {
                auto child = readElement (depth + 1);
                if (! child.isValid())
                    return {};
                tree.appendChild (child, nullptr);
            }
            else if (peek() == '&')
            {
                ignoredText.clear();
                if (! readReference (ignoredText))
                    return {};
            }
            else
            {
                ++pos;
            }
        }

        return {};
    }
};
} // namespace

juce::ValueTree readTreeFromXml (const char* text, std::size_t length)
{
    if (text == nullptr || ! isValidXmlText (reinterpret_cast<const unsigned char*> (text), length))
        return {};

    return Parser (text, text + length).readDocument();
}
} // namespace tarnwell
