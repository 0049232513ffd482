#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lexoria {

// Where each service and the maker's site are reached, as "host" or "host:port". The
// scheme of every service request is fixed by the code that builds it.
struct ServiceAddresses {
    std::string google = "translate.google.com";
    std::string yandexTranslate = "translate.yandex.net";
    std::string yandexDictionary = "dictionary.yandex.net";
    std::string microsoft = "api.microsofttranslator.com";
    std::string babylon = "translation.babylon.com";
    std::string promt = "www.translate.ru";
    // The maker's site over http; empty for a build without a public site, which reads
    // the installed copy in `siteFolder` instead.
    std::string site = "www.lexoria.org";
    // Absolute path of the installed copy of the site.
    std::string siteFolder;

    // Overrides from LEXORIA_GOOGLE_HOST, LEXORIA_YANDEX_TRANSLATE_HOST,
    // LEXORIA_YANDEX_DICTIONARY_HOST, LEXORIA_MICROSOFT_HOST, LEXORIA_BABYLON_HOST,
    // LEXORIA_PROMT_HOST and LEXORIA_SITE_HOST. An empty variable counts as unset; a
    // value that is not host[:port] is refused with a message in `errors`.
    void applyEnvironment(const std::function<std::optional<std::string>(const char*)>& lookup,
                          std::vector<std::string>& errors);

    // The address of a document of the maker's site, escaped and ready to fetch or open:
    // "http://site/path", or "file:///siteFolder/path" when there is no public site (a
    // folder path names its index page there, as a web server would serve it).
    std::string siteAddress(const std::string& path) const;
};

// True for "name", "name:port", "[v6]" and "[v6]:port" with a port of 1 to 65535.
bool isHostAndPort(const std::string& text);

}  // namespace lexoria
