// Every implementation of the settings port behaves the same.
#include <gtest/gtest.h>

#include <sstream>

#include "DefaultsMemory.h"
#include "TempDir.h"
#include "platform/linux/DefaultsPlistFile.h"

namespace lexoria {
namespace {

struct MemoryStore {
    test::DefaultsMemory defaults;
};

struct FileStore {
    test::TempDir dir;
    std::ostringstream log;
    DefaultsPlistFile defaults{dir.path() / "cfg" / "org.lexoria.Lexoria.plist", log};
};

template <typename Store>
class DefaultsContract : public ::testing::Test {
  protected:
    Store store;
    Defaults& defaults() { return store.defaults; }
};

using Implementations = ::testing::Types<MemoryStore, FileStore>;
TYPED_TEST_SUITE(DefaultsContract, Implementations);

TYPED_TEST(DefaultsContract, AbsentUntilWrittenThenTheLastValue) {
    Defaults& d = this->defaults();
    EXPECT_EQ(d.objectForKey("leftSim"), std::nullopt);
    d.setObject("en", "leftSim");
    d.setObject("de", "leftSim");
    EXPECT_EQ(d.objectForKey("leftSim"), "de");
    d.setObject("", "empty");
    EXPECT_EQ(d.objectForKey("empty"), "") << "an empty value is present";
}

TYPED_TEST(DefaultsContract, RemovedKeysReadAsAbsent) {
    Defaults& d = this->defaults();
    d.setObject("answer", "promt_");
    d.removeObject("promt_");
    d.removeObject("never-written");
    EXPECT_EQ(d.objectForKey("promt_"), std::nullopt);
}

TYPED_TEST(DefaultsContract, KeepsAnyTextExactly) {
    Defaults& d = this->defaults();
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

TYPED_TEST(DefaultsContract, TextItCannotKeepBecomesReplacementCharacters) {
    Defaults& d = this->defaults();
    d.setObject(std::string("a\0b", 3), "nul");
    d.setObject("\xC3(\xFF", "bad\xFE");
    EXPECT_EQ(d.objectForKey("nul"),
              "a\uFFFD"
              "b");
    EXPECT_EQ(d.objectForKey("bad\uFFFD"), "\uFFFD(\uFFFD");
}

}  // namespace
}  // namespace lexoria
