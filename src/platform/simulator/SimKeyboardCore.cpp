// The simulator's shared state: log, fault rules, the enumeration with its nodes and plugging,
// and the delivery of input reports to open handles.

#include "platform/simulator/SimKeyboardCore.h"

#include <algorithm>

#include <sys/eventfd.h>
#include <unistd.h>

CSimKeyboardCore::CSimKeyboardCore(CClock& clock) : m_clock(clock)
{
    m_nEventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ResetFirmwareLocked();
}

CSimKeyboardCore::~CSimKeyboardCore()
{
    if (m_nEventFd >= 0)
        close(m_nEventFd);
}

// ---- Log and faults ----

uint64_t CSimKeyboardCore::NowLocked()
{
    return m_bAlive ? m_clock.NowMs() : 0;
}

size_t CSimKeyboardCore::LogLocked(ESimDirection eDirection, uint8_t nId, const uint8_t* pData, size_t nLength,
                                   bool bOk, const std::string& strPath)
{
    SimExchange exchange;
    exchange.eDirection = eDirection;
    exchange.nReportId = nId;
    if (pData && nLength)
        exchange.vecBytes.assign(pData, pData + nLength);
    exchange.bOk = bOk;
    exchange.nTimeMs = NowLocked();
    exchange.idThread = std::this_thread::get_id();
    exchange.strPath = strPath;
    m_vecLog.push_back(std::move(exchange));
    return m_vecLog.size() - 1;
}

void CSimKeyboardCore::ViolateLocked(ESimViolation eKind, size_t nLogIndex, std::string strText)
{
    m_vecViolations.push_back(SimViolation{eKind, nLogIndex, std::move(strText)});
}

// Finds and consumes the first fault rule that matches.
std::optional<SimFaultRule> CSimKeyboardCore::TakeFaultLocked(ESimOp eOp, int nReportId, const std::string& strPath)
{
    for (size_t i = 0; i < m_vecFaults.size(); ++i)
    {
        SimFaultRule& rule = m_vecFaults[i];
        if (rule.eOp != eOp)
            continue;
        if (rule.nReportId >= 0 && rule.nReportId != nReportId)
            continue;
        if (!rule.strPath.empty() && rule.strPath != strPath)
            continue;
        SimFaultRule copy = rule;
        if (rule.nRemaining > 0 && --rule.nRemaining == 0)
            m_vecFaults.erase(m_vecFaults.begin() + static_cast<std::ptrdiff_t>(i));
        return copy;
    }
    return std::nullopt;
}

// ---- Enumeration ----

void CSimKeyboardCore::SetLayoutLocked(const std::vector<SimCollection>& vecCollections)
{
    // Stale every open handle: their nodes are gone.
    for (SimNode& node : m_vecNodes)
        node.nGeneration = 0;
    m_vecLayout = vecCollections;
    m_vecLayoutNode.clear();
    std::vector<SimNode> vecNodes;
    int nAnonymous = -1;
    for (const SimCollection& collection : m_vecLayout)
    {
        int nKey = collection.nNode >= 0 ? collection.nNode : (--nAnonymous) - 1000000;
        size_t nIndex = vecNodes.size();
        for (size_t i = 0; i < vecNodes.size(); ++i)
            if (vecNodes[i].nDevice == collection.nDevice && vecNodes[i].nKey == nKey)
                nIndex = i;
        if (nIndex == vecNodes.size())
        {
            SimNode node;
            node.nDevice = collection.nDevice;
            node.nKey = nKey;
            node.bOpenable = collection.bOpenable;
            vecNodes.push_back(node);
        }
        SimNode& node = vecNodes[nIndex];
        node.bOpenable = node.bOpenable && collection.bOpenable;
        if (collection.nDevice == kSimKeyboardDevice && collection.nVendorId == 0x04F3 &&
            collection.nProductId == 0x1406)
        {
            if (collection.nUsagePage == kListenerUsagePage)
                node.bEvents = true;
            if (collection.nUsagePage == kCommandUsagePage)
                node.bCommands = true;
        }
        m_vecLayoutNode.push_back(nIndex);
        if (!m_mapPlugged.count(collection.nDevice))
            m_mapPlugged[collection.nDevice] = true;
    }
    // Nodes of the old layout are never valid again: keep them out of the path search by
    // replacing the vector; new nodes get fresh paths and generations.
    m_vecNodes = std::move(vecNodes);
    for (SimNode& node : m_vecNodes)
        NewPathLocked(node);
    m_cv.notify_all();
}

void CSimKeyboardCore::NewPathLocked(SimNode& node)
{
    node.strPath = "/sim/hidraw" + std::to_string(m_nNextPath++);
    node.nGeneration = m_nNextGeneration++;
}

bool CSimKeyboardCore::NodePresentLocked(size_t nNode) const
{
    if (!m_bAlive || nNode >= m_vecNodes.size())
        return false;
    auto it = m_mapPlugged.find(m_vecNodes[nNode].nDevice);
    return it != m_mapPlugged.end() && it->second;
}

bool CSimKeyboardCore::HandleValidLocked(const SimHandleState& handle) const
{
    return NodePresentLocked(handle.nNode) && m_vecNodes[handle.nNode].nGeneration == handle.nGeneration;
}

std::vector<HotplugEvent> CSimKeyboardCore::SetPluggedLocked(int nDevice, bool bPlugged)
{
    std::vector<HotplugEvent> vecEvents;
    bool bWas = m_mapPlugged.count(nDevice) ? m_mapPlugged[nDevice] : false;
    if (bWas == bPlugged)
        return vecEvents;
    m_mapPlugged[nDevice] = bPlugged;
    if (nDevice == kSimKeyboardDevice && !bPlugged)
    {
        // The keyboard loses power: a select whose get never came is forgotten with it, and
        // the pause it asked for ends too. The next exchange after a replug starts afresh.
        m_bSelectOpen = false;
        m_bHaveLast = false;
    }
    for (SimNode& node : m_vecNodes)
    {
        if (node.nDevice != nDevice)
            continue;
        if (bPlugged)
            NewPathLocked(node);
        vecEvents.push_back(HotplugEvent{bPlugged ? EHotplugAction::Arrival : EHotplugAction::Removal, node.strPath});
    }
    for (const HotplugEvent& event : vecEvents)
        m_vecPendingHotplug.push_back(event);
    if (!vecEvents.empty() && m_nEventFd >= 0)
    {
        uint64_t nOne = 1;
        ssize_t nWritten = write(m_nEventFd, &nOne, sizeof nOne);
        (void)nWritten;
    }
    m_cv.notify_all();
    return vecEvents;
}

std::string CSimKeyboardCore::NodePathLocked(const SimHandleState& handle) const
{
    return handle.nNode < m_vecNodes.size() ? m_vecNodes[handle.nNode].strPath : std::string();
}

// ---- Input reports ----

int CSimKeyboardCore::DeliverLocked(int nDevice, const std::vector<uint8_t>& vecReport)
{
    int nReached = 0;
    for (auto& [nId, handle] : m_mapHandles)
    {
        if (!HandleValidLocked(handle))
            continue;
        const SimNode& node = m_vecNodes[handle.nNode];
        if (node.nDevice != nDevice)
            continue;
        if (nDevice == kSimKeyboardDevice && !node.bEvents)
            continue;
        if (handle.deqInput.size() >= kInputQueueLimit)
        {
            ++m_nDroppedInput; // a reader that falls this far behind loses reports
            continue;
        }
        handle.deqInput.push_back(vecReport);
        ++nReached;
    }
    m_cv.notify_all();
    return nReached;
}

int CSimKeyboardCore::SendEventLocked(uint8_t nCode, uint8_t nParam)
{
    std::vector<uint8_t> vecReport(std::max<size_t>(m_nEventLength, 3), 0);
    vecReport[0] = m_nEventReportId;
    vecReport[1] = nCode;
    vecReport[2] = nParam;
    return DeliverLocked(kSimKeyboardDevice, vecReport);
}

size_t CSimKeyboardCore::ReaderCountLocked() const
{
    size_t nCount = 0;
    for (const auto& [nId, handle] : m_mapHandles)
        if (HandleValidLocked(handle) && m_vecNodes[handle.nNode].nDevice == kSimKeyboardDevice &&
            m_vecNodes[handle.nNode].bEvents)
            ++nCount;
    return nCount;
}

// A handle used for feature reports that never reads (the command handle on a node shared
// with the events) keeps its copies forever, as hidraw does; it is not waited for.
bool CSimKeyboardCore::AllConsumedLocked() const
{
    for (const auto& [nId, handle] : m_mapHandles)
    {
        if (!HandleValidLocked(handle) || handle.deqInput.empty())
            continue;
        if (handle.bHasRead || !handle.bUsedFeatures)
            return false;
    }
    return true;
}
