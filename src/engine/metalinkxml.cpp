#include "engine/metalinkxml.h"

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

constexpr const char* kNamespace4 = "urn:ietf:params:xml:ns:metalink";
constexpr const char* kNamespace3 = "http://www.metalinker.org/";

// The parse's own state, reached from the SAX callbacks through the
// context's _private.
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

void OnInternalSubset(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
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

// A string libxml2 allocated, as text, freed.
std::string Taken(xmlChar* text)
{
    std::string out = Text(text);
    xmlFree(text);
    return out;
}

bool Named(const xmlNode* node, const char* name, const char* ns)
{
    return node->type == XML_ELEMENT_NODE && node->ns != nullptr && node->ns->href != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0 &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), ns) == 0;
}

std::string Attribute(const xmlNode* node, const char* name)
{
    return Taken(xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)));
}

std::string Content(const xmlNode* node)
{
    return Taken(xmlNodeGetContent(node));
}

int LineOf(const xmlNode* node)
{
    const long line = xmlGetLineNo(node);
    return line > 0 && line < INT_MAX ? static_cast<int>(line) : 0;
}

std::string AtLine(int line, const std::string& text)
{
    return line > 0 ? "Line " + std::to_string(line) + ": " + text : text;
}

// The walk over the tree; the first limit passed ends it with an error.
class TreeWalk {
public:
    TreeWalk(MetalinkDocument& document, const char* ns) : m_document(document), m_ns(ns) {}

    // False, with the error set, once the document holds the most files.
    bool RoomForAnotherFile()
    {
        if (m_document.files.size() < kMetalinkMaxFiles) {
            return true;
        }
        m_document.error = "The Metalink file lists more than " + std::to_string(kMetalinkMaxFiles) + " files.";
        return false;
    }

    // Version 4: metalink > file > size, url, hash, pieces > hash.
    void File4(const xmlNode* file)
    {
        MetalinkDocument::File& out = NewFile(file);
        for (const xmlNode* child = file->children; child != nullptr && m_document.error.empty(); child = child->next) {
            if (Named(child, "size", m_ns)) {
                out.hasSize = true;
                out.size = Content(child);
            } else if (Named(child, "url", m_ns)) {
                AddUrl(out, child);
            } else if (Named(child, "hash", m_ns)) {
                out.hashes.push_back({LineOf(child), Attribute(child, "type"), Content(child)});
            } else if (Named(child, "pieces", m_ns)) {
                AddPieces(out, child);
            }
        }
    }

    // Version 3: metalink > files > file > size, resources > url,
    // verification > hash, pieces > hash.
    void File3(const xmlNode* file)
    {
        MetalinkDocument::File& out = NewFile(file);
        for (const xmlNode* child = file->children; child != nullptr && m_document.error.empty(); child = child->next) {
            if (Named(child, "size", m_ns)) {
                out.hasSize = true;
                out.size = Content(child);
            } else if (Named(child, "resources", m_ns)) {
                for (const xmlNode* url = child->children; url != nullptr && m_document.error.empty();
                     url = url->next) {
                    if (Named(url, "url", m_ns)) {
                        AddUrl(out, url);
                    }
                }
            } else if (Named(child, "verification", m_ns)) {
                for (const xmlNode* item = child->children; item != nullptr && m_document.error.empty();
                     item = item->next) {
                    if (Named(item, "hash", m_ns)) {
                        out.hashes.push_back({LineOf(item), Attribute(item, "type"), Content(item)});
                    } else if (Named(item, "pieces", m_ns)) {
                        AddPieces(out, item);
                    }
                }
            }
        }
    }

private:
    MetalinkDocument::File& NewFile(const xmlNode* file)
    {
        m_document.files.emplace_back();
        MetalinkDocument::File& out = m_document.files.back();
        out.line = LineOf(file);
        out.name = Attribute(file, "name");
        return out;
    }

    void AddUrl(MetalinkDocument::File& out, const xmlNode* url)
    {
        if (out.urls.size() >= kMetalinkMaxUrls) {
            m_document.error = AtLine(out.line, "the file \"" + out.name + "\" lists more than " +
                                                    std::to_string(kMetalinkMaxUrls) + " URLs.");
            return;
        }
        MetalinkDocument::Url item;
        item.line = LineOf(url);
        item.url = Content(url);
        item.priority = Attribute(url, "priority");
        item.preference = Attribute(url, "preference");
        item.location = Attribute(url, "location");
        item.type = Attribute(url, "type");
        out.urls.push_back(std::move(item));
    }

    void AddPieces(MetalinkDocument::File& out, const xmlNode* pieces)
    {
        MetalinkDocument::Pieces item{LineOf(pieces), Attribute(pieces, "type"), Attribute(pieces, "length"), {}};
        for (const xmlNode* hash = pieces->children; hash != nullptr; hash = hash->next) {
            if (!Named(hash, "hash", m_ns)) {
                continue;
            }
            if (item.hashes.size() >= kMetalinkMaxPieces) {
                m_document.error = AtLine(item.line, "the file \"" + out.name + "\" lists more than " +
                                                         std::to_string(kMetalinkMaxPieces) + " pieces.");
                return;
            }
            item.hashes.push_back(Content(hash));
        }
        out.pieces.push_back(std::move(item));
    }

private:
    MetalinkDocument& m_document;
    const char* m_ns;
};

void ReadTree(const xmlNode* root, MetalinkDocument& document)
{
    const char* ns = nullptr;
    if (Named(root, "metalink", kNamespace4)) {
        document.version = 4;
        ns = kNamespace4;
    } else if (Named(root, "metalink", kNamespace3)) {
        document.version = 3;
        ns = kNamespace3;
    } else {
        document.error = "This is not a Metalink file: its root element is not <metalink> of Metalink 3 or 4.";
        return;
    }
    TreeWalk walk(document, ns);
    for (const xmlNode* child = root->children; child != nullptr && document.error.empty(); child = child->next) {
        if (document.version == 4 && Named(child, "file", ns) && walk.RoomForAnotherFile()) {
            walk.File4(child);
        } else if (document.version == 3 && Named(child, "files", ns)) {
            for (const xmlNode* file = child->children; file != nullptr && document.error.empty(); file = file->next) {
                if (Named(file, "file", ns) && walk.RoomForAnotherFile()) {
                    walk.File3(file);
                }
            }
        }
    }
}

// What libxml2 said of a document that is not well-formed, in its words.
std::string XmlError(xmlParserCtxtPtr ctxt)
{
    const xmlError* error = xmlCtxtGetLastError(ctxt);
    if (error == nullptr || error->message == nullptr) {
        return "This is not a Metalink file: it is not well-formed XML.";
    }
    std::string message = error->message;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    return AtLine(error->line, "This is not a Metalink file: " + message + ".");
}

}  // namespace

MetalinkDocument MetalinkXml::Parse(std::string_view text)
{
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    MetalinkDocument document;
    if (text.size() > kMetalinkMaxBytes) {
        document.error =
            "The Metalink file is larger than " + std::to_string(kMetalinkMaxBytes / (1024 * 1024)) + " MB.";
        return document;
    }
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(
        xmlCreateMemoryParserCtxt(text.data(), static_cast<int>(text.size())), xmlFreeParserCtxt);
    if (!ctxt) {
        document.error = "This is not a Metalink file: it is empty.";
        return document;
    }
    // No network, no DTD loaded, no entity substituted; the library's own
    // messages go nowhere (the error text carries them).
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES);
    ParseState state;
    ctxt->_private = &state;
    ctxt->sax->internalSubset = OnInternalSubset;
    ctxt->sax->externalSubset = OnInternalSubset;
    ctxt->sax->entityDecl = OnEntityDeclaration;
    xmlParseDocument(ctxt.get());
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(ctxt->myDoc, xmlFreeDoc);
    ctxt->myDoc = nullptr;
    if (state.declaration) {
        document.error = AtLine(state.line, "a Metalink file may not declare a document type or entities.");
    } else if (!ctxt->wellFormed || !doc) {
        document.error = XmlError(ctxt.get());
    } else if (const xmlNode* root = xmlDocGetRootElement(doc.get()); root == nullptr) {
        document.error = "This is not a Metalink file: it is empty.";
    } else {
        ReadTree(root, document);
    }
    if (!document.error.empty()) {
        document.files.clear();
    }
    return document;
}

MetalinkReading MetalinkXml::Read(std::string_view document) const
{
    return CheckMetalink(Parse(document));
}

}  // namespace dromo
