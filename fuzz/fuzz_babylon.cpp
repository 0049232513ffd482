#include "FuzzInput.h"
#include "FuzzTranslators.h"
#include "engine/TextTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzTranslators fuzz(data, size);
    const std::optional<std::string> result = fuzz.translators.babylonHtmlStr();
    FUZZ_CHECK(fuzz.translators.osnova() == result);
    if (result) {
        FUZZ_CHECK(lexoria::isValidUtf8(*result));  // JSON strings are UTF-8
    }
    return 0;
}
