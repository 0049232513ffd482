#include <gtest/gtest.h>

#include "capture/ScreenCoordinates.h"
#include "capture/UIElementUtilities.h"

namespace lexoria {
namespace {

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
