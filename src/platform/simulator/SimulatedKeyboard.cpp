// CSimulatedKeyboard as a HID backend and hot-plug source: its handles, the collections it
// lists, and plugging and unplugging.

#include "platform/simulator/SimKeyboardCore.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include <unistd.h>

namespace
{
class CSimHandle : public CHidHandle
{
public:
    CSimHandle(std::shared_ptr<CSimKeyboardCore> pCore, uint64_t nId, std::string strPath)
        : m_pCore(std::move(pCore)), m_nId(nId), m_strPath(std::move(strPath))
    {
    }

    ~CSimHandle() override
    {
        std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
        m_pCore->m_mapHandles.erase(m_nId);
        m_pCore->LogLocked(ESimDirection::Close, 0, nullptr, 0, true, m_strPath);
        m_pCore->m_cv.notify_all();
    }

    bool SetFeature(const uint8_t* pData, size_t nLength) override
    {
        std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
        return m_pCore->HostSet(m_pCore->m_mapHandles[m_nId], pData, nLength);
    }

    int GetFeature(uint8_t* pData, size_t nLength) override
    {
        std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
        return m_pCore->HostGet(m_pCore->m_mapHandles[m_nId], pData, nLength);
    }

    int Read(uint8_t* pData, size_t nLength, int nTimeoutMs) override
    {
        std::unique_lock<std::mutex> lock(m_pCore->m_mutex);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(nTimeoutMs, 0));
        for (;;)
        {
            SimHandleState& handle = m_pCore->m_mapHandles[m_nId];
            if (!m_pCore->HandleValidLocked(handle))
                return -1;
            handle.bHasRead = true;
            if (m_pCore->TakeFaultLocked(ESimOp::Read, -1, m_strPath))
                return -1;
            if (!handle.deqInput.empty())
            {
                std::vector<uint8_t> vecReport = std::move(handle.deqInput.front());
                handle.deqInput.pop_front();
                size_t nCopy = std::min(nLength, vecReport.size());
                if (nCopy && pData)
                    std::memcpy(pData, vecReport.data(), nCopy);
                m_pCore->LogLocked(ESimDirection::Input, vecReport.empty() ? 0 : vecReport[0], vecReport.data(), nCopy,
                                   true, m_strPath);
                m_pCore->m_cv.notify_all();
                return static_cast<int>(nCopy);
            }
            if (nTimeoutMs == 0)
                return 0;
            if (nTimeoutMs < 0)
                m_pCore->m_cv.wait(lock);
            else if (m_pCore->m_cv.wait_until(lock, deadline) == std::cv_status::timeout)
            {
                SimHandleState& again = m_pCore->m_mapHandles[m_nId];
                if (!m_pCore->HandleValidLocked(again))
                    return -1;
                if (again.deqInput.empty())
                    return 0;
            }
        }
    }

private:
    std::shared_ptr<CSimKeyboardCore> m_pCore;
    uint64_t m_nId;
    std::string m_strPath;
};
} // namespace

// ---- SimCollection ----

SimCollection SimCollection::KeyboardEvents()
{
    SimCollection collection;
    collection.nUsagePage = kListenerUsagePage;
    collection.nUsage = 0x0001;
    collection.nInputReportLength = 8;
    return collection;
}

SimCollection SimCollection::KeyboardCommands()
{
    SimCollection collection;
    collection.nUsagePage = kCommandUsagePage;
    collection.nUsage = 0x0001;
    return collection;
}

SimCollection SimCollection::KeyboardBoot()
{
    SimCollection collection;
    collection.nUsagePage = 0x0001;
    collection.nUsage = 0x0006;
    collection.bOpenable = false;
    collection.nInputReportLength = 8;
    return collection;
}

SimCollection SimCollection::Foreign(int nDevice, uint16_t nUsagePage, uint16_t nUsage, uint16_t nVendorId,
                                     uint16_t nProductId)
{
    SimCollection collection;
    collection.nDevice = nDevice;
    collection.nVendorId = nVendorId;
    collection.nProductId = nProductId;
    collection.nUsagePage = nUsagePage;
    collection.nUsage = nUsage;
    collection.nInputReportLength = 8;
    return collection;
}

// ---- CSimulatedKeyboard ----

CSimulatedKeyboard::CSimulatedKeyboard(CClock& clock) : m_pCore(std::make_shared<CSimKeyboardCore>(clock))
{
    SetEnumeration({SimCollection::Foreign(1), SimCollection::KeyboardBoot(), SimCollection::KeyboardEvents(),
                    SimCollection::KeyboardCommands()});
}

CSimulatedKeyboard::~CSimulatedKeyboard()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_bAlive = false;
    m_pCore->m_cv.notify_all();
}

std::vector<HidInterfaceInfo> CSimulatedKeyboard::Enumerate()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    std::vector<HidInterfaceInfo> vecResult;
    for (size_t i = 0; i < m_pCore->m_vecLayout.size(); ++i)
    {
        size_t nNode = m_pCore->m_vecLayoutNode[i];
        if (!m_pCore->NodePresentLocked(nNode))
            continue;
        const SimCollection& collection = m_pCore->m_vecLayout[i];
        HidInterfaceInfo info;
        info.strPath = m_pCore->m_vecNodes[nNode].strPath;
        info.nVendorId = collection.nVendorId;
        info.nProductId = collection.nProductId;
        info.nUsagePage = collection.nUsagePage;
        info.nUsage = collection.nUsage;
        info.nInputReportLength = collection.nInputReportLength;
        // As the system reads it from the descriptor: the event collection's reports carry the
        // event report id; with id 0 the keyboard numbers no reports.
        if (collection.nDevice == kSimKeyboardDevice && collection.nVendorId == 0x04F3 &&
            collection.nProductId == 0x1406 && collection.nUsagePage == kListenerUsagePage &&
            m_pCore->m_nEventReportId != 0)
            info.vecInputReportIds = {m_pCore->m_nEventReportId};
        vecResult.push_back(info);
    }
    return vecResult;
}

std::unique_ptr<CHidHandle> CSimulatedKeyboard::Open(const std::string& strPath)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    for (size_t i = 0; i < m_pCore->m_vecNodes.size(); ++i)
    {
        const SimNode& node = m_pCore->m_vecNodes[i];
        if (node.strPath != strPath || !m_pCore->NodePresentLocked(i))
            continue;
        if (!node.bOpenable || m_pCore->TakeFaultLocked(ESimOp::Open, -1, strPath))
        {
            m_pCore->LogLocked(ESimDirection::Open, 0, nullptr, 0, false, strPath);
            return nullptr;
        }
        uint64_t nId = m_pCore->m_nNextHandle++;
        m_pCore->m_mapHandles[nId] = SimHandleState{i, node.nGeneration, {}, false, false};
        m_pCore->LogLocked(ESimDirection::Open, 0, nullptr, 0, true, strPath);
        m_pCore->m_cv.notify_all();
        return std::make_unique<CSimHandle>(m_pCore, nId, strPath);
    }
    m_pCore->LogLocked(ESimDirection::Open, 0, nullptr, 0, false, strPath);
    return nullptr;
}

int CSimulatedKeyboard::Fd() const
{
    return m_pCore->m_nEventFd;
}

int CSimulatedKeyboard::DrainEvents(const HotplugCallback& fnCallback)
{
    std::vector<HotplugEvent> vecEvents;
    {
        std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
        vecEvents.swap(m_pCore->m_vecPendingHotplug);
        if (m_pCore->m_nEventFd >= 0)
        {
            uint64_t nValue = 0;
            ssize_t nRead = read(m_pCore->m_nEventFd, &nValue, sizeof nValue);
            (void)nRead;
        }
    }
    if (fnCallback)
        for (const HotplugEvent& event : vecEvents)
            fnCallback(event);
    return static_cast<int>(vecEvents.size());
}

void CSimulatedKeyboard::SetEnumeration(const std::vector<SimCollection>& vecCollections)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->SetLayoutLocked(vecCollections);
}

void CSimulatedKeyboard::PlaceKeyboard(int nEventIndex, int nCommandIndex)
{
    int nCount = std::max(nEventIndex, nCommandIndex) + 1;
    std::vector<SimCollection> vecLayout;
    for (int i = 0; i < nCount; ++i)
    {
        if (i == nEventIndex)
            vecLayout.push_back(SimCollection::KeyboardEvents());
        else if (i == nCommandIndex)
            vecLayout.push_back(SimCollection::KeyboardCommands());
        else
            vecLayout.push_back(SimCollection::Foreign(100 + i));
    }
    SetEnumeration(vecLayout);
}

void CSimulatedKeyboard::SetEventReportFormat(uint8_t nReportId, uint16_t nLength)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_nEventReportId = nReportId;
    m_pCore->m_nEventLength = nLength;
}

void CSimulatedKeyboard::Unplug()
{
    UnplugDevice(kSimKeyboardDevice);
}

void CSimulatedKeyboard::Plug()
{
    PlugDevice(kSimKeyboardDevice);
}

bool CSimulatedKeyboard::IsPlugged() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    auto it = m_pCore->m_mapPlugged.find(kSimKeyboardDevice);
    return it != m_pCore->m_mapPlugged.end() && it->second;
}

void CSimulatedKeyboard::UnplugDevice(int nDevice)
{
    std::vector<HotplugEvent> vecEvents;
    HotplugCallback fnCallback;
    {
        std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
        vecEvents = m_pCore->SetPluggedLocked(nDevice, false);
        fnCallback = m_pCore->m_fnHotplug;
    }
    if (fnCallback)
        for (const HotplugEvent& event : vecEvents)
            fnCallback(event);
}

void CSimulatedKeyboard::PlugDevice(int nDevice)
{
    std::vector<HotplugEvent> vecEvents;
    HotplugCallback fnCallback;
    {
        std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
        vecEvents = m_pCore->SetPluggedLocked(nDevice, true);
        fnCallback = m_pCore->m_fnHotplug;
    }
    if (fnCallback)
        for (const HotplugEvent& event : vecEvents)
            fnCallback(event);
}

void CSimulatedKeyboard::SetHotplugCallback(HotplugCallback fnCallback)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_fnHotplug = std::move(fnCallback);
}
