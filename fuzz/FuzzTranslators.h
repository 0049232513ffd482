#pragma once

#include "DefaultsMemory.h"
#include "FuzzInput.h"
#include "LocaleFixed.h"
#include "engine/SelfTranslators.h"
#include "engine/TextTools.h"

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

// A fuzz target for one text extraction of the dispatcher: it leaves its result in the
// working text, and well-formed UTF-8 in gives well-formed UTF-8 out with none of the
// fragments the extraction removes for good left in it (in ill-formed input, bytes
// around a removed mark can join into a new one).
#define LEXORIA_EXTRACTION_FUZZER(extraction, ...)                                 \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) { \
        FuzzTranslators fuzz(data, size);                                          \
        const std::string answer = *fuzz.translators.osnova();                     \
        const std::string result = fuzz.translators.extraction();                  \
        FUZZ_CHECK(fuzz.translators.osnova() == result);                           \
        if (lexoria::isValidUtf8(answer)) {                                        \
            FUZZ_CHECK(lexoria::isValidUtf8(result));                              \
            for (const std::string_view gone : {__VA_ARGS__}) {                    \
                FUZZ_CHECK(result.find(gone) == std::string::npos);                \
            }                                                                      \
        }                                                                          \
        return 0;                                                                  \
    }
