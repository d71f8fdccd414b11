#pragma once
// The real clock: a monotonic time and real sleeps.

#include "platform/Clock.h"

class CSystemClock : public CClock
{
public:
    uint64_t NowMs() override;
    void SleepMs(unsigned nMs) override;
};
