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

// What the parser reported, and the first report of a repair that drops part of the
// text (everything but closing tags that were left open).
struct ParseErrors {
    std::string first;
    std::string firstLossy;

    static void record(void* self, xmlErrorPtr report) {
        auto* errors = static_cast<ParseErrors*>(self);
        if (!report || report->level < XML_ERR_ERROR) {
            return;
        }
        const std::string message =
            report->message ? trimmed(report->message) : "The text is not XML.";
        if (errors->first.empty()) {
            errors->first = message;
        }
        const bool closesTags =
            report->code == XML_ERR_TAG_NAME_MISMATCH || report->code == XML_ERR_TAG_NOT_FINISHED;
        if (!closesTags && errors->firstLossy.empty()) {
            errors->firstLossy = message;
        }
    }
};

}  // namespace

std::optional<std::string> prettyPrintedXml(const std::string& text, std::string& error) {
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context || text.size() > static_cast<std::size_t>(INT32_MAX)) {
        error = "The text is too large to read as XML.";
        return std::nullopt;
    }
    // Entities are not expanded and nothing is fetched from the network.
    const int options = XML_PARSE_RECOVER | XML_PARSE_NOBLANKS | XML_PARSE_NONET;
    ParseErrors errors;
    xmlSetStructuredErrorFunc(&errors, &ParseErrors::record);
    std::unique_ptr<xmlDoc, DocumentDeleter> document(xmlCtxtReadMemory(
        context.get(), text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", options));
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!document || !xmlDocGetRootElement(document.get())) {
        error = errors.first.empty() ? "The text is not XML." : errors.first;
        return std::nullopt;
    }
    // Tags left open are closed; any other repair would hand back less than was given.
    if (!errors.firstLossy.empty()) {
        error = errors.firstLossy;
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
