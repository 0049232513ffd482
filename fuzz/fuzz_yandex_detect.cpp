#include "FuzzInput.h"
#include "FuzzTranslators.h"
#include "engine/TextTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzTranslators fuzz(data, size);
    const std::string answer = *fuzz.translators.osnova();
    const std::string result = fuzz.translators.yandexDetectStr();
    FUZZ_CHECK(fuzz.translators.osnova() == result);
    if (lexoria::isValidUtf8(answer)) {
        FUZZ_CHECK(lexoria::isValidUtf8(result));
    }
    return 0;
}
