#include "capture/UIRun.h"

#include <gtest/gtest.h>

#include "FakeAccessibility.h"
#include "RunLoopVirtual.h"

namespace lexoria {
namespace {

using test::FakeAccessibility;
using test::FakeElement;

class Recorder final : public SendedStringDelegate {
  public:
    void sendString(const std::string& text) override { sent.push_back(text); }
    std::vector<std::string> sent;
};

class UIRunTest : public ::testing::Test {
  protected:
    UIRunTest() {
        accessibility.clock = &loop;
        marked->with(ax::kRole, AXValue::ofText("AXMenuBarItem"))
            .with(ax::kTitle, AXValue::ofText("💡"));
        plain->with(ax::kRole, AXValue::ofText("AXButton")).with(ax::kTitle, AXValue::ofText("OK"));
        accessibility.place({0, 0, 100, 100}, marked);
        accessibility.place({200, 0, 100, 100}, plain);
        run->setDelegate(recorder);
    }

    // Puts the pointer at `x` (top row) and lets one poll run.
    void pointAt(double x) {
        pointer.at = Point{x, 10};
        loop.advance(0.1);
    }

    test::RunLoopVirtual loop;
    test::FakeScreens screens;
    test::FakePointer pointer;
    FakeAccessibility accessibility;
    std::shared_ptr<FakeElement> marked = std::make_shared<FakeElement>("marked");
    std::shared_ptr<FakeElement> plain = std::make_shared<FakeElement>("plain");
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
    std::shared_ptr<UIRun> run =
        std::make_shared<UIRun>(UIRunHost{loop, screens, pointer, accessibility});
};

TEST_F(UIRunTest, PollsTenTimesASecondButAsksOnlyWhenThePointerMoved) {
    pointer.at = Point{500, 500};
    run->awakeFromNib();
    loop.advance(1.0);
    EXPECT_EQ(accessibility.queryTimes, std::vector<double>{0.0}) << "a resting pointer";
    for (int i = 1; i <= 3; ++i) {
        pointer.at = Point{500.0 + i, 500};
        loop.advance(0.1);
    }
    ASSERT_EQ(accessibility.queryTimes.size(), 4u);
    EXPECT_NEAR(accessibility.queryTimes[3] - accessibility.queryTimes[1], 0.2, 1e-9);
    EXPECT_EQ(loop.scheduledTimers(), 1u);
    EXPECT_EQ(run->currentUIElement(), nullptr) << "no element answers there";
}

TEST_F(UIRunTest, SendsTheMarkerOncePerArrivalOnAMarkedElement) {
    run->awakeFromNib();
    const double path[] = {50, 60, 250, 50, 210};  // on, within, off, back, off
    for (double x : path) {
        pointAt(x);
    }
    EXPECT_EQ(accessibility.queries.size(), 6u);
    EXPECT_EQ(recorder->sent, (std::vector<std::string>{"💡", "💡"}));
    EXPECT_EQ(run->currentUIElement(), plain);
}

TEST_F(UIRunTest, AMarkedElementWithoutDelegateIsHarmless) {
    run->setDelegate(nullptr);
    run->awakeFromNib();
    pointAt(50);
    EXPECT_EQ(run->currentUIElement(), marked);
}

}  // namespace
}  // namespace lexoria
