#include "FuzzInput.h"
#include "engine/Charset.h"
#include "engine/TextTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string charset = input.take();
    const std::string body = input.rest();
    const auto text = lexoria::decodeText(
        body, charset.empty() ? std::nullopt : std::optional<std::string>(charset));
    if (text) {
        FUZZ_CHECK(lexoria::isValidUtf8(*text));
    }
    return 0;
}
