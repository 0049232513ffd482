#include "FuzzInput.h"
#include "engine/PropertyList.h"
#include "engine/TextTools.h"

namespace {

// Every text read out of a property list is well-formed UTF-8.
void checkTexts(const lexoria::PlistValue& value) {
    if (const std::string* text = value.text()) {
        FUZZ_CHECK(lexoria::isValidUtf8(*text));
    } else if (const auto* array = value.array()) {
        for (const auto& item : *array) {
            checkTexts(item);
        }
    } else if (const auto* dictionary = value.dictionary()) {
        for (const auto& [key, member] : *dictionary) {
            FUZZ_CHECK(lexoria::isValidUtf8(key));
            checkTexts(member);
        }
    }
}

}  // namespace

// The settings file and the update manifest of the maker's site.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto value =
        lexoria::parsePropertyList(std::string_view(reinterpret_cast<const char*>(data), size));
    if (value) {
        checkTexts(*value);
    }
    return 0;
}
