// The rules every run loop keeps, checked on the virtual one and on the real one.
#include <gtest/gtest.h>

#include <thread>

#include "RunLoopVirtual.h"
#include "platform/linux/RunLoopStd.h"

namespace lexoria {
namespace {

// Lets time pass on each kind of loop: the virtual clock jumps, the real one runs.
struct VirtualLoop {
    test::RunLoopVirtual loop;
    void runFor(double seconds) { loop.advance(seconds); }
};

struct RealLoop {
    RunLoopStd loop;
    void runFor(double seconds) {
        loop.scheduleTimer(seconds, false, [this] { loop.stop(); });
        loop.run();
    }
};

template <typename Kind>
class RunLoopContract : public ::testing::Test {
  protected:
    Kind kind;
    RunLoop& loop() { return kind.loop; }
};

using Kinds = ::testing::Types<VirtualLoop, RealLoop>;
TYPED_TEST_SUITE(RunLoopContract, Kinds);

TYPED_TEST(RunLoopContract, TimersFireInTimeOrderThenInSchedulingOrder) {
    std::vector<std::string> fired;
    this->loop().scheduleTimer(0.04, false, [&] { fired.push_back("late"); });
    this->loop().scheduleTimer(0.02, false, [&] { fired.push_back("first"); });
    this->loop().scheduleTimer(0.02, false, [&] { fired.push_back("second"); });
    this->kind.runFor(0.08);
    EXPECT_EQ(fired, (std::vector<std::string>{"first", "second", "late"}));
}

TYPED_TEST(RunLoopContract, RepeatingTimersRunUntilInvalidated) {
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

TYPED_TEST(RunLoopContract, AOneShotTimerFiresOnceAndEnds) {
    int fired = 0;
    std::shared_ptr<Timer> timer = this->loop().scheduleTimer(0.01, false, [&] { ++fired; });
    timer = nullptr;  // dropping the handle does not stop it
    this->kind.runFor(0.05);
    EXPECT_EQ(fired, 1);
}

TYPED_TEST(RunLoopContract, ActionsPostedFromOtherThreadsRunOnTheLoop) {
    const auto loopThread = std::this_thread::get_id();
    std::thread::id ranOn;
    std::thread worker([&] { this->loop().post([&] { ranOn = std::this_thread::get_id(); }); });
    worker.join();
    this->loop().runOnce(1.0);
    EXPECT_EQ(ranOn, loopThread);
}

TYPED_TEST(RunLoopContract, RunOnceDoesNotWaitOnAnIdleLoop) {
    const double before = this->loop().now();
    this->loop().runOnce(30.0);
    EXPECT_LT(this->loop().now() - before, 1.0);
}

TEST(RunLoopVirtual, NothingFiresDuringABlockingSleepAndOverdueTimersFireAfterwardsInOrder) {
    test::RunLoopVirtual loop;
    std::vector<std::string> fired;
    loop.scheduleTimer(0.2, false, [&] { fired.push_back("b"); });
    loop.scheduleTimer(0.1, false, [&] { fired.push_back("a"); });
    auto repeating = loop.scheduleTimer(0.1, true, [&] { fired.push_back("r"); });
    loop.sleep(0.35);
    EXPECT_TRUE(fired.empty());
    loop.advance(0);
    // The repeating timer fires once for the missed slots, then keeps its rhythm.
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "r", "b"}));
    loop.advance(0.05);
    EXPECT_EQ(fired.back(), "r");
    EXPECT_EQ(fired.size(), 4u);
    EXPECT_TRUE(repeating->isValid());
}

TEST(RunLoopVirtual, FiresEachTimerAtItsOwnMoment) {
    test::RunLoopVirtual loop;
    std::vector<double> at;
    auto poll = loop.scheduleTimer(0.3, true, [&] { at.push_back(loop.now()); });
    loop.advance(0.95);
    poll->invalidate();
    ASSERT_EQ(at.size(), 3u);
    EXPECT_NEAR(at[0], 0.3, 1e-9);
    EXPECT_NEAR(at[2], 0.9, 1e-9);
    EXPECT_NEAR(loop.now(), 0.95, 1e-9);
    EXPECT_EQ(loop.scheduledTimers(), 0u);
}

}  // namespace
}  // namespace lexoria
