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

}  // namespace
}  // namespace lexoria
