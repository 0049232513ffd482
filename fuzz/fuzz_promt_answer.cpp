#include "FuzzInput.h"
#include "engine/Promt.h"
#include "engine/TextTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> stored = lexoria::promtTranslationOfAnswer(body);
    if (stored) {
        FUZZ_CHECK(lexoria::isValidUtf8(*stored));
        FUZZ_CHECK(*stored != "(null)" || body.find("(null)") != std::string::npos);
    }
    return 0;
}
