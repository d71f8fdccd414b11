#pragma once
// Time and sleeping for the device protocol. The program sleeps real milliseconds; tests give a
// clock that only records the pauses so they run fast and can check them.

#include <cstdint>

class CClock
{
public:
    virtual ~CClock() = default;
    virtual uint64_t NowMs() = 0;           // monotonic milliseconds
    virtual void SleepMs(unsigned nMs) = 0; // a protocol pause
};
