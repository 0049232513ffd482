#include "PrettyXml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <climits>
#include <memory>

namespace lexoria {

namespace {

struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct BufferDeleter {
    void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::optional<std::string> prettyPrintedXml(const std::string& text, std::string& error) {
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context || text.size() > static_cast<std::size_t>(INT32_MAX)) {
        error = "The text is too large to read as XML.";
        return std::nullopt;
    }
    // Malformed XML is mended where the parser can; entities are not expanded and
    // nothing is fetched from the network.
    const int options = XML_PARSE_RECOVER | XML_PARSE_NOBLANKS | XML_PARSE_NONET |
                        XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, DocumentDeleter> document(xmlCtxtReadMemory(
        context.get(), text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", options));
    if (!document || !xmlDocGetRootElement(document.get())) {
        const xmlError* last = xmlCtxtGetLastError(context.get());
        error = last && last->message ? trimmed(last->message) : "The text is not XML.";
        return std::nullopt;
    }
    std::unique_ptr<xmlBuffer, BufferDeleter> buffer(xmlBufferCreate());
    const bool declared = text.rfind("<?xml", 0) == 0;
    xmlSaveCtxt* saver =
        xmlSaveToBuffer(buffer.get(), "UTF-8", XML_SAVE_FORMAT | (declared ? 0 : XML_SAVE_NO_DECL));
    if (!saver) {
        error = "The XML could not be written.";
        return std::nullopt;
    }
    xmlSaveDoc(saver, document.get());
    xmlSaveClose(saver);
    return trimmed(std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                               static_cast<std::size_t>(xmlBufferLength(buffer.get()))));
}

}  // namespace lexoria
