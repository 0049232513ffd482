#include "Parsing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "TextTools.h"

namespace lexoria {

namespace {

constexpr std::array<DecodeRow, 165> kDecodeTable{{
    {"&AElig;", "\u00C6"},        // 1
    {"&Oslash;", "\u00D8"},       // 2
    {"&Aring;", "\u00C5"},        // 3
    {"&aelig;", "\u00E6"},        // 4
    {"&oslash;", "\u00F8"},       // 5
    {"&aring;", "\u00E5"},        // 6
    {"&Eacute;", "\u00C9"},       // 7
    {"&Euml;", "\u00CB"},         // 8
    {"&Oacute;", "\u00D3"},       // 9
    {"&eacute;", "\u00E9"},       // 10
    {"&euml;", "\u00EB"},         // 11
    {"&oacute;", "\u00F3"},       // 12
    {"&#264;", "\u0108"},         // 13
    {"&#284;", "\u011C"},         // 14
    {"&#292;", "\u0124"},         // 15
    {"&#308;", "\u0134"},         // 16
    {"&#348;", "\u015C"},         // 17
    {"&#364;", "\u016C"},         // 18
    {"&#265;", "\u0109"},         // 19
    {"&#285;", "\u011D"},         // 20
    {"&#293;", "\u0125"},         // 21
    {"&#309;", "\u0135"},         // 22
    {"&#349;", "\u015D"},         // 23
    {"&#365;", "\u016D"},         // 24
    {"&Auml;", "\u00C4"},         // 25
    {"&Ouml;", "\u00D6"},         // 26
    {"&Otilde;", "\u00D5"},       // 27
    {"&Uuml;", "\u00DC"},         // 28
    {"&auml;", "\u00E4"},         // 29
    {"&ouml;", "\u00F6"},         // 30
    {"&otilde;", "\u00F5"},       // 31
    {"&uuml;", "\u00FC"},         // 32
    {"&Agrave;", "\u00C0"},       // 33
    {"&Acirc;", "\u00C2"},        // 34
    {"&Ccedil;", "\u00C7"},       // 35
    {"&Egrave;", "\u00C8"},       // 36
    {"&Ecirc;", "\u00CA"},        // 37
    {"&Icirc;", "\u00CE"},        // 38
    {"&Iuml;", "\u00CF"},         // 39
    {"&Ocirc;", "\u00D4"},        // 40
    {"&OElig;", "\u0152"},        // 41
    {"&Ugrave;", "\u00D9"},       // 42
    {"&Ucirc;", "\u00DB"},        // 43
    {"&#376;", "\u0178"},         // 44
    {"&agrave;", "\u00E0"},       // 45
    {"&acirc;", "\u00E2"},        // 46
    {"&ccedil;", "\u00E7"},       // 47
    {"&egrave;", "\u00E8"},       // 48
    {"&ecirc;", "\u00EA"},        // 49
    {"&icirc;", "\u00EE"},        // 50
    {"&iuml;", "\u00EF"},         // 51
    {"&ocirc;", "\u00F4"},        // 52
    {"&oelig;", "\u0153"},        // 53
    {"&ugrave;", "\u00F9"},       // 54
    {"&ucirc;", "\u00FB"},        // 55
    {"&yuml;", "\u00FF"},         // 56
    {"&szlig;", "\u00DF"},        // 57
    {"&Aacute;", "\u00C1"},       // 58
    {"&Iacute;", "\u00CD"},       // 59
    {"&#336;", "\u0150"},         // 60
    {"&Uacute;", "\u00DA"},       // 61
    {"&#368;", "\u0170"},         // 62
    {"&aacute;", "\u00E1"},       // 63
    {"&iacute;", "\u00ED"},       // 64
    {"&#337;", "\u0151"},         // 65
    {"&uacute;", "\u00FA"},       // 66
    {"&#369;", "\u0171"},         // 67
    {"&Igrave;", "\u00CC"},       // 68
    {"&Ograve;", "\u00D2"},       // 69
    {"&igrave;", "\u00EC"},       // 70
    {"&ograve;", "\u00F2"},       // 71
    {"&#256;", "\u0100"},         // 72
    {"&#268;", "\u010C"},         // 73
    {"&#274;", "\u0112"},         // 74
    {"&#290;", "\u0122"},         // 75
    {"&#298;", "\u012A"},         // 76
    {"&#310;", "\u0136"},         // 77
    {"&#315;", "\u013B"},         // 78
    {"&#325;", "\u0145"},         // 79
    {"&#342;", "\u0156"},         // 80
    {"&#352;", "\u0160"},         // 81
    {"&#362;", "\u016A"},         // 82
    {"&#381;", "\u017D"},         // 83
    {"&#257;", "\u0101"},         // 84
    {"&#269;", "\u010D"},         // 85
    {"&#275;", "\u0113"},         // 86
    {"&#291;", "\u0123"},         // 87
    {"&#299;", "\u012B"},         // 88
    {"&#311;", "\u0137"},         // 89
    {"&#316;", "\u013C"},         // 90
    {"&#326;", "\u0146"},         // 91
    {"&#343;", "\u0157"},         // 92
    {"&#353;", "\u0161"},         // 93
    {"&#363;", "\u016B"},         // 94
    {"&#382;", "\u017E"},         // 95
    {"&#260;", "\u0104"},         // 96
    {"&#262;", "\u0106"},         // 97
    {"&#280;", "\u0118"},         // 98
    {"&#321;", "\u0141"},         // 99
    {"&#323;", "\u0143"},         // 100
    {"&#346;", "\u015A"},         // 101
    {"&#377;", "\u0179"},         // 102
    {"&#379;", "\u017B"},         // 103
    {"&#263;", "\u0107"},         // 104
    {"&#261;", "\u0105"},         // 105
    {"&#281;", "\u0119"},         // 106
    {"&#322;", "\u0142"},         // 107
    {"&#324;", "\u0144"},         // 108
    {"&#347;", "\u015B"},         // 109
    {"&#378;", "\u017A"},         // 110
    {"&#380;", "\u017C"},         // 111
    {"&Atilde;", "\u00C3"},       // 112
    {"&atilde;", "\u00E3"},       // 113
    {"&ordf;", "\u00AA"},         // 114
    {"&ordm;", "\u00BA"},         // 115
    {"&#258;", "\u0102"},         // 116
    {"&#350;", "\u015E"},         // 117
    {"&#354;", "\u0162"},         // 118
    {"&#259;", "\u0103"},         // 119
    {"&#351;", "\u015F"},         // 120
    {"&#355;", "\u0163"},         // 121
    {"&#270;", "\u010E"},         // 122
    {"&#313;", "\u0139"},         // 123
    {"&#317;", "\u013D"},         // 124
    {"&#327;", "\u0147"},         // 125
    {"&#340;", "\u0154"},         // 126
    {"&#356;", "\u0164"},         // 127
    {"&Yacute;", "\u00DD"},       // 128
    {"&#271;", "\u010F"},         // 129
    {"&#314;", "\u013A"},         // 130
    {"&#318;", "\u013E"},         // 131
    {"&#328;", "\u0148"},         // 132
    {"&#341;", "\u0155"},         // 133
    {"&#357;", "\u0165"},         // 134
    {"&yacute;", "\u00FD"},       // 135
    {"&Ntilde;", "\u00D1"},       // 136
    {"&iexcl;", "\u00A1"},        // 137
    {"&iquest;", "\u00BF"},       // 138
    {"&ntilde;", "\u00F1"},       // 139
    {"&#286;", "\u011E"},         // 140
    {"&#304;", "\u0130"},         // 141
    {"&#287;", "\u011F"},         // 142
    {"&#305;", "\u0131"},         // 143
    {"&middot;", "\u00B7"},       // 144
    {"&#272;", "\u0110"},         // 145
    {"&#273;", "\u0111"},         // 146
    {"&#282;", "\u011A"},         // 147
    {"&#344;", "\u0158"},         // 148
    {"&#366;", "\u016E"},         // 149
    {"&#283;", "\u011B"},         // 150
    {"&#345;", "\u0159"},         // 151
    {"&#367;", "\u016F"},         // 152
    {"&quot;", "\""},             // 153
    {"&gt;", ">"},                // 154
    {"&lt;", "<"},                // 155
    {"&amp;", "&"},               // 156
    {"&#252;", "\u00FC"},         // 157
    {"&#246;", "\u00F6"},         // 158
    {"&#229;", "\u00E5"},         // 159
    {"&#197;", "\u00C5"},         // 160
    {"&#233;", "\u00E9"},         // 161
    {"\u00EF \u00BB\u00BF", ""},  // 162
    {"&#39;", "'"},               // 163
    {"&#10877;", "<"},            // 164
    {"&#10878;", ">"},            // 165
}};

// Table positions whose order matters: everything before "&amp;" works on the text as
// received; "&amp;" then frees doubly escaped references for the rows after it.
constexpr std::size_t kAmpRow = 155;        // "&amp;", zero-based
constexpr std::size_t kByteOrderRow = 161;  // the deleted four-character sequence
constexpr std::size_t kLongestSearch = 8;

// Which part of the table a reference belongs to.
enum class Stage : uint8_t {
    none,
    early,     // rows before "&amp;": decoded where they stand
    amp,       // "&amp;" itself
    afterAmp,  // rows up to the deleted sequence: also right after an "&amp;"
    late,      // rows after it: also across the gap a deletion leaves
};

// The references of the table by their bytes, packed into one machine word each (none
// is longer than eight bytes), in a small open-addressing table that stays in the cache.
class ReferenceTable {
  public:
    struct Entry {
        uint64_t key = 0;
        uint8_t length = 0;
        Stage stage = Stage::none;
        uint8_t replacementLength = 0;
        char replacementBytes[5] = {};

        std::string_view replacement() const { return {replacementBytes, replacementLength}; }
    };

    ReferenceTable() {
        for (std::size_t i = 0; i < kDecodeTable.size(); ++i) {
            if (i == kByteOrderRow) {
                continue;
            }
            const Stage stage = i < kAmpRow         ? Stage::early
                                : i == kAmpRow      ? Stage::amp
                                : i < kByteOrderRow ? Stage::afterAmp
                                                    : Stage::late;
            const std::string_view search = kDecodeTable[i].search;
            const std::string_view replacement = kDecodeTable[i].replacement;
            Entry entry;
            entry.key = pack(search.data(), search.size());
            entry.length = static_cast<uint8_t>(search.size());
            entry.stage = stage;
            entry.replacementLength = static_cast<uint8_t>(replacement.size());
            std::memcpy(entry.replacementBytes, replacement.data(), replacement.size());
            slots_[slotOf(entry.key, search.size())] = entry;
        }
    }

    // The entry for a reference "&...;", or one with Stage::none.
    const Entry& find(std::string_view reference) const {
        if (reference.empty() || reference.size() > kLongestSearch) {
            return slots_[kEmpty];
        }
        return slots_[slotOf(pack(reference.data(), reference.size()), reference.size())];
    }

  private:
    static constexpr std::size_t kSlots = 512;
    static constexpr std::size_t kEmpty = kSlots;  // an entry that is always empty

    static uint64_t pack(const char* bytes, std::size_t length) {
        uint64_t key = 0;
        std::memcpy(&key, bytes, length);
        return key;
    }
    // Where `key` is, or the empty slot where it would go.
    std::size_t slotOf(uint64_t key, std::size_t length) const {
        std::size_t at = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 55);
        while (slots_[at].stage != Stage::none &&
               (slots_[at].key != key || slots_[at].length != length)) {
            at = (at + 1) % kSlots;
        }
        return at;
    }

    std::array<Entry, kSlots + 1> slots_{};
};

const ReferenceTable& references() {
    static const ReferenceTable table;
    return table;
}

// The reference "&...;" that starts at `at`, if it is short enough to be in the table.
std::string_view referenceAt(std::string_view text, std::size_t at) {
    const std::size_t last = std::min(text.size(), at + kLongestSearch);
    for (std::size_t k = at + 1; k < last; ++k) {
        if (text[k] == ';') {
            return text.substr(at, k - at + 1);
        }
    }
    return {};
}

}  // namespace

const std::array<DecodeRow, 165>& Parsing::decodeTable() {
    return kDecodeTable;
}

// The table is applied as one scan. Three kinds of row interact with the text that
// earlier rows produce, and the scan keeps each of them exact:
//  - rows after "&amp;" also match where "&amp;" became "&" (doubly escaped references);
//  - the deleted sequence also matches where earlier rows produced its first or last
//    character, but never joins text across an earlier deletion of itself;
//  - the rows after it also match across the gap that deletion leaves.
std::string decodeCharacterReferences(std::string_view text) {
    const ReferenceTable& table = references();
    const std::string_view byteOrder = kDecodeTable[kByteOrderRow].search;
    // Every replacement is shorter than what it replaces, so the output fits the input's
    // size and is written in place without checks.
    std::string out(text.size(), '\0');
    char* const begin = out.data();
    std::size_t size = 0;
    // Output before this index is out of reach of the deleted sequence.
    std::size_t deletionBarrier = 0;

    // Applies the deleted sequence and the rows after it at the end of the output, which
    // has just received `last`.
    const auto applyLateRows = [&](char last) {
        if (last == '\xBF') {
            if (size >= deletionBarrier + byteOrder.size() &&
                std::string_view(begin + size - byteOrder.size(), byteOrder.size()) == byteOrder) {
                size -= byteOrder.size();
                deletionBarrier = size;
            }
            return;
        }
        const std::size_t windowStart = size > kLongestSearch ? size - kLongestSearch : 0;
        const std::string_view window(begin + windowStart, size - windowStart);
        const std::size_t amp = window.rfind('&');
        if (amp == std::string_view::npos) {
            return;
        }
        const ReferenceTable::Entry& row = table.find(window.substr(amp));
        if (row.stage == Stage::late) {
            size = windowStart + amp;
            std::memcpy(begin + size, row.replacement().data(), row.replacement().size());
            size += row.replacement().size();
            // The deleted sequence cannot reach across a decoded reference.
            deletionBarrier = size;
        }
    };
    // Appends text that has passed every row up to the deleted sequence.
    const auto emit = [&](const char* piece, std::size_t length) {
        for (std::size_t k = 0; k < length; ++k) {
            const char c = piece[k];
            begin[size++] = c;
            if (c == ';' || c == '\xBF') [[unlikely]] {
                applyLateRows(c);
            }
        }
    };

    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '&') {
            begin[size++] = c;
            if (c == ';' || c == '\xBF') [[unlikely]] {
                applyLateRows(c);
            }
            ++i;
            continue;
        }
        const std::string_view reference = referenceAt(text, i);
        const ReferenceTable::Entry& row = table.find(reference);
        if (row.stage == Stage::early || row.stage == Stage::afterAmp) {
            emit(row.replacement().data(), row.replacement().size());
            i += reference.size();
            continue;
        }
        if (row.stage == Stage::amp) {
            // The "&" it becomes may start one of the rows that follow it.
            i += reference.size();
            char candidate[kLongestSearch] = {'&'};
            const std::size_t tail = std::min(kLongestSearch - 1, text.size() - i);
            std::memcpy(candidate + 1, text.data() + i, tail);
            const std::string_view rest = referenceAt(std::string_view(candidate, tail + 1), 0);
            const ReferenceTable::Entry& next = table.find(rest);
            if (!rest.empty() && next.stage == Stage::afterAmp) {
                emit(next.replacement().data(), next.replacement().size());
                i += rest.size() - 1;
            } else {
                emit("&", 1);
            }
            continue;
        }
        emit("&", 1);
        ++i;
    }
    out.resize(size);
    return out;
}

void Parsing::setStringForDecodeHTML(const std::optional<std::string>& text) {
    str_ = text ? std::optional<std::string>(decodeCharacterReferences(*text)) : std::nullopt;
}

// The labels of a Lingvo page, longest first where one contains another.
constexpr std::string_view kBritishAmerican =
    "[]\u0431\u0440\u0438\u0442. / \u0430\u043C\u0435\u0440.";
constexpr std::string_view kFullAndReducedForms =
    "[] (\u043F\u043E\u043B\u043D\u0430\u044F \u0444\u043E\u0440\u043C\u0430); [], [] "
    "(\u0440\u0435\u0434\u0443\u0446\u0438\u0440\u043E\u0432\u0430\u043D\u043D\u044B\u0435 "
    "\u0444\u043E\u0440\u043C\u044B)\u0431\u0440\u0438\u0442. / \u0430\u043C\u0435\u0440.";
constexpr std::string_view kFullForm =
    "[] (\u043F\u043E\u043B\u043D\u0430\u044F \u0444\u043E\u0440\u043C\u0430);";
constexpr std::string_view kReducedBeforeVowels =
    "(\u0440\u0435\u0434\u0443\u0446\u0438\u0440\u043E\u0432\u0430\u043D\u043D\u0430\u044F "
    "\u0444\u043E\u0440\u043C\u0430, \u0443\u043F\u043E\u0442\u0440. "
    "\u043F\u0435\u0440\u0435\u0434 "
    "\u0433\u043B\u0430\u0441\u043D\u044B\u043C\u0438);";
constexpr std::string_view kReducedBeforeConsonants =
    "(\u0440\u0435\u0434\u0443\u0446\u0438\u0440\u043E\u0432\u0430\u043D\u043D\u0430\u044F "
    "\u0444\u043E\u0440\u043C\u0430, \u0443\u043F\u043E\u0442\u0440. "
    "\u043F\u0435\u0440\u0435\u0434 "
    "\u0441\u043E\u0433\u043B\u0430\u0441\u043D\u044B\u043C\u0438)";

void Parsing::setStringForParsingLingvo(const std::optional<std::string>& text) {
    static constexpr std::string_view kLabels[] = {
        ">",
        "(En-Ru)",
        "<",
        "linkdict__icon'",
        "\u25B6",
        kBritishAmerican,
        kFullAndReducedForms,
        kFullForm,
        "[],",
        "[]",
        kReducedBeforeVowels,
        kReducedBeforeConsonants,
    };
    if (!text) {
        str_.reset();
        return;
    }
    std::string work = *text;
    for (const std::string_view label : kLabels) {
        replaceAll(work, label, "");
    }
    str_ = std::move(work);
}

}  // namespace lexoria
