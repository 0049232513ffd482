#include "ApertiumStream.h"

#include <string_view>

namespace lexoria {

std::optional<std::vector<std::vector<std::string>>> apertiumStages(const std::string& line) {
    std::vector<std::vector<std::string>> stages(1);
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
    if (line.find('\0') != std::string::npos) {
        return std::nullopt;  // no argument can carry it
    }
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
    for (std::vector<std::string>& stage : stages) {
        if (stage.front().empty()) {
            return std::nullopt;  // a program named ''
        }
        stage.insert(stage.begin() + 1, "-z");
    }
    return stages;
}

// Plain text as Apertium's stream format carries it: its reserved characters escaped,
// line breaks and tabs kept verbatim as blocks that no stage translates or moves.
std::string apertiumStreamOf(const std::string& text) {
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

std::string apertiumTextOf(const std::string& stream) {
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

}  // namespace lexoria
