#include "ServiceAddresses.h"

#include <array>
#include <utility>

#include "TextTools.h"

namespace lexoria {

namespace {

bool isHostNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

bool isPort(const std::string& text) {
    if (text.empty() || text.size() > 5) {
        return false;
    }
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

}  // namespace

bool isHostAndPort(const std::string& text) {
    std::string host = text;
    std::string port;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos || close == 1) {
            return false;
        }
        for (std::size_t i = 1; i < close; ++i) {
            const char c = text[i];
            const bool hex =
                (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            if (!hex && c != ':' && c != '.') {
                return false;
            }
        }
        if (close + 1 == text.size()) {
            return true;
        }
        return text[close + 1] == ':' && isPort(text.substr(close + 2));
    }
    const auto colon = text.find(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (!isPort(port)) {
            return false;
        }
    }
    if (host.empty() || host.front() == '-' || host.front() == '.') {
        return false;
    }
    for (char c : host) {
        if (!isHostNameChar(c)) {
            return false;
        }
    }
    return true;
}

void ServiceAddresses::applyEnvironment(
    const std::function<std::optional<std::string>(const char*)>& lookup,
    std::vector<std::string>& errors) {
    const std::array<std::pair<const char*, std::string ServiceAddresses::*>, 7> table{{
        {"LEXORIA_GOOGLE_HOST", &ServiceAddresses::google},
        {"LEXORIA_YANDEX_TRANSLATE_HOST", &ServiceAddresses::yandexTranslate},
        {"LEXORIA_YANDEX_DICTIONARY_HOST", &ServiceAddresses::yandexDictionary},
        {"LEXORIA_MICROSOFT_HOST", &ServiceAddresses::microsoft},
        {"LEXORIA_BABYLON_HOST", &ServiceAddresses::babylon},
        {"LEXORIA_PROMT_HOST", &ServiceAddresses::promt},
        {"LEXORIA_SITE_HOST", &ServiceAddresses::site},
    }};
    for (const auto& [variable, field] : table) {
        const std::optional<std::string> value = lookup(variable);
        if (!value || value->empty()) {
            continue;
        }
        if (!isHostAndPort(*value)) {
            errors.push_back(std::string(variable) + " is not host[:port]: \"" + *value + "\"");
            continue;
        }
        this->*field = *value;
    }
}

std::string ServiceAddresses::siteAddress(const std::string& path) const {
    // The host stays as written: escaping the brackets of an IPv6 address breaks it.
    if (!site.empty()) {
        return "http://" + site + percentEncode(path);
    }
    std::string document = siteFolder + path;
    if (document.empty() || document.back() == '/') {
        document += "index.html";
    }
    return "file://" + percentEncode(document);
}

}  // namespace lexoria
