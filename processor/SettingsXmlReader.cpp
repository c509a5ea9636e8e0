#include "processor/SettingsXmlReader.h"

#include <expat.h>

#include <climits>
#include <memory>
#include <new>
#include <vector>

namespace tarnwell
{
namespace
{
// expat tokenises and checks well-formedness (strict UTF-8, XML characters, names, quoting,
// matching tags, one root, no duplicate attribute, only the five predefined entities and
// character references). These handlers add our own rules and build the tree.
class TreeBuilder
{
public:
    explicit TreeBuilder (XML_Parser p) : parser (p)
    {
        XML_SetUserData (parser, this);
        XML_SetElementHandler (parser, startElement, endElement);
        // A document type is refused outright, so nothing it declares can ever be expanded.
        XML_SetStartDoctypeDeclHandler (parser, refuseDocumentType);
        XML_SetEntityDeclHandler (parser, refuseEntity);
        XML_SetParamEntityParsing (parser, XML_PARAM_ENTITY_PARSING_NEVER);
    }

    juce::ValueTree read (const char* text, int length)
    {
        if (XML_Parse (parser, text, length, XML_TRUE) != XML_STATUS_OK || failed || ! open.empty())
            return {};
        return root;
    }

private:
    XML_Parser parser;
    std::vector<juce::ValueTree> open;
    juce::ValueTree root;
    bool failed = false;

    static TreeBuilder& self (void* userData) { return *static_cast<TreeBuilder*> (userData); }

    void fail() noexcept
    {
        failed = true;
        XML_StopParser (parser, XML_FALSE);
    }

    // Attributes come as name, value pairs in document order, values already normalised.
    void start (const XML_Char* name, const XML_Char** attributes)
    {
        if (static_cast<int> (open.size()) >= maxXmlDepth)
            return fail();

        juce::ValueTree tree { juce::Identifier (juce::String::fromUTF8 (name)) };

        for (auto** a = attributes; *a != nullptr; a += 2)
            tree.setProperty (juce::Identifier (juce::String::fromUTF8 (a[0])), juce::String::fromUTF8 (a[1]), nullptr);

        if (open.empty())
            root = tree;
        else
            open.back().appendChild (tree, nullptr);

        open.push_back (std::move (tree));
    }

    // No exception may cross expat's C frames: one becomes a refused document.
    static void XMLCALL startElement (void* userData, const XML_Char* name, const XML_Char** attributes)
    {
        auto& builder = self (userData);
        try
        {
            builder.start (name, attributes);
        }
        catch (...)
        {
            builder.fail();
        }
    }

    static void XMLCALL endElement (void* userData, const XML_Char*) { self (userData).open.pop_back(); }

    static void XMLCALL refuseDocumentType (void* userData, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        self (userData).fail();
    }

    static void XMLCALL refuseEntity (void* userData, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                      const XML_Char*, const XML_Char*, const XML_Char*)
    {
        self (userData).fail();
    }
};

struct ParserDeleter
{
    void operator() (XML_Parser p) const noexcept { XML_ParserFree (p); }
};
} // namespace

juce::ValueTree readTreeFromXml (const char* text, std::size_t length)
{
    // expat reads exactly `length` bytes, given as an int; a settings block is never larger.
    if (text == nullptr || length > static_cast<std::size_t> (INT_MAX))
        return {};

    // UTF-8 whatever an XML declaration says, as the writer always writes.
    const std::unique_ptr<XML_ParserStruct, ParserDeleter> parser (XML_ParserCreate ("UTF-8"));
    if (parser == nullptr)
        return {};

    return TreeBuilder (parser.get()).read (text, static_cast<int> (length));
}
} // namespace tarnwell
