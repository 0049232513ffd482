#include "OfflineLanguages.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace lexoria {

std::map<std::string, std::string> offlineLanguageTable(const std::vector<LanguagePair>& pairs) {
    std::map<std::string, std::string> table;
    for (const LanguagePair& pair : pairs) {
        for (const std::string& code : {pair.from, pair.to}) {
            icu::UnicodeString name;
            icu::Locale(code.c_str()).getDisplayLanguage(icu::Locale::getEnglish(), name);
            std::string utf8;
            table.emplace(name.isEmpty() ? code : name.toUTF8String(utf8), code);
        }
    }
    return table;
}

}  // namespace lexoria
