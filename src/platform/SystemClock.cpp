#include "platform/SystemClock.h"

#include <chrono>
#include <thread>

uint64_t CSystemClock::NowMs()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void CSystemClock::SleepMs(unsigned nMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(nMs));
}
