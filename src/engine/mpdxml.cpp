#include "engine/mpdxml.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace dromo {
namespace {

constexpr const char* kNamespace = "urn:mpeg:dash:schema:mpd:2011";
constexpr int kMaxDepth = 32;

struct ParseState {
    bool declaration = false;  // a DOCTYPE or an entity declaration was met
    int line = 0;
};

void RefuseDeclaration(void* context)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    auto* state = static_cast<ParseState*>(ctxt->_private);
    if (!state->declaration) {
        state->declaration = true;
        state->line = ctxt->input != nullptr ? ctxt->input->line : 0;
    }
    xmlStopParser(ctxt);
}

void OnSubset(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    RefuseDeclaration(context);
}

void OnEntityDeclaration(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*)
{
    RefuseDeclaration(context);
}

std::string Text(const xmlChar* text)
{
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// xmlFree is a variable libxml2 sets, not a function.
struct XmlTextFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlText = std::unique_ptr<xmlChar, XmlTextFree>;

bool OfManifest(const xmlNode* node)
{
    return node->type == XML_ELEMENT_NODE &&
           (node->ns == nullptr ||
            (node->ns->href != nullptr && std::strcmp(reinterpret_cast<const char*>(node->ns->href), kNamespace) == 0));
}

int LineOf(const xmlNode* node)
{
    const long line = xmlGetLineNo(node);
    return line > 0 && line < INT_MAX ? static_cast<int>(line) : 0;
}

// The tree below an element, bounded in elements and depth.
class TreeCopy {
public:
    explicit TreeCopy(std::string& error) : m_error(error) {}

    void Copy(const xmlNode* node, MpdElement& out, int depth)
    {
        if (++m_elements > kManifestMaxElements) {
            Fail(node, "the manifest has more than " + std::to_string(kManifestMaxElements) + " elements");
            return;
        }
        if (depth > kMaxDepth) {
            Fail(node, "the manifest nests elements more than " + std::to_string(kMaxDepth) + " deep");
            return;
        }
        out.name = Text(node->name);
        out.line = LineOf(node);
        for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
            if (a->ns != nullptr) {
                continue;  // xlink's and other namespaces' attributes say nothing here
            }
            const XmlText value(xmlNodeListGetString(node->doc, a->children, 1));
            out.attributes.emplace_back(Text(a->name), Text(value.get()));
        }
        if (out.name == "BaseURL") {
            const XmlText content(xmlNodeGetContent(node));
            out.text = Text(content.get());
        }
        for (const xmlNode* child = node->children; child != nullptr && m_error.empty(); child = child->next) {
            if (OfManifest(child)) {
                out.children.emplace_back();
                Copy(child, out.children.back(), depth + 1);
            }
        }
    }

private:
    void Fail(const xmlNode* node, const std::string& why)
    {
        if (m_error.empty()) {
            const int line = LineOf(node);
            m_error = line > 0 ? "Line " + std::to_string(line) + ": " + why : why;
        }
    }

    std::string& m_error;
    std::size_t m_elements = 0;
};

// What libxml2 said of a document that is not well-formed, in its words.
std::string XmlError(xmlParserCtxtPtr ctxt)
{
    const xmlError* error = xmlCtxtGetLastError(ctxt);
    if (error == nullptr || error->message == nullptr) {
        return "This is not a DASH manifest: it is not well-formed XML.";
    }
    std::string message = error->message;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    const std::string text = "This is not a DASH manifest: " + message + ".";
    return error->line > 0 ? "Line " + std::to_string(error->line) + ": " + text : text;
}

}  // namespace

MpdElement MpdXml::Parse(std::string_view text, std::string& error)
{
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    error.clear();
    MpdElement root;
    if (text.size() > kManifestMaxBytes) {
        error = "The manifest is larger than " + std::to_string(kManifestMaxBytes / (1024 * 1024)) + " MB.";
        return root;
    }
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(
        xmlCreateMemoryParserCtxt(text.data(), static_cast<int>(text.size())), xmlFreeParserCtxt);
    if (!ctxt) {
        error = "This is not a DASH manifest: it is empty.";
        return root;
    }
    // No network, no DTD loaded, no entity substituted; the library's own
    // messages go nowhere (the error text carries them).
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES);
    ParseState state;
    ctxt->_private = &state;
    ctxt->sax->internalSubset = OnSubset;
    ctxt->sax->externalSubset = OnSubset;
    ctxt->sax->entityDecl = OnEntityDeclaration;
    xmlParseDocument(ctxt.get());
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(ctxt->myDoc, xmlFreeDoc);
    ctxt->myDoc = nullptr;
    const xmlNode* top = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (state.declaration) {
        error = (state.line > 0 ? "Line " + std::to_string(state.line) + ": " : std::string()) +
                "a DASH manifest may not declare a document type or entities.";
    } else if (!ctxt->wellFormed || !doc) {
        error = XmlError(ctxt.get());
    } else if (top == nullptr || !OfManifest(top)) {
        error = "This is not a DASH manifest: its root element is not <MPD>.";
    } else {
        TreeCopy(error).Copy(top, root, 0);
    }
    if (!error.empty()) {
        root = MpdElement();
    }
    return root;
}

DashReading MpdXml::Read(std::string_view document, std::string_view url)
{
    std::string error;
    const MpdElement root = Parse(document, error);
    if (!error.empty()) {
        DashReading reading;
        reading.error = error;
        return reading;
    }
    return ReadDashManifest(root, url);
}

}  // namespace dromo
