#include "platform/simulator/ManualClock.h"

CManualClock::CManualClock(uint64_t nStartMs) : m_nNowMs(nStartMs) {}

uint64_t CManualClock::NowMs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nNowMs;
}

void CManualClock::SleepMs(unsigned nMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_vecPauses.push_back(ManualPause{nMs, m_nNowMs, std::this_thread::get_id()});
    m_nNowMs += nMs;
}

void CManualClock::Advance(uint64_t nMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nNowMs += nMs;
}

std::vector<unsigned> CManualClock::Pauses() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<unsigned> vecResult;
    vecResult.reserve(m_vecPauses.size());
    for (const ManualPause& pause : m_vecPauses)
        vecResult.push_back(pause.nMs);
    return vecResult;
}

std::vector<ManualPause> CManualClock::PauseRecords() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_vecPauses;
}

size_t CManualClock::PauseCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_vecPauses.size();
}

uint64_t CManualClock::TotalPausedMs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    uint64_t nTotal = 0;
    for (const ManualPause& pause : m_vecPauses)
        nTotal += pause.nMs;
    return nTotal;
}

void CManualClock::ClearPauses()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_vecPauses.clear();
}
