#include <gtest/gtest.h>

#include <libxml/HTMLparser.h>
#include <unicode/unistr.h>

#include <random>

#include "DecodeChain.h"
#include "engine/Parsing.h"

namespace lexoria {
namespace {

std::string decoded(const std::string& text) {
    Parsing parsing;
    parsing.setStringForDecodeHTML(text);
    return *parsing.returnDecodeStr();
}

struct DecodeCase {
    const char* name;
    const char* text;
    const char* expected;
};

class Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, GivesTheResultOfTheOrderedTable) {
    EXPECT_EQ(decoded(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Decoding,
    ::testing::Values(
        DecodeCase{"NamedAndMarkup", "caf&eacute; &amp; cr&egrave;me", "caf\u00E9 & cr\u00E8me"},
        DecodeCase{"AngleBrackets", "&lt;b&gt;", "<b>"},
        DecodeCase{"Numeric", "&#264;&#353;&#39;&#382;", "\u0108\u0161'\u017E"},
        DecodeCase{"LettersOfManyRows", "&AElig;&szlig;&middot;&ordf;&iexcl;&OElig;&#376;",
                   "\u00C6\u00DF\u00B7\u00AA\u00A1\u0152\u0178"},
        DecodeCase{"DoublyEscapedNamedStaysEscapedOnce", "&amp;eacute; &amp;quot;",
                   "&eacute; &quot;"},
        DecodeCase{"DoublyEscapedLateRowsAreDecoded", "&amp;#39;&amp;#252;&amp;#10878;",
                   "'\u00FC>"},
        DecodeCase{"TripleEscapeLeavesOneLevel", "&amp;amp;#39;", "&amp;#39;"},
        DecodeCase{"FoldedMathSigns", "a&#10877;b&#10878;c", "a<b>c"},
        DecodeCase{"UnknownReferencesStay", "&nbsp;&EACUTE;&eacute &#9998;&#x41;",
                   "&nbsp;&EACUTE;&eacute &#9998;&#x41;"},
        DecodeCase{"Empty", "", ""},
        DecodeCase{"ByteOrderSequenceIsDeleted", "ab\u00EF \u00BB\u00BFcd", "abcd"},
        DecodeCase{"ByteOrderSequenceFromReferences", "x&iuml; \u00BB&iquest;y", "xy"},
        DecodeCase{"DeletionDoesNotJoinWithItself", "\u00EF \u00EF \u00BB\u00BF\u00BB\u00BF",
                   "\u00EF \u00BB\u00BF"},
        DecodeCase{"DeletionJoinsALateReference", "&#3\u00EF \u00BB\u00BF9;", "'"},
        DecodeCase{"DeletionDoesNotJoinAnEarlyReference", "&#25\u00EF \u00BB\u00BF2;", "&#252;"},
        DecodeCase{"AmpThenDeletionThenReference", "&amp;#1087\u00EF \u00BB\u00BF8;", ">"},
        DecodeCase{"AmpersandsAndSemicolonsAlone", "&&;;&#;&amp&;", "&&;;&#;&amp&;"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decoding, AbsentTextGivesAbsentResult) {
    Parsing parsing;
    parsing.setStringForDecodeHTML(std::nullopt);
    EXPECT_EQ(parsing.returnDecodeStr(), std::nullopt);
}

// Named rows against libxml2's HTML entity table, numbered rows against their code
// points; the two math signs are folded on purpose.
TEST(Decoding, EveryReferenceGivesTheCharacterItNames) {
    for (const DecodeRow& row : Parsing::decodeTable()) {
        const std::string name(row.search.substr(1, row.search.size() - 2));
        if (row.search.front() != '&' || name == "#10877" || name == "#10878") {
            continue;
        }
        UChar32 expected = 0;
        if (name.front() == '#') {
            expected = std::stoi(name.substr(1));
        } else {
            const htmlEntityDesc* entity = htmlEntityLookup(BAD_CAST name.c_str());
            ASSERT_NE(entity, nullptr) << name;
            expected = static_cast<UChar32>(entity->value);
        }
        std::string utf8;
        icu::UnicodeString(expected).toUTF8String(utf8);
        EXPECT_EQ(row.replacement, utf8) << row.search;
    }
}

// Random texts made of the pieces where the order of the rows matters.
TEST(Decoding, OnePassAgreesWithTheChainOnRandomTexts) {
    const std::vector<std::string> pieces = {
        "&",      "amp;",     "&amp;",   "#",        "39;",    "#39;",
        "252;",   "#252;",    "1087",    "7;",       "8;",     ";",
        "&#",     "\u00EF",   " ",       "\u00BB",   "\u00BF", "\u00EF \u00BB\u00BF",
        "&iuml;", "&iquest;", "eacute;", "&eacute;", "&quot;", "quot;",
        "&lt;",   "a",        "x",       "&#10877;", "&#233;", "\xBF",
        "&#3"};
    std::mt19937 random(1650);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i) {
            text += pieces[random() % pieces.size()];
        }
        ASSERT_EQ(decodeCharacterReferences(text), test::decodeByChain(text)) << text;
    }
}

TEST(Lingvo, DeletesTheLabelsOfADictionaryPage) {
    const auto lingvo = [](const std::string& text) {
        Parsing parsing;
        parsing.setStringForParsingLingvo(text);
        return *parsing.returnLingvoStr();
    };
    EXPECT_EQ(
        lingvo(
            "word [] (\u043F\u043E\u043B\u043D\u0430\u044F \u0444\u043E\u0440\u043C\u0430); [], [] "
            "(\u0440\u0435\u0434\u0443\u0446\u0438\u0440\u043E\u0432\u0430\u043D\u043D\u044B\u0435 "
            "\u0444\u043E\u0440\u043C\u044B)\u0431\u0440\u0438\u0442. / \u0430\u043C\u0435\u0440. "
            "end"),
        "word  end");
    EXPECT_EQ(lingvo("a [], [] b"), "a   b") << "no comma is left";
    EXPECT_EQ(lingvo("<span>text</span>"), "spantext/span") << "only the brackets go";
    EXPECT_EQ(lingvo("cat (En-Ru) \u25B6 \u043A\u043E\u0442 linkdict__icon'"),
              "cat   \u043A\u043E\u0442 ");
    EXPECT_EQ(lingvo("\u25B6\uFE0E"), "\uFE0E") << "the bare play sign goes, its selector stays";
    Parsing parsing;
    parsing.setStringForParsingLingvo(std::nullopt);
    EXPECT_EQ(parsing.returnLingvoStr(), std::nullopt);
    parsing.setStringForDecodeHTML(std::string("&lt;"));
    EXPECT_EQ(parsing.returnLingvoStr(), "<") << "every read gives the last result";
}

}  // namespace
}  // namespace lexoria
