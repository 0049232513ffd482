#pragma once

#include "HttpFetch.h"
#include "ServiceAddresses.h"
#include "ports/Bundle.h"
#include "ports/Defaults.h"
#include "ports/LanguageGuesser.h"
#include "ports/Locale.h"
#include "ports/Log.h"
#include "ports/OfflineTranslator.h"

namespace lexoria {

class AsyncHttp;

// What a translation needs from the rest of the program: the settings, the user's
// locale, where the services are and how to reach them. The optional parts may be
// missing: without a bundle there is no language table, without asynchronous
// connections no PROMT, without a log nothing is logged.
struct EngineContext {
    Defaults& defaults;
    const Locale& locale;
    ServiceAddresses addresses;
    HttpOptions http;
    const Bundle* bundle = nullptr;
    AsyncHttp* asyncHttp = nullptr;
    Log* log = nullptr;
    OfflineTranslator* offline = nullptr;      // without it the service "Offline" gives no text
    const LanguageGuesser* guesser = nullptr;  // its guess stands in when detection gives none
};

}  // namespace lexoria
