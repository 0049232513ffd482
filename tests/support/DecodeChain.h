#pragma once

#include <string>

#include "engine/Parsing.h"
#include "engine/TextTools.h"

namespace lexoria::test {

// The decoding as a literal chain of whole-text replacements, one per table row in
// order: slow, obviously right, and the oracle for the one-pass decoder.
inline std::string decodeByChain(std::string text) {
    for (const DecodeRow& row : Parsing::decodeTable()) {
        replaceAll(text, row.search, row.replacement);
    }
    return text;
}

}  // namespace lexoria::test
