// What the settings port promises, on the settings file.
#include <gtest/gtest.h>

#include <sstream>

#include "TempDir.h"
#include "platform/linux/DefaultsPlistFile.h"

namespace lexoria {
namespace {

class DefaultsContract : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::ostringstream log;
    DefaultsPlistFile d{dir.path() / "cfg" / "org.lexoria.Lexoria.plist", log};
};

TEST_F(DefaultsContract, AbsentUntilWrittenThenTheLastValue) {
    EXPECT_EQ(d.objectForKey("leftSim"), std::nullopt);
    d.setObject("en", "leftSim");
    d.setObject("de", "leftSim");
    EXPECT_EQ(d.objectForKey("leftSim"), "de");
    d.setObject("", "empty");
    EXPECT_EQ(d.objectForKey("empty"), "") << "an empty value is present";
}

TEST_F(DefaultsContract, RemovedKeysReadAsAbsent) {
    d.setObject("answer", "promt_");
    d.removeObject("promt_");
    d.removeObject("never-written");
    EXPECT_EQ(d.objectForKey("promt_"), std::nullopt);
}

TEST_F(DefaultsContract, KeepsAnyTextExactly) {
    const std::string texts[] = {
        "<plist>&amp;</string>]]>",
        " leading and trailing  ",
        "line\nbreaks\r\nand\ttabs",
        "\x01\x0b control",
        "\u041F\u0440\u0438\u0432\u0435\u0442 \U0001F4A1 \u2714\uFE0E",
        std::string(100000, 'x'),
    };
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        d.setObject(texts[i], "key<&>" + std::to_string(i));
    }
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(d.objectForKey("key<&>" + std::to_string(i)), texts[i]) << i;
    }
}

TEST_F(DefaultsContract, TextItCannotKeepBecomesReplacementCharacters) {
    d.setObject(std::string("a\0b", 3), "nul");
    d.setObject("\xC3(\xFF", "bad\xFE");
    EXPECT_EQ(d.objectForKey("nul"),
              "a\uFFFD"
              "b");
    EXPECT_EQ(d.objectForKey("bad\uFFFD"), "\uFFFD(\uFFFD");
}

}  // namespace
}  // namespace lexoria
