#include "FuzzInput.h"
#include "app/PrettyXml.h"
#include "engine/TextTools.h"

// Text other programs hand over through the Services entry.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<std::string> pretty = lexoria::prettyPrintedXml(text, error);
    FUZZ_CHECK(pretty.has_value() || !error.empty());
    if (pretty && lexoria::isValidUtf8(text)) {
        FUZZ_CHECK(lexoria::isValidUtf8(*pretty));
    }
    return 0;
}
