// The element utilities and the screen coordinates they convert.
#include <gtest/gtest.h>

#include "capture/ScreenCoordinates.h"
#include "capture/UIElementUtilities.h"

#include <algorithm>

#include "FakeAccessibility.h"

namespace lexoria {
namespace {

using test::FakeElement;
using U = UIElementUtilities;

const std::string kMarker = "💡";

std::shared_ptr<FakeElement> element(const std::string& role, std::optional<std::string> title) {
    auto made = std::make_shared<FakeElement>(role);
    made->with(ax::kRole, AXValue::ofText(role));
    if (title) {
        made->with(ax::kTitle, AXValue::ofText(*title));
    }
    return made;
}

TEST(UIElementUtilities, ReadsOnlyAttributesTheElementLists) {
    FakeElement button;
    button.with(ax::kRole, AXValue::ofText("AXButton")).unlisted(ax::kTitle, AXValue::ofText("OK"));
    EXPECT_EQ(button.copyAttributeValue(ax::kTitle)->text, "OK");
    EXPECT_EQ(U::titleOfUIElement(button), std::nullopt);
    EXPECT_EQ(U::roleOfUIElement(button), "AXButton");
    EXPECT_FALSE(U::isApplicationUIElement(button));
    EXPECT_TRUE(U::isApplicationUIElement(*element(ax::kApplicationRole, std::nullopt)));
}

TEST(UIElementUtilities, DescribesValues) {
    FakeElement roleless("roleless");
    struct Row {
        const char* name;
        std::optional<AXValue> value;
        std::optional<std::string> description;
    };
    const Row rows[] = {
        {"no value", std::nullopt, std::nullopt},
        {"a point", AXValue::ofPoint({1, 2}), "AXValue???"},
        {"a range", AXValue::ofRange({1, 2}), "AXValue???"},
        {"a list", AXValue::ofList({AXValue::ofText("a"), AXValue::ofText("b")}),
         "<array of size 2>"},
        {"an element with a title", AXValue::ofElement(element("AXButton", "OK")),
         "<AXButton: \u201COK\u201D>"},
        {"an element without a title", AXValue::ofElement(element("AXGroup", std::nullopt)),
         "<AXGroup>"},
        {"an element without a role",
         AXValue::ofElement(std::shared_ptr<FakeElement>(&roleless, [](auto*) {})),
         "<FakeElement roleless>"},
        {"a text", AXValue::ofText("plain"), "plain"},
        {"a number", AXValue::ofNumber(42), "42"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(U::descriptionOfValue(row.value, true), row.description) << row.name;
    }
}

TEST(UIElementUtilities, CountsChildrenAndRowsWithoutCopyingThem) {
    FakeElement table;
    table.with(ax::kChildren, AXValue::ofList({AXValue::ofText("a")}))
        .with(ax::kRows, AXValue::ofList({AXValue::ofText("a"), AXValue::ofText("b")}))
        .with("AXVisibleRows", AXValue::ofList({AXValue::ofText("a")}));
    EXPECT_EQ(U::descriptionForUIElement(table, ax::kChildren, false), "<array of size 1>");
    EXPECT_EQ(U::descriptionForUIElement(table, ax::kRows, false), "<array of size 2>");
    EXPECT_TRUE(table.copied.empty());
    EXPECT_EQ(U::descriptionForUIElement(table, "AXVisibleRows", false), "<array of size 1>");
    EXPECT_EQ(U::descriptionForUIElement(table, "AXMissing", false), std::nullopt);
}

TEST(UIElementUtilities, MarkerCheckNeedsAnAttributeThatIsTheMarkerAlone) {
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> attributes;
        bool fails;
        std::optional<std::string> result;
    };
    const Row rows[] = {
        {"title is the marker",
         {{ax::kRole, "AXMenuBarItem"}, {ax::kTitle, kMarker}},
         false,
         kMarker},
        {"marker in the description",
         {{ax::kDescription, kMarker}, {ax::kTitle, "light"}},
         false,
         kMarker},
        {"marker with another character", {{ax::kTitle, kMarker + " "}}, false, std::nullopt},
        {"no marker", {{ax::kTitle, "Lexoria"}}, false, std::nullopt},
        {"no attributes", {}, false, std::nullopt},
        {"names cannot be read", {{ax::kTitle, kMarker}}, true, std::nullopt},
    };
    for (const auto& row : rows) {
        FakeElement item;
        for (const auto& [name, value] : row.attributes) {
            item.with(name, AXValue::ofText(value));
        }
        if (row.fails) {
            item.failingNames();
        }
        EXPECT_EQ(U::stringDescriptionOfUIElement(item), row.result) << row.name;
        if (!row.fails) {
            EXPECT_EQ(item.copied.size(), row.attributes.size()) << row.name << ": every name read";
        }
    }
}

TEST(UIElementUtilities, LineageRunsFromTheOutermostAncestorDown) {
    const auto application = element(ax::kApplicationRole, "Demo");
    const auto window = element("AXWindow", "Main");
    window->with(ax::kParent, AXValue::ofElement(application));
    const auto button = element("AXButton", std::nullopt);
    button->with(ax::kParent, AXValue::ofElement(window));
    EXPECT_EQ(U::lineageDescriptionOfUIElement(*button),
              "<AXApplication: \u201CDemo\u201D>\n <AXWindow: \u201CMain\u201D>\n  <AXButton>\n");
    EXPECT_EQ(U::parentOfUIElement(*button), window);
}

TEST(UIElementUtilities, ALoopingParentChainEnds) {
    const auto first = element("AXGroup", std::nullopt);
    const auto second = element("AXGroup", std::nullopt);
    first->with(ax::kParent, AXValue::ofElement(second));
    second->with(ax::kParent, AXValue::ofElement(first));
    EXPECT_LE(U::lineageOfUIElement(*first).size(), 1000u);
    first->with(ax::kParent, AXValue());  // let the pair go
}

TEST(UIElementUtilities, FrameIsFlippedAndZeroWithoutPositionOrSize) {
    const std::vector<Screen> screens{{{0, 0, 1920, 1080}, 1.0}};
    FakeElement framed;
    framed.with(ax::kPosition, AXValue::ofPoint({10, 20}));
    EXPECT_EQ(U::frameOfUIElement(framed, screens), ScreenRect{});
    framed.with(ax::kSize, AXValue::ofSize({100, 50}));
    EXPECT_EQ(U::frameOfUIElement(framed, screens), (ScreenRect{10, 1010, 100, 50}));
}

TEST(UIElementUtilities, LanguageIsJudgedOnTheFirstHundredUnits) {
    test::FakeLanguageGuesser guesser;
    const std::string ninetyNine(99, 'a');
    EXPECT_EQ(U::languageForString(ninetyNine, guesser), "en");
    EXPECT_EQ(U::languageForString(std::string(150, 'b'), guesser), "en");
    // Cyrillic letters are two bytes but one unit each.
    EXPECT_EQ(U::languageForString(std::string(120, ' ') + "я", guesser), "en");
    EXPECT_EQ(guesser.asked,
              (std::vector<std::string>{ninetyNine, std::string(100, 'b'), std::string(100, ' ')}));
    guesser.answer = std::nullopt;
    EXPECT_EQ(U::languageForString("xyz", guesser), std::nullopt);
}

const std::vector<Screen> kOneScreen{{{0, 0, 1920, 1080}, 1.0}};
// A taller monitor to the right of the primary one, and a third below the primary.
const std::vector<Screen> kThreeScreens{
    {{0, 0, 1920, 1080}, 1.0}, {{1920, 0, 1280, 1400}, 1.0}, {{0, 1080, 1920, 1080}, 1.0}};

TEST(ScreenCoordinates, MirroredPointsComeBackToTheDesktopPoint) {
    struct Row {
        const char* name;
        std::vector<Screen> screens;
        Point bottomLeft;
        Point topLeft;
    };
    const Row rows[] = {
        {"top row of a single monitor", kOneScreen, {5, 1079}, {5, 0}},
        {"bottom row of a single monitor", kOneScreen, {5, 0}, {5, 1079}},
        {"left of every monitor", kOneScreen, {-1, 500}, {0, 0}},
        {"above every monitor", kOneScreen, {5, 1080}, {0, 0}},
        {"taller monitor beside the primary", kThreeScreens, {2000, 1069}, {2000, 10}},
        {"monitor below the primary", kThreeScreens, {10, -421}, {10, 1500}},
    };
    for (const auto& row : rows) {
        const Point converted =
            UIElementUtilities::carbonScreenPointFromCocoaScreenPoint(row.bottomLeft, row.screens);
        EXPECT_EQ(converted, row.topLeft) << row.name;
        if (row.topLeft != Point{0, 0}) {
            EXPECT_EQ(bottomLeftFromTopLeft(row.topLeft, row.screens), row.bottomLeft) << row.name;
        }
    }
}

TEST(ScreenCoordinates, RectanglesFlipAtTheFirstMonitorsTop) {
    struct Row {
        const char* name;
        std::vector<Screen> screens;
        ScreenRect in;
        ScreenRect out;
    };
    const Row rows[] = {
        {"whole first monitor", kOneScreen, {0, 0, 100, 1080}, {0, 0, 100, 1080}},
        {"a button", kOneScreen, {10, 20, 100, 50}, {10, 1010, 100, 50}},
        {"on the monitor below", kThreeScreens, {10, 1100, 100, 50}, {10, -70, 100, 50}},
        {"top in single precision",
         {{{0, 0, 100, 0.1}, 1.0}},
         {0, 0, 0, 0},
         {0, static_cast<double>(0.1f), 0, 0}},
        {"no monitors", {}, {1, 2, 3, 4}, {1, -6, 3, 4}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(UIElementUtilities::flippedScreenBounds(row.in, row.screens), row.out)
            << row.name;
    }
}

TEST(ScreenCoordinates, ToolkitPixelsScalePerMonitorFromItsOrigin) {
    const std::vector<Screen> screens{{{0, 0, 3840, 2160}, 2.0}, {{3840, 0, 2880, 1620}, 1.5}};
    EXPECT_EQ(nativeFromLogical({100, 50}, screens), (Point{200, 100}));
    EXPECT_EQ(nativeFromLogical({3940, 10}, screens), (Point{3990, 15}));
}

}  // namespace
}  // namespace lexoria
