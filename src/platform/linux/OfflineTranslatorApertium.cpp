#include "OfflineTranslatorApertium.h"

#include "ApertiumStream.h"

#include <unicode/locid.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <regex>

namespace lexoria {

namespace {

// Apertium names languages by three letters, the rest of the program by two.
// ICU reads a three-letter code as the two-letter one of the same language.
std::string twoLetterCode(const std::string& threeLetters) {
    std::array<char, ULOC_LANG_CAPACITY> language{};
    UErrorCode status = U_ZERO_ERROR;
    uloc_getLanguage(threeLetters.c_str(), language.data(), language.size(), &status);
    return U_SUCCESS(status) && status != U_STRING_NOT_TERMINATED_WARNING && language[0]
               ? std::string(language.data())
               : threeLetters;
}

// The language of a code as the rest of the program writes it ("iw", "jw", "zh-CN").
std::string canonicalCode(const std::string& code) {
    const icu::Locale locale = icu::Locale::createCanonical(code.c_str());
    return locale.isBogus() || !*locale.getLanguage() ? code : locale.getLanguage();
}

struct Mode {
    LanguagePair pair;
    std::vector<PipelinePosix::Command> stages;
};

std::vector<Mode> readModes(const std::filesystem::path& folder) {
    // Plain translation directions only: no variants ("spa-eng_US"), no debugging modes.
    static const std::regex kPairName("([a-z]{2,3})-([a-z]{2,3})");
    // A mode file is one short line; anything else (a pipe would block the start) is not one.
    constexpr std::uintmax_t kMaxModeBytes = 1 << 16;
    std::vector<std::filesystem::path> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) && entry.file_size(error) <= kMaxModeBytes) {
            paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());  // the same choice at every start
    std::vector<Mode> modes;
    for (const std::filesystem::path& path : paths) {
        std::smatch match;
        const std::string name = path.stem().string();
        if (path.extension() != ".mode" || !std::regex_match(name, match, kPairName)) {
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        const std::string line((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (auto stages = apertiumStages(line)) {
            modes.push_back(
                {{twoLetterCode(match[1].str()), twoLetterCode(match[2].str())}, *stages});
        }
    }
    return modes;
}

}  // namespace

OfflineTranslatorApertium::OfflineTranslatorApertium(const std::filesystem::path& modesFolder,
                                                     std::chrono::milliseconds timeout)
    : timeout_(timeout) {
    for (Mode& mode : readModes(modesFolder)) {
        pipelines_.emplace(std::make_pair(mode.pair.from, mode.pair.to),
                           std::make_unique<PipelinePosix>(std::move(mode.stages)));
    }
}

std::vector<LanguagePair> OfflineTranslatorApertium::pairs() const {
    std::vector<LanguagePair> pairs;
    for (const auto& [codes, pipeline] : pipelines_) {
        pairs.push_back({codes.first, codes.second});
    }
    return pairs;
}

std::optional<std::string> OfflineTranslatorApertium::translate(const std::string& text,
                                                                const std::string& from,
                                                                const std::string& to) {
    const auto it = pipelines_.find({canonicalCode(from), canonicalCode(to)});
    if (it == pipelines_.end()) {
        return std::nullopt;
    }
    PipelinePosix& pipeline = *it->second;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!pipeline.running() && !pipeline.start()) {
            continue;
        }
        // A stage that lost its input flushes what it has: only an answer that brings our
        // closing block back is the whole translation.
        const std::optional<std::string> answer =
            pipeline.exchange(apertiumStreamOf(text), timeout_);
        if (!answer || !answer->ends_with("[]")) {
            pipeline.stop();
            continue;
        }
        std::string result = apertiumTextOf(*answer);
        // A dropped subject pronoun leaves its blank in front ("I have" → " Tengo").
        if (!text.starts_with(' ') && result.starts_with(' ')) {
            result.erase(0, result.find_first_not_of(' '));
        }
        return result;
    }
    return std::nullopt;
}

}  // namespace lexoria
