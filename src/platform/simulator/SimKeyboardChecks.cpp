// The simulator's fault injection, its exchange log and the protocol checks a test reads.

#include "platform/simulator/SimKeyboardCore.h"

#include <algorithm>
#include <utility>

namespace
{
const char* ViolationName(ESimViolation eKind)
{
    switch (eKind)
    {
    case ESimViolation::Interleaved: return "Interleaved";
    case ESimViolation::UnselectedGet: return "UnselectedGet";
    case ESimViolation::WrongLength: return "WrongLength";
    case ESimViolation::BadHeader: return "BadHeader";
    case ESimViolation::OutOfRange: return "OutOfRange";
    case ESimViolation::UnknownReport: return "UnknownReport";
    case ESimViolation::NotCommandCollection: return "NotCommandCollection";
    case ESimViolation::TooSoon: return "TooSoon";
    }
    return "?";
}

SimFaultRule FaultRule(ESimOp eOp, int nReportId, int nTimes)
{
    SimFaultRule rule;
    rule.eOp = eOp;
    rule.nReportId = nReportId;
    rule.nRemaining = nTimes;
    return rule;
}

// A read waiting for input wakes up to meet a read fault at once.
void AddFault(CSimKeyboardCore& core, SimFaultRule rule)
{
    std::lock_guard<std::mutex> lock(core.m_mutex);
    core.m_vecFaults.push_back(std::move(rule));
    core.m_cv.notify_all();
}
} // namespace

// ---- Faults ----

void CSimulatedKeyboard::FailOpen(const std::string& strPath, int nTimes)
{
    SimFaultRule rule = FaultRule(ESimOp::Open, -1, nTimes);
    rule.strPath = strPath;
    AddFault(*m_pCore, std::move(rule));
}

void CSimulatedKeyboard::FailSet(int nReportId, int nTimes)
{
    AddFault(*m_pCore, FaultRule(ESimOp::Set, nReportId, nTimes));
}

void CSimulatedKeyboard::FailGet(int nReportId, int nTimes)
{
    AddFault(*m_pCore, FaultRule(ESimOp::Get, nReportId, nTimes));
}

void CSimulatedKeyboard::FailRead(int nTimes)
{
    AddFault(*m_pCore, FaultRule(ESimOp::Read, -1, nTimes));
}

void CSimulatedKeyboard::ShortReply(int nReportId, size_t nBytes, int nTimes)
{
    SimFaultRule rule = FaultRule(ESimOp::Get, nReportId, nTimes);
    rule.eKind = EFaultKind::Short;
    rule.nShort = nBytes;
    AddFault(*m_pCore, std::move(rule));
}

void CSimulatedKeyboard::ReplaceReply(int nReportId, const std::vector<uint8_t>& vecReply, int nTimes)
{
    SimFaultRule rule = FaultRule(ESimOp::Get, nReportId, nTimes);
    rule.eKind = EFaultKind::Replace;
    rule.vecReply = vecReply;
    AddFault(*m_pCore, std::move(rule));
}

void CSimulatedKeyboard::ClearFaults()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_vecFaults.clear();
}

// ---- Log ----

std::vector<SimExchange> CSimulatedKeyboard::Log() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_vecLog;
}

void CSimulatedKeyboard::ClearLog()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_vecLog.clear();
    m_pCore->m_bHaveLast = false;
    m_pCore->m_bSelectOpen = false;
}

size_t CSimulatedKeyboard::CountReports(ESimDirection eDirection, int nReportId) const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    size_t nCount = 0;
    for (const SimExchange& exchange : m_pCore->m_vecLog)
        if (exchange.eDirection == eDirection && (nReportId < 0 || exchange.nReportId == nReportId))
            ++nCount;
    return nCount;
}

std::vector<uint8_t> CSimulatedKeyboard::FeatureReportIds() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    std::vector<uint8_t> vecIds;
    for (const SimExchange& exchange : m_pCore->m_vecLog)
        if (exchange.eDirection == ESimDirection::Set || exchange.eDirection == ESimDirection::Get)
            vecIds.push_back(exchange.nReportId);
    return vecIds;
}

std::string CSimulatedKeyboard::FeatureTrace() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    std::string strTrace;
    for (const SimExchange& exchange : m_pCore->m_vecLog)
    {
        if (exchange.eDirection != ESimDirection::Set && exchange.eDirection != ESimDirection::Get)
            continue;
        if (!strTrace.empty())
            strTrace += ' ';
        strTrace += exchange.eDirection == ESimDirection::Set ? 'S' : 'G';
        strTrace += std::to_string(exchange.nReportId);
        if (!exchange.bOk)
            strTrace += '!';
    }
    return strTrace;
}

std::vector<uint64_t> CSimulatedKeyboard::FeaturePauses() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    std::vector<uint64_t> vecPauses;
    bool bHave = false;
    uint64_t nLast = 0;
    for (const SimExchange& exchange : m_pCore->m_vecLog)
    {
        if (exchange.eDirection != ESimDirection::Set && exchange.eDirection != ESimDirection::Get)
            continue;
        if (bHave)
            vecPauses.push_back(exchange.nTimeMs - nLast);
        bHave = true;
        nLast = exchange.nTimeMs;
    }
    return vecPauses;
}

std::vector<uint8_t> CSimulatedKeyboard::LastSet(uint8_t nReportId) const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    for (auto it = m_pCore->m_vecLog.rbegin(); it != m_pCore->m_vecLog.rend(); ++it)
        if (it->eDirection == ESimDirection::Set && it->nReportId == nReportId)
            return it->vecBytes;
    return {};
}

// ---- Protocol checks ----

std::vector<SimViolation> CSimulatedKeyboard::Violations() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_vecViolations;
}

size_t CSimulatedKeyboard::CountViolations(ESimViolation eKind) const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return static_cast<size_t>(std::count_if(m_pCore->m_vecViolations.begin(), m_pCore->m_vecViolations.end(),
                                             [&](const SimViolation& violation) { return violation.eKind == eKind; }));
}

bool CSimulatedKeyboard::HasInterleaving() const
{
    return CountViolations(ESimViolation::Interleaved) > 0;
}

std::string CSimulatedKeyboard::ViolationsText() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    std::string strText;
    for (const SimViolation& violation : m_pCore->m_vecViolations)
    {
        strText += ViolationName(violation.eKind);
        strText += " at exchange ";
        strText += std::to_string(violation.nLogIndex);
        strText += ": ";
        strText += violation.strText;
        strText += '\n';
    }
    return strText;
}

void CSimulatedKeyboard::ClearViolations()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_vecViolations.clear();
}
