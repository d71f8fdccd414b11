#pragma once
// A clock for tests: SleepMs returns at once, advances the time and records the pause, so a
// protocol sequence runs in microseconds and its pauses can still be checked. Thread-safe.

#include "platform/Clock.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

struct ManualPause
{
    unsigned nMs = 0;
    uint64_t nStartMs = 0;    // the time when the pause began
    std::thread::id idThread; // who paused
};

class CManualClock : public CClock
{
public:
    explicit CManualClock(uint64_t nStartMs = 1000);

    uint64_t NowMs() override;
    void SleepMs(unsigned nMs) override;

    // Moves the time on without recording a pause (time that passes outside the code under test).
    void Advance(uint64_t nMs);

    std::vector<unsigned> Pauses() const;
    std::vector<ManualPause> PauseRecords() const;
    size_t PauseCount() const;
    uint64_t TotalPausedMs() const;
    void ClearPauses();

private:
    mutable std::mutex m_mutex;
    uint64_t m_nNowMs;
    std::vector<ManualPause> m_vecPauses;
};
