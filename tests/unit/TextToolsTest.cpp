#include <gtest/gtest.h>

#include "engine/TextTools.h"

namespace lexoria {
namespace {

struct SpanCase {
    const char* name;
    const char* text;
    const char* open;
    const char* close;
    const char* expected;
};

class MarkerSpans : public ::testing::TestWithParam<SpanCase> {};

TEST_P(MarkerSpans, RemovesEverySpanUpToTheNextClosingMark) {
    const SpanCase& c = GetParam();
    EXPECT_EQ(removeMarkerSpans(c.text, c.open, c.close), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MarkerSpans,
    ::testing::Values(
        SpanCase{"ClosingMarkStaysAsTheNextPiece", "A<b>C<d>E", "<", ">", "A>C>E"},
        SpanCase{"OpeningMarkWithoutCloseDropsTheRest", "keep<drop all", "<", ">", "keep"},
        SpanCase{"StrayClosingMarkIsText", "a>b", "<", ">", "a>b"},
        SpanCase{"NoMarks", "plain", "<", ">", "plain"}, SpanCase{"EmptyText", "", "<", ">", ""},
        SpanCase{"SpanAtStart", "<x>rest", "<", ">", ">rest"},
        SpanCase{"NestedOpeningMarksEndAtFirstClose", "a<b<c>d>e", "<", ">", "a>d>e"},
        SpanCase{"MultiCharacterMarks", "x[[y]]z[[w]]", "[[", "]]", "x]]z]]"},
        // The arrow with its variation selector is one mark; the bare arrow is not it.
        SpanCase{"VariationSelectorMarks", "a\u25C0\uFE0Ecut\u25B6\uFE0Eb\u25C0c", "\u25C0\uFE0E",
                 "\u25B6\uFE0E", "a\u25B6\uFE0Eb\u25C0c"},
        SpanCase{"SameMarkBothSidesTerminates", "a\"b\"c\"d", "\"", "\"", "a"},
        SpanCase{"EmptyOpeningMarkMatchesNothing", "abc", "", ">", "abc"},
        SpanCase{"EmptyClosingMarkDropsTheRest", "ab<c", "<", "", "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PercentEncode, LeavesUrlCharactersAndEncodesTheRestWithUpperCaseHex) {
    EXPECT_EQ(percentEncode("AZaz09-_.!~*'();/?:@&=+$,"), "AZaz09-_.!~*'();/?:@&=+$,");
    EXPECT_EQ(percentEncode("a b%c#d|e<f>g\"h"), "a%20b%25c%23d%7Ce%3Cf%3Eg%22h");
    EXPECT_EQ(percentEncode("\u043F\u00E9"), "%D0%BF%C3%A9");
    EXPECT_EQ(percentEncode(std::string("\0\n[]\x7F", 5)), "%00%0A%5B%5D%7F");
    EXPECT_EQ(percentEncode("%20"), "%2520") << "an encoded text is encoded again as text";
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(replacedAll("a\n\n\nb", "\n\n", "\n"), "a\n\nb");
    EXPECT_EQ(replacedAll("a\n\n\n\nb", "\n\n", "\n"), "a\n\nb");
    EXPECT_EQ(replacedAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replacedAll("abc", "", "x"), "abc");
    EXPECT_EQ(replacedAll("x; y;", ";", "!@!"), "x!@! y!@!");
}

TEST(WordPieces, EverySeparatorEndsAPiece) {
    EXPECT_EQ(countWordPieces(""), 1u);
    EXPECT_EQ(countWordPieces("one"), 1u);
    EXPECT_EQ(countWordPieces("a b"), 2u);
    EXPECT_EQ(countWordPieces("a  b"), 3u);
    EXPECT_EQ(countWordPieces(" a "), 3u);
    EXPECT_EQ(countWordPieces("a\tb\nc\rd\x0b"
                              "e\x0c"
                              "f"),
              6u);
    // No-break space, line and paragraph separators and NEL are separators too.
    EXPECT_EQ(countWordPieces("a\u00A0b\u2028c\u2029d\u0085e\u3000f"), 6u);
    // Ill-formed bytes are no separators and do not stop the count.
    EXPECT_EQ(countWordPieces("a\xff b\xc3"), 2u);
}

TEST(Utf8, RejectsIllFormedSequences) {
    EXPECT_TRUE(isValidUtf8("plain \u00E9\u4E2D\U0001F4A1"));
    EXPECT_TRUE(isValidUtf8(std::string("a\0b", 3)));
    EXPECT_FALSE(isValidUtf8("\xC3"));              // cut short
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("ab\xFF"));
}

TEST(Lowercase, FoldsAllScriptsIndependentOfLocale) {
    EXPECT_EQ(lowercased("Hello"), "hello");
    EXPECT_EQ(lowercased("\u041F\u0420\u0418\u0412\u0415\u0422"),
              "\u043F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(lowercased("I\u0130"),
              "i"
              "i\u0307")
        << "no Turkish dotless rule";
}

}  // namespace
}  // namespace lexoria
