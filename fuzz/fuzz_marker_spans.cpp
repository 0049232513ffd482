#include "FuzzInput.h"
#include "engine/TextTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string open = input.take();
    const std::string close = input.take();
    const std::string text = input.rest();
    const std::string result = lexoria::removeMarkerSpans(text, open, close);
    FUZZ_CHECK(result.size() <= text.size());
    if (open.empty() || text.find(open) == std::string::npos) {
        FUZZ_CHECK(result == text);
    } else {
        // Everything before the first opening mark is kept as it was.
        FUZZ_CHECK(result.compare(0, text.find(open), text, 0, text.find(open)) == 0);
    }
    if (lexoria::isValidUtf8(text) && lexoria::isValidUtf8(open) && lexoria::isValidUtf8(close)) {
        FUZZ_CHECK(lexoria::isValidUtf8(result));
    }
    return 0;
}
