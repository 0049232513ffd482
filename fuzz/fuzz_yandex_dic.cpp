#include "DefaultsMemory.h"
#include "FuzzInput.h"
#include "LocaleFixed.h"
#include "engine/SelfTranslators.h"
#include "engine/TextTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    lexoria::test::DefaultsMemory defaults;
    lexoria::test::LocaleFixed locale;
    lexoria::EngineContext context{defaults, locale, {}, {}};
    lexoria::SelfTranslators translators(context);
    translators.setOsnova(answer);
    const std::string result = translators.yandexDic();
    FUZZ_CHECK(translators.osnova() == result);
    if (lexoria::isValidUtf8(answer)) {
        FUZZ_CHECK(lexoria::isValidUtf8(result));
    }
    return 0;
}
