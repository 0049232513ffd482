#pragma once

#include <optional>
#include <string>

#include "HttpFetch.h"

namespace lexoria {

// One blocking GET whose answer body is handed out as text, decoded with the character
// set the answer declares. Make one per fetch.
class XMLRequest {
  public:
    explicit XMLRequest(HttpOptions options = {}) : options_(std::move(options)) {}

    void request(const std::string& urlText);
    // The decoded body: absent when no answer with a body arrived, the empty text when
    // the body is not valid in its character set.
    std::optional<std::string> returnDataStr() const { return osnova_; }

    void setData(const std::optional<std::string>& body,
                 const std::optional<std::string>& encoding);
    void setURL(const std::optional<std::string>& url) { url_ = url; }
    void setSourceTextViewString(const std::optional<std::string>& text);

    const std::optional<std::string>& url() const { return url_; }

  private:
    HttpOptions options_;
    std::optional<std::string> url_;
    std::optional<std::string> data_;
    std::optional<std::string> osnova_;
};

}  // namespace lexoria
