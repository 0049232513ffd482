#include <gtest/gtest.h>

#include "TempDir.h"
#include "engine/PropertyList.h"

namespace lexoria {
namespace {

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
           "</plist>";
}

TEST(PropertyList, ReadsTextsArraysAndDictionaries) {
    const auto value = parsePropertyList(plist(
        "<dict><key>version</key><string>3.0.2</string><key>list</key><array><string>a</string>"
        "<integer>-1</integer><real>13.5</real><true/></array><key>empty</key><dict/></dict>"));
    ASSERT_TRUE(value);
    EXPECT_EQ(*value->member("version")->text(), "3.0.2");
    const auto& list = *value->member("list")->array();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(*list[1].text(), "-1");
    EXPECT_EQ(*list[2].text(), "13.5");
    EXPECT_EQ(*list[3].text(), "1");
    EXPECT_TRUE(value->member("empty")->dictionary()->empty());
    EXPECT_EQ(value->member("missing"), nullptr);
    EXPECT_TRUE(textDictionary(value->member("list")).empty()) << "an array is no dictionary";
}

TEST(PropertyList, RefusesWhatItShouldNotTryToRead) {
    // Nesting beyond any real file, also behind markup a scanner blind to comments,
    // character data and quoted attributes would take for flat.
    for (const std::string unit :
         {"<array>", "<array><!--</array>-->", "<array><string><![CDATA[</array>]]></string>",
          "<array><?pi </array>?>", "<array x=\"</array>\">"}) {
        std::string deep;
        for (int i = 0; i < 200000; ++i) {
            deep += unit;
        }
        EXPECT_EQ(parsePropertyList(plist(deep)), std::nullopt) << unit;
    }
    EXPECT_EQ(readPropertyList("/no/such/lang.plist"), std::nullopt);
    // Sixty-four levels are read, sixty-five are not; empty elements add none.
    const auto nested = [](int levels) {
        std::string text = "<string>x</string>";
        for (int i = 0; i < levels; ++i) {
            text = i % 2 ? "<dict><key>k</key>" + text + "<key>e</key><dict/></dict>"
                         : "<array>" + text + "<array/></array>";
        }
        return plist(text);
    };
    EXPECT_TRUE(parsePropertyList(nested(64)).has_value());
    EXPECT_FALSE(parsePropertyList(nested(65)).has_value());
    EXPECT_EQ(parsePropertyList(std::string("bplist00\xD1\x01\x02", 11)), std::nullopt);
    EXPECT_EQ(parsePropertyList(""), std::nullopt);
    EXPECT_EQ(parsePropertyList("<html>not a plist</html>"), std::nullopt);
}

TEST(PropertyList, ANulInsideAStringIsKept) {
    const auto value = parsePropertyList(test::fixture("manifest_with_nul_inside_a_string.plist"));
    ASSERT_TRUE(value);
    const std::string* review = value->member("reviews")->member("UA")->text();
    ASSERT_NE(review, nullptr);
    EXPECT_NE(review->find(std::string("\x01\x01\x02\x00", 4)), std::string::npos);
    EXPECT_EQ(*value->member("version")->text(), "3.0.2");
    EXPECT_TRUE(parsePropertyList(plist("<array><key>k</key></array>")).has_value())
        << "a key where a value belongs";
}

TEST(PropertyList, WritesOnlyWhatReadsBack) {
    const std::string xml = xmlPropertyList({{"k\xFF", "a\xC3"}, {"n", std::string("x\0y", 3)}});
    const auto value = parsePropertyList(xml);
    ASSERT_TRUE(value);
    EXPECT_EQ(*value->member("k\uFFFD")->text(), "a\uFFFD");
    EXPECT_EQ(*value->member("n")->text(), "x\uFFFDy");
}

}  // namespace
}  // namespace lexoria
