#pragma once

#include <map>
#include <string>
#include <vector>

#include "ports/OfflineTranslator.h"

namespace lexoria {

// Name → code of every language of the installed pairs, named in English as the shipped
// language tables name theirs, so a name chosen for one service stays chosen for this one.
std::map<std::string, std::string> offlineLanguageTable(const std::vector<LanguagePair>& pairs);

}  // namespace lexoria
