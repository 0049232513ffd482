#include <gtest/gtest.h>

#include <thread>

#include "RunLoopVirtual.h"
#include "platform/linux/RunLoopStd.h"

namespace lexoria {
namespace {

TEST(RunLoopVirtual, FiresTimersInTimeOrderAtTheirOwnMoments) {
    test::RunLoopVirtual loop;
    std::vector<std::pair<std::string, double>> fired;
    auto record = [&](std::string name) {
        return [&, name] { fired.emplace_back(name, loop.now()); };
    };
    loop.scheduleTimer(0.5, false, record("half"));
    loop.scheduleTimer(0.2, false, record("fifth"));
    auto poll = loop.scheduleTimer(0.3, true, record("poll"));
    loop.advance(0.19);
    EXPECT_TRUE(fired.empty());
    loop.advance(0.71);
    poll->invalidate();
    loop.advance(5);
    const std::vector<std::pair<std::string, double>> expected = {
        {"fifth", 0.2}, {"poll", 0.3}, {"half", 0.5}, {"poll", 0.6}, {"poll", 0.9}};
    ASSERT_EQ(fired.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(fired[i].first, expected[i].first) << i;
        EXPECT_NEAR(fired[i].second, expected[i].second, 1e-9) << i;
    }
    EXPECT_EQ(loop.scheduledTimers(), 0u);
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

TEST(RunLoopVirtual, AReplacedTimerKeepsRunningUntilInvalidated) {
    test::RunLoopVirtual loop;
    int count = 0;
    std::shared_ptr<Timer> timer = loop.scheduleTimer(0.5, false, [&] { ++count; });
    timer = loop.scheduleTimer(0.5, false, [&] { ++count; });
    loop.advance(0.5);
    EXPECT_EQ(count, 2);
}

TEST(RunLoopVirtual, PostedActionsFromOtherThreadsRunOnTheLoop) {
    test::RunLoopVirtual loop;
    const auto loopThread = std::this_thread::get_id();
    std::thread::id ranOn;
    std::thread worker([&] { loop.post([&] { ranOn = std::this_thread::get_id(); }); });
    EXPECT_TRUE(loop.waitForPosted(std::chrono::seconds(5)));
    worker.join();
    EXPECT_EQ(ranOn, loopThread);
}

TEST(RunLoopStd, RunsPostedActionsAndTimersUntilStopped) {
    RunLoopStd loop;
    std::vector<std::string> events;
    loop.scheduleTimer(0.02, false, [&] {
        events.push_back("timer");
        loop.stop();
    });
    auto cancelled = loop.scheduleTimer(0.01, false, [&] { events.push_back("cancelled"); });
    cancelled->invalidate();
    std::thread worker([&] { loop.post([&] { events.push_back("posted"); }); });
    worker.join();
    loop.run();
    EXPECT_EQ(events, (std::vector<std::string>{"posted", "timer"}));
}

}  // namespace
}  // namespace lexoria
