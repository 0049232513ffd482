#include "FuzzInput.h"
#include "engine/TextTools.h"
#include "platform/linux/ApertiumStream.h"

// A mode file's line split into stages, and a text through the stream format and back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string line = input.take();
    const std::string text = input.rest();
    if (const auto stages = lexoria::apertiumStages(line)) {
        for (const std::vector<std::string>& stage : *stages) {
            FUZZ_CHECK(stage.size() >= 2 && !stage[0].empty() && stage[1] == "-z");
        }
    }
    const std::string stream = lexoria::apertiumStreamOf(text);
    FUZZ_CHECK(stream.ends_with("[]"));
    FUZZ_CHECK(lexoria::apertiumTextOf(stream) == text);
    if (lexoria::isValidUtf8(text)) {
        FUZZ_CHECK(lexoria::isValidUtf8(stream));
    }
    return 0;
}
