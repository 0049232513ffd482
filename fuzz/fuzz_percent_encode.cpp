#include <cctype>

#include "FuzzInput.h"
#include "engine/TextTools.h"

namespace {

int hexValue(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'A' + 10;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string encoded = lexoria::percentEncode(text);
    // Decoding gives the text back, and only URL characters and escapes remain.
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '%') {
            FUZZ_CHECK(i + 2 < encoded.size());
            const char high = encoded[i + 1], low = encoded[i + 2];
            FUZZ_CHECK(std::isxdigit(static_cast<unsigned char>(high)) && !std::islower(high));
            FUZZ_CHECK(std::isxdigit(static_cast<unsigned char>(low)) && !std::islower(low));
            decoded.push_back(static_cast<char>(hexValue(high) * 16 + hexValue(low)));
            i += 2;
        } else {
            FUZZ_CHECK(std::isalnum(static_cast<unsigned char>(c)) ||
                       std::string_view("-_.!~*'();/?:@&=+$,").find(c) != std::string_view::npos);
            decoded.push_back(c);
        }
    }
    FUZZ_CHECK(decoded == text);
    return 0;
}
