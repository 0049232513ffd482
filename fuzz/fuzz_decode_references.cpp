#include "DecodeChain.h"
#include "FuzzInput.h"
#include "engine/Parsing.h"

// The one-pass decoder against the literal chain of replacements.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    lexoria::Parsing parsing;
    parsing.setStringForDecodeHTML(text);
    FUZZ_CHECK(parsing.returnDecodeStr() == lexoria::test::decodeByChain(text));
    parsing.setStringForParsingLingvo(text);
    FUZZ_CHECK(parsing.returnLingvoStr()->size() <= text.size());
    return 0;
}
