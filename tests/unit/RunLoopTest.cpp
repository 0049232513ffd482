// The rules every run loop keeps, checked on the virtual one and on the real one.
#include <gtest/gtest.h>

#include "RunLoopContract.h"
#include "RunLoopVirtual.h"
#include "platform/linux/RunLoopStd.h"
#include "platform/linux/TimerQueue.h"

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

using Kinds = ::testing::Types<VirtualLoop, RealLoop>;
INSTANTIATE_TYPED_TEST_SUITE_P(Std, RunLoopContract, Kinds);

// A real clock never gives two timers the same moment; the queue must still order them.
TEST(TimerQueue, TimersDueAtTheSameMomentComeOutInSchedulingOrder) {
    TimerQueue queue;
    std::string order;
    queue.schedule(1.0, 0.5, false, [&] { order += "a"; });
    queue.schedule(1.0, 0.5, true, [&] { order += "b"; });
    queue.schedule(0.5, 0.75, false, [&] { order += "c"; });
    EXPECT_FALSE(queue.takeDue(1.2));
    while (auto action = queue.takeDue(1.5)) {
        action();
    }
    EXPECT_EQ(order, "cab");
    EXPECT_EQ(queue.nextDue(), 2.0);
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
