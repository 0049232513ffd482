#pragma once

#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "engine/SelfTranslators.h"

// A dispatcher whose working text holds the fuzzer's bytes, as after a fetch.
struct FuzzTranslators {
    FuzzTranslators(const uint8_t* data, std::size_t size) {
        translators.setOsnova(std::string(reinterpret_cast<const char*>(data), size));
    }
    lexoria::test::DefaultsMemory defaults;
    lexoria::test::LocaleFixed locale;
    lexoria::EngineContext context{defaults, locale, {}, {}};
    lexoria::SelfTranslators translators{context};
};
