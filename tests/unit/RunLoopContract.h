#pragma once

// The rules every run loop keeps, run against each loop by the test program that can
// build it. A kind of loop is a struct with a `loop` and a `runFor(seconds)` that lets
// that much time pass with the loop running.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ports/RunLoop.h"

namespace lexoria {

template <typename Kind>
class RunLoopContract : public ::testing::Test {
  protected:
    Kind kind;
    RunLoop& loop() { return kind.loop; }
};

TYPED_TEST_SUITE_P(RunLoopContract);

TYPED_TEST_P(RunLoopContract, TimersFireInTimeOrderThenInSchedulingOrder) {
    std::vector<std::string> fired;
    this->loop().scheduleTimer(0.04, false, [&] { fired.push_back("late"); });
    this->loop().scheduleTimer(0.02, false, [&] { fired.push_back("first"); });
    this->loop().scheduleTimer(0.02, false, [&] { fired.push_back("second"); });
    this->loop().scheduleTimer(0, false, [&] { fired.push_back("now"); });
    this->loop().scheduleTimer(0, false, [&] { fired.push_back("now too"); });
    this->kind.runFor(0.08);
    EXPECT_EQ(fired, (std::vector<std::string>{"now", "now too", "first", "second", "late"}));
}

TYPED_TEST_P(RunLoopContract, RepeatingTimersRunUntilInvalidated) {
    int ticks = 0;
    std::shared_ptr<Timer> timer;
    timer = this->loop().scheduleTimer(0.01, true, [&] {
        if (++ticks == 3) {
            timer->invalidate();
        }
    });
    // Ample time for three ticks even on a loaded machine; none after the third.
    this->kind.runFor(0.5);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer->isValid());
}

TYPED_TEST_P(RunLoopContract, AOneShotTimerFiresOnceAndEnds) {
    int fired = 0;
    std::shared_ptr<Timer> timer = this->loop().scheduleTimer(0.01, false, [&] { ++fired; });
    timer = nullptr;  // dropping the handle does not stop it
    this->kind.runFor(0.05);
    EXPECT_EQ(fired, 1);
}

TYPED_TEST_P(RunLoopContract, ActionsPostedFromOtherThreadsRunOnTheLoop) {
    const auto loopThread = std::this_thread::get_id();
    std::thread::id ranOn;
    std::thread worker([&] { this->loop().post([&] { ranOn = std::this_thread::get_id(); }); });
    worker.join();
    this->loop().runOnce(1.0);
    EXPECT_EQ(ranOn, loopThread);
}

TYPED_TEST_P(RunLoopContract, RunOnceDoesNotWaitOnAnIdleLoop) {
    const double before = this->loop().now();
    this->loop().runOnce(30.0);
    EXPECT_LT(this->loop().now() - before, 1.0);
}

TYPED_TEST_P(RunLoopContract, TheProgramsWorkWaitsOutABlockingSleepThenRunsInOrder) {
    std::vector<std::string> ran;
    const double start = this->loop().now();
    this->loop().scheduleTimer(0.02, false, [&] { ran.push_back("b"); });
    this->loop().scheduleTimer(0.01, false, [&] { ran.push_back("a"); });
    // Falls due at 0.12 and 0.24 during the sleep, next at 0.36: a loaded machine may
    // come that far late, and that firing is a slot of its own.
    auto repeating = this->loop().scheduleTimer(
        0.12, true, [&] { ran.push_back(this->loop().now() - start < 0.36 ? "r" : "next slot"); });
    this->loop().post([&] { ran.push_back("posted"); });
    this->loop().sleep(0.25);
    EXPECT_TRUE(ran.empty());
    this->kind.runFor(0.005);
    repeating->invalidate();
    std::erase(ran, "next slot");
    // The repeating timer fires once for its two missed slots.
    EXPECT_EQ(ran, (std::vector<std::string>{"posted", "a", "b", "r"}));
}

TYPED_TEST_P(RunLoopContract, StopEndsRunAlthoughWorkIsAlwaysReady) {
    int fired = 0;
    std::function<void()> again = [&] {
        if (++fired == 3) {
            this->loop().stop();
        }
        if (fired < 10) {
            this->loop().post(again);  // a loop that missed the stop still ends, and fails below
        }
    };
    this->loop().post(again);
    this->loop().run();
    EXPECT_EQ(fired, 3);
}

REGISTER_TYPED_TEST_SUITE_P(RunLoopContract, TimersFireInTimeOrderThenInSchedulingOrder,
                            StopEndsRunAlthoughWorkIsAlwaysReady,
                            RepeatingTimersRunUntilInvalidated, AOneShotTimerFiresOnceAndEnds,
                            ActionsPostedFromOtherThreadsRunOnTheLoop,
                            RunOnceDoesNotWaitOnAnIdleLoop,
                            TheProgramsWorkWaitsOutABlockingSleepThenRunsInOrder);

}  // namespace lexoria
