#include "platform/SystemClock.h"
#include "platform/simulator/ManualClock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(ManualClock, SleepAdvancesTimeAndRecordsEachPause)
{
    CManualClock clock(500);
    EXPECT_EQ(clock.NowMs(), 500u);
    clock.SleepMs(8);
    clock.SleepMs(350);
    clock.Advance(1000); // not a pause of the code under test
    EXPECT_EQ(clock.NowMs(), 1858u);
    EXPECT_EQ(clock.Pauses(), (std::vector<unsigned>{8, 350}));
    EXPECT_EQ(clock.TotalPausedMs(), 358u);
    std::vector<ManualPause> vecRecords = clock.PauseRecords();
    ASSERT_EQ(vecRecords.size(), 2u);
    EXPECT_EQ(vecRecords[1].nStartMs, 508u);
    EXPECT_EQ(vecRecords[1].idThread, std::this_thread::get_id());
    clock.ClearPauses();
    EXPECT_EQ(clock.PauseCount(), 0u);
    EXPECT_EQ(clock.NowMs(), 1858u);
}

TEST(ManualClock, PausesFromSeveralThreadsAreAllCounted)
{
    CManualClock clock(0);
    std::vector<std::thread> vecThreads;
    for (int t = 0; t < 4; ++t)
        vecThreads.emplace_back(
            [&]
            {
                for (int i = 0; i < 1000; ++i)
                    clock.SleepMs(1);
            });
    for (std::thread& thread : vecThreads)
        thread.join();
    EXPECT_EQ(clock.PauseCount(), 4000u);
    EXPECT_EQ(clock.NowMs(), 4000u);
}

TEST(SystemClock, SleepsForRealAndIsMonotonic)
{
    CSystemClock clock;
    uint64_t nBefore = clock.NowMs();
    clock.SleepMs(20);
    EXPECT_GE(clock.NowMs(), nBefore + 20);
}
