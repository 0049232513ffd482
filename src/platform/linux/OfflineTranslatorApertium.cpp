#include "OfflineTranslatorApertium.h"

#include <unicode/locid.h>

#include <fstream>
#include <regex>

namespace lexoria {

namespace {

// Apertium names languages by three letters, the rest of the program by two.
std::string twoLetterCode(const std::string& threeLetters) {
    static const std::map<std::string, std::string> codes = [] {
        std::map<std::string, std::string> table;
        for (const char* const* code = icu::Locale::getISOLanguages(); *code; ++code) {
            table.emplace(icu::Locale(*code).getISO3Language(), *code);
        }
        return table;
    }();
    const auto it = codes.find(threeLetters);
    return it == codes.end() ? threeLetters : it->second;
}

// The language of a code as the rest of the program writes it ("iw", "jw", "zh-CN").
std::string canonicalCode(const std::string& code) {
    const icu::Locale locale = icu::Locale::createCanonical(code.c_str());
    return locale.isBogus() || !*locale.getLanguage() ? code : locale.getLanguage();
}

// Splits a mode's command line into its stages and their arguments, as the shell would
// for the simple lines Apertium writes: words, quotes, backslashes, pipes, and "$1" for
// the generator's option, "$2" for the tagger's. Anything else a shell would interpret
// makes the mode unusable here.
std::optional<std::vector<PipelinePosix::Command>> stagesOf(const std::string& line) {
    std::vector<PipelinePosix::Command> stages(1);
    std::string word;
    bool inWord = false;
    const auto endWord = [&] {
        if (!inWord) {
            return;
        }
        if (word == "$1") {
            stages.back().push_back("-n");  // no marks on unknown words
        } else if (word != "$2") {
            stages.back().push_back(word);
        }
        word.clear();
        inWord = false;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\'') {
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string::npos) {
                return std::nullopt;
            }
            word += line.substr(i + 1, close - i - 1);
            inWord = true;
            i = close;
        } else if (c == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '$' || line[i] == '`') {
                    return std::nullopt;
                }
                if (line[i] == '\\' && i + 1 < line.size()) {
                    ++i;
                }
                word += line[i];
            }
            if (i >= line.size()) {
                return std::nullopt;
            }
            inWord = true;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            endWord();
        } else if (c == '|') {
            endWord();
            if (stages.back().empty()) {
                return std::nullopt;
            }
            stages.emplace_back();
        } else if (std::string_view(";&<>()`*?~#").find(c) != std::string_view::npos ||
                   (c == '$' &&
                    (i + 1 >= line.size() || (line[i + 1] != '1' && line[i + 1] != '2')))) {
            return std::nullopt;
        } else {
            word += c;
            inWord = true;
        }
    }
    endWord();
    if (stages.back().empty()) {
        return std::nullopt;
    }
    // Null-flush mode, asked of every stage as Apertium's own runner asks it.
    for (PipelinePosix::Command& stage : stages) {
        stage.insert(stage.begin() + 1, "-z");
    }
    return stages;
}

// Plain text as Apertium's stream format carries it: its reserved characters escaped,
// line breaks and tabs kept verbatim as blocks that no stage translates or moves.
std::string streamOf(const std::string& text) {
    std::string stream;
    stream.reserve(text.size() + text.size() / 8 + 2);
    for (const char c : text) {
        if (std::string_view("\\[]^$/@{}<>").find(c) != std::string_view::npos) {
            stream += '\\';
            stream += c;
        } else if (c == '\n' || c == '\r' || c == '\t' || c == '~') {
            stream += '[';
            stream += c;
            stream += ']';
        } else {
            stream += c;
        }
    }
    // The bilingual stage waits for a blank after the last word before it flushes.
    return stream + "[]";
}

std::string textOf(const std::string& stream) {
    std::string text;
    text.reserve(stream.size());
    for (std::size_t i = 0; i < stream.size(); ++i) {
        if (stream[i] == '\\' && i + 1 < stream.size()) {
            text += stream[++i];
        } else if (stream[i] != '[' && stream[i] != ']') {
            text += stream[i];
        }
    }
    return text;
}

struct Mode {
    LanguagePair pair;
    std::vector<PipelinePosix::Command> stages;
};

std::vector<Mode> readModes(const std::filesystem::path& folder) {
    // Plain translation directions only: no variants ("spa-eng_US"), no debugging modes.
    static const std::regex kPairName("([a-z]{2,3})-([a-z]{2,3})");
    std::vector<Mode> modes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::smatch match;
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".mode" || !std::regex_match(name, match, kPairName)) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string line((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (auto stages = stagesOf(line)) {
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
        const std::optional<std::string> answer = pipeline.exchange(streamOf(text), timeout_);
        if (!answer || !answer->ends_with("[]")) {
            pipeline.stop();
            continue;
        }
        std::string result = textOf(*answer);
        // A dropped subject pronoun leaves its blank in front ("I have" → " Tengo").
        if (!text.starts_with(' ') && result.starts_with(' ')) {
            result.erase(0, result.find_first_not_of(' '));
        }
        return result;
    }
    return std::nullopt;
}

}  // namespace lexoria
