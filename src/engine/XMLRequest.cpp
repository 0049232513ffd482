#include "XMLRequest.h"

#include "Charset.h"

namespace lexoria {

void XMLRequest::request(const std::string& urlText) {
    if (urlText.empty()) {
        setData(std::nullopt, std::nullopt);
        return;
    }
    setURL(isLegalUrlText(urlText) ? std::optional<std::string>(urlText) : std::nullopt);
    if (!url_) {
        setData(std::nullopt, std::nullopt);
        return;
    }
    std::optional<HttpAnswer> answer = httpGet(*url_, options_, defaultUserAgent());
    if (!answer) {
        setData(std::nullopt, std::nullopt);
        return;
    }
    setData(std::move(answer->body), answer->charset);
}

void XMLRequest::setData(const std::optional<std::string>& body,
                         const std::optional<std::string>& encoding) {
    // Nothing new arrived: keep what there is (for a fresh request, nothing).
    if (!body && !data_) {
        return;
    }
    data_ = body;
    if (!data_) {
        setSourceTextViewString(std::nullopt);
        return;
    }
    setSourceTextViewString(decodeText(*data_, encoding));
}

void XMLRequest::setSourceTextViewString(const std::optional<std::string>& text) {
    osnova_ = text.value_or(std::string());
}

}  // namespace lexoria
