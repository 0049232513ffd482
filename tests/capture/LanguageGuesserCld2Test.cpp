#include "platform/linux/LanguageGuesserCld2.h"

#include <gtest/gtest.h>

namespace lexoria {
namespace {

TEST(LanguageGuesserCld2, AnswersOnlyWhenSureInCurrentCodes) {
    struct Row {
        const char* name;
        std::string text;
        std::optional<std::string> language;
    };
    const Row rows[] = {
        {"English",
         "The quick brown fox jumps over the lazy dog and runs far away into the forest.", "en"},
        {"Hebrew, old code iw",
         "שלום עולם, זהו טקסט בעברית שנכתב כדי לבדוק את זיהוי השפה של הספרייה.", "he"},
        {"Javanese, old code jw",
         "Basa Jawa iku basa sing dituturaké déning wong Jawa ing Jawa Tengah, Jawa Timur, lan "
         "Yogyakarta. Basa iki uga dianggo ing Banten lan Jawa Kulon.",
         "jv"},
        {"digits: an unreliable guess", "12345 67890", std::nullopt},
        {"too short to be sure", "xq", std::nullopt},
        {"broken UTF-8: unknown", "\xff\xfe broken", std::nullopt},
        {"nothing", "", std::nullopt},
    };
    const LanguageGuesserCld2 guesser;
    for (const auto& row : rows) {
        EXPECT_EQ(guesser.languageOf(row.text), row.language) << row.name;
    }
}

}  // namespace
}  // namespace lexoria
