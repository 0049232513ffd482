#include "LocalePosix.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace lexoria {

namespace {

struct LocaleName {
    std::string language;  // "pt"
    std::string region;    // "BR", or empty
};

// Splits "language[_REGION][.codeset][@modifier]"; "C" and "POSIX" name no language.
std::optional<LocaleName> parseLocaleName(std::string name) {
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") {
        return std::nullopt;
    }
    LocaleName parsed;
    const auto underscore = name.find('_');
    parsed.language = name.substr(0, underscore);
    if (underscore != std::string::npos) {
        parsed.region = name.substr(underscore + 1);
    }
    const auto isAlpha = [](const std::string& s) {
        return !s.empty() && std::all_of(s.begin(), s.end(),
                                         [](unsigned char c) { return std::isalpha(c) != 0; });
    };
    if (!isAlpha(parsed.language)) {
        return std::nullopt;
    }
    std::transform(parsed.language.begin(), parsed.language.end(), parsed.language.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool regionOk = (parsed.region.size() == 2 && isAlpha(parsed.region)) ||
                          (parsed.region.size() == 3 &&
                           std::all_of(parsed.region.begin(), parsed.region.end(),
                                       [](unsigned char c) { return std::isdigit(c) != 0; }));
    if (!regionOk) {
        parsed.region.clear();
    }
    std::transform(parsed.region.begin(), parsed.region.end(), parsed.region.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return parsed;
}

std::string identifier(const LocaleName& name) {
    return name.region.empty() ? name.language : name.language + "-" + name.region;
}

}  // namespace

LocalePosix::LocalePosix()
    : LocalePosix([](const char* variable) -> std::optional<std::string> {
          const char* value = std::getenv(variable);
          return value ? std::optional<std::string>(value) : std::nullopt;
      }) {}

LocalePosix::LocalePosix(const Lookup& lookup) {
    std::optional<LocaleName> locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::optional<std::string> value = lookup(variable);
        if (value && !value->empty()) {
            locale = parseLocaleName(*value);
            break;
        }
    }
    if (locale && !locale->region.empty()) {
        region_ = locale->region;
    }
    const auto add = [this](const std::string& language) {
        if (std::find(languages_.begin(), languages_.end(), language) == languages_.end()) {
            languages_.push_back(language);
        }
    };
    if (const std::optional<std::string> list = lookup("LANGUAGE")) {
        std::size_t start = 0;
        while (start <= list->size()) {
            const std::size_t colon = std::min(list->find(':', start), list->size());
            if (std::optional<LocaleName> entry =
                    parseLocaleName(list->substr(start, colon - start))) {
                add(identifier(*entry));
            }
            start = colon + 1;
        }
    }
    if (locale) {
        add(locale->language);
    }
}

}  // namespace lexoria
