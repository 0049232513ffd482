#pragma once

#include "HttpFetch.h"
#include "ServiceAddresses.h"
#include "platform/Defaults.h"
#include "platform/Locale.h"

namespace lexoria {

// What a translation needs from the rest of the program: the settings, the user's
// locale, where the services are and how to reach them.
struct EngineContext {
    Defaults& defaults;
    const Locale& locale;
    ServiceAddresses addresses;
    HttpOptions http;
};

}  // namespace lexoria
