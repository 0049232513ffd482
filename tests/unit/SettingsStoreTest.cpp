#include <gtest/gtest.h>

#include "DefaultsMemory.h"
#include "engine/SettingsStore.h"

namespace lexoria {
namespace {

TEST(SettingsStore, StoresTextFormsAndNullForNoValue) {
    test::DefaultsMemory defaults;
    SettingsStore store(defaults);
    store.saveObjForSettings(std::optional<std::string>("de"), "rightSim");
    store.saveObjForSettings(std::nullopt, "rirstrun");
    store.saveObjForSettings(int64_t{1}, "Icon");
    store.saveObjForSettings(int64_t{-42}, "slider");
    EXPECT_EQ(defaults.values.at("rightSim"), "de");
    EXPECT_EQ(defaults.values.at("rirstrun"), "(null)");
    EXPECT_EQ(defaults.values.at("Icon"), "1");
    EXPECT_EQ(defaults.values.at("slider"), "-42");
    EXPECT_EQ(store.objectFromSettings("rirstrun"), "(null)") << "a write without value is present";
    store.removeObjForSettings("rirstrun");
    EXPECT_EQ(store.objectFromSettings("rirstrun"), std::nullopt);
}

TEST(SettingsStore, ReadsFlagsLikeTheStoredTexts) {
    for (const char* yes : {"1", "9", "y", "Yes", "t", "TRUE", "  +001", "-5", "00042x", "\t y"}) {
        EXPECT_TRUE(flagValue(std::string(yes))) << yes;
    }
    for (const char* no : {"0", "", "(null)", "n", "false", " ", "+-1", "000", "-0", "x1", "0.5"}) {
        EXPECT_FALSE(flagValue(std::string(no))) << no;
    }
    EXPECT_FALSE(flagValue(std::nullopt));
}

TEST(SettingsStore, ReadsNumbersAsTheLeadingDecimalInteger) {
    EXPECT_EQ(numberValue(std::string("13")), 13);
    EXPECT_EQ(numberValue(std::string("  -7pt")), -7);
    EXPECT_EQ(numberValue(std::string("+3")), 3);
    EXPECT_EQ(numberValue(std::string("4.9")), 4);
    EXPECT_EQ(numberValue(std::string("x")), 0);
    EXPECT_EQ(numberValue(std::string("(null)")), 0);
    EXPECT_EQ(numberValue(std::nullopt), 0);
    EXPECT_EQ(numberValue(std::string("99999999999999999999")), INT64_MAX);
    EXPECT_EQ(numberValue(std::string("-99999999999999999999")), INT64_MIN);
    EXPECT_EQ(numberValue(std::string("9223372036854775807")), INT64_MAX);
}

}  // namespace
}  // namespace lexoria
