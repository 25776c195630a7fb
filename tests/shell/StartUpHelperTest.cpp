#include "shell/StartUpHelper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sched.h>
#include <thread>

namespace {

cpu_set_t CurrentMask()
{
    cpu_set_t mask;
    CPU_ZERO(&mask);
    sched_getaffinity(0, sizeof mask, &mask);
    return mask;
}

// Runs the check on a thread of its own, bound to the given processors, so
// that the test process keeps its own mask.
template <typename Check>
void OnThreadBoundTo(const cpu_set_t& mask, Check check)
{
    std::thread([&] {
        ASSERT_EQ(sched_setaffinity(0, sizeof mask, &mask), 0);
        check();
    }).join();
}

} // namespace

TEST(StartUpHelperTest, WorkRunsWithTheCallersProcessorsAndThreadsItStartsToo)
{
    const cpu_set_t all = CurrentMask();
    if (CPU_COUNT(&all) < 2)
        GTEST_SKIP() << "needs two processors";
    // The caller may use two processors: the helper starts on the other one
    // and may then use both again, and so may a thread it starts.
    cpu_set_t two;
    CPU_ZERO(&two);
    int picked = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && picked < 2; ++cpu) {
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &two);
            ++picked;
        }
    }
    OnThreadBoundTo(two, [&] {
        cpu_set_t inWork, inChild;
        CPU_ZERO(&inWork);
        CPU_ZERO(&inChild);
        StartUpHelper helper;
        ASSERT_TRUE(helper.Start([&] {
            inWork = CurrentMask();
            std::thread([&] { inChild = CurrentMask(); }).join();
        }));
        helper.Finish();
        EXPECT_TRUE(CPU_EQUAL(&inWork, &two));
        EXPECT_TRUE(CPU_EQUAL(&inChild, &two));
    });
}

TEST(StartUpHelperTest, ACallerBoundToOneProcessorSharesItAndTheWorkStillRuns)
{
    const cpu_set_t all = CurrentMask();
    int first = 0;
    while (!CPU_ISSET(first, &all))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    OnThreadBoundTo(one, [&] {
        std::atomic<int> ranOn{-1};
        StartUpHelper helper;
        ASSERT_TRUE(helper.Start([&] { ranOn = sched_getcpu(); }));
        helper.Finish();
        EXPECT_EQ(ranOn.load(), first);
    });
}

TEST(StartUpHelperTest, StartsOnceAndFinishWaitsForTheWork)
{
    std::atomic<int> runs{0};
    StartUpHelper helper;
    ASSERT_TRUE(helper.Start([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++runs;
    }));
    EXPECT_FALSE(helper.Start([&] { runs += 10; }));
    helper.Finish();
    EXPECT_EQ(runs.load(), 1);
    helper.Finish(); // a second wait returns at once
}
