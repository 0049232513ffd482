#pragma once

namespace lexoria {

// Application identifiers of Microsoft Translator: `apiF` for ordinary translation and
// detection, `apiS` for the second key and the repeat after an error answer.
inline constexpr const char* kApiF = "6C1E2A0B98D34F75A1C0E9B27D4F8A63B5E1C7D2";
inline constexpr const char* kApiS = "F3A9D1C64B07E2859AC3D6F01E7B4C92D8A5F160";

inline constexpr const char* kYandexTranslateKey =
    "trnsl.1.1.20161106T101500Z.5c7a1e9d3b2f4a60.8e4d2c7b1a9f03e65d7c4b2a19e8f0d3c6b5a471";
inline constexpr const char* kYandexDictionaryKey =
    "dict.1.1.20161106T101742Z.a3f09c1e7d5b2846.0c9e7a5d3b1f42e86a4c2e0b9d7f5a31c8e6b420";

}  // namespace lexoria
