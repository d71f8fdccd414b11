#include "platform/simulator/SimulatedKeyboard.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

#include <sys/eventfd.h>
#include <unistd.h>

namespace
{
constexpr uint16_t kListenerUsagePage = 0x000A;
constexpr uint16_t kCommandUsagePage = 0x000B;
constexpr size_t kInputQueueLimit = 64; // hidraw keeps at most 64 reports per open file

// The remap table the keyboard leaves the factory with, MatrixPosition 0 first. Kept apart from
// the program's own copy on purpose: the simulator stands for the firmware, so a typo in either
// table shows up as a difference after a sync instead of agreeing with itself.
constexpr std::array<uint8_t, 160> kFactoryRemap = {
    0x1D, 0x1E, 0xAF, 0xA4, 0xE6, 0xA5, 0xA9, 0xB8, 0x06, 0x20, 0x00, 0xA1, 0xA2, 0xAD, 0xE4, 0xCC,
    0x09, 0xC0, 0xC4, 0xAA, 0xE2, 0xAB, 0xAC, 0xA8, 0x28, 0xC1, 0xC5, 0x00, 0x00, 0xE1, 0xB0, 0xAE,
    0x29, 0x0E, 0x13, 0x81, 0xA0, 0x82, 0xE0, 0xAF, 0x2C, 0x21, 0x87, 0xCF, 0x00, 0x8B, 0x8A, 0x88,
    0x04, 0x00, 0x00, 0xB1, 0x83, 0x90, 0x91, 0xBB, 0x2B, 0x35, 0xC6, 0x1C, 0x4D, 0x24, 0x33, 0x53,
    0x16, 0xBA, 0x00, 0x89, 0xA1, 0x32, 0xA2, 0xDA, 0x07, 0x98, 0x99, 0x46, 0x9A, 0x9B, 0x9C, 0xCC,
    0xEA, 0x00, 0xCB, 0x47, 0x00, 0x64, 0x00, 0x38, 0x08, 0x0F, 0xCA, 0x48, 0x4A, 0xCD, 0x34, 0x37,
    0xEB, 0x0D, 0xC9, 0x4C, 0x31, 0x27, 0xCE, 0x36, 0x65, 0x12, 0x52, 0x00, 0x5F, 0x5C, 0x59, 0x39,
    0x22, 0x19, 0x54, 0x50, 0x60, 0x5D, 0x5A, 0x62, 0x15, 0x23, 0x55, 0x61, 0x51, 0x5E, 0x5B, 0x63,
    0x17, 0xC2, 0x56, 0x57, 0x85, 0x4F, 0x58, 0x10, 0x1B, 0x1F, 0xC3, 0xA6, 0xA3, 0xE5, 0xA0, 0xA7,
    0xE8, 0x0A, 0xC7, 0x0C, 0x2F, 0x25, 0x49, 0x11, 0xE9, 0x2A, 0xC8, 0x18, 0x30, 0x26, 0x05, 0x0B,
};

// Report lengths of the command set, report id included.
size_t ReportLength(uint8_t nId)
{
    switch (nId)
    {
    case 4: return 3;
    case 5: return 3;
    case 6: return 184;
    case 7: return 6;
    case 8: return 226;
    default: return 0;
    }
}

// How long the host must wait after an exchange before the keyboard takes the next one.
uint64_t RequiredPause(bool bSet, uint8_t nId)
{
    if (bSet)
    {
        switch (nId)
        {
        case 4: return 8;
        case 5:
        case 7: return 15;
        case 6:
        case 8: return 350;
        default: return 0;
        }
    }
    return (nId == 6 || nId == 7 || nId == 8) ? 8 : 0;
}

enum class ESimOp
{
    Open,
    Set,
    Get,
    Read
};

enum class EFaultKind
{
    Fail,
    Short,
    Replace
};

struct SimFaultRule
{
    ESimOp eOp = ESimOp::Get;
    int nReportId = -1;
    int nRemaining = 1;
    EFaultKind eKind = EFaultKind::Fail;
    size_t nShort = 0;
    std::vector<uint8_t> vecReply;
    std::string strPath;
};

struct SimNode
{
    int nDevice = 0;
    int nKey = 0;
    std::string strPath;
    uint64_t nGeneration = 0;
    bool bOpenable = true;
    bool bEvents = false;
    bool bCommands = false;
};

struct SimHandleState
{
    size_t nNode = 0;
    uint64_t nGeneration = 0;
    std::deque<std::vector<uint8_t>> deqInput;
    bool bHasRead = false;
    bool bUsedFeatures = false;
};

SimProfileState FactoryProfile()
{
    SimProfileState state;
    state.nColour = 1;
    state.nBrightness = 8;
    state.arrRemap = kFactoryRemap;
    for (int k = 0; k < 5; ++k)
        state.arrKeyValues[k] = {0x06, 0x01, static_cast<uint8_t>(0x1E + k)};
    for (SimMacroBytes& macro : state.arrMacros)
        macro = CSimulatedKeyboard::MakeMacroBytes(std::nullopt, 0, {});
    return state;
}

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
} // namespace

// The shared state: firmware, enumeration, handles, log. Every member is guarded by m_mutex.
class CSimKeyboardCore
{
public:
    explicit CSimKeyboardCore(CClock& clock) : m_clock(clock)
    {
        m_nEventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        ResetFirmwareLocked();
    }
    ~CSimKeyboardCore()
    {
        if (m_nEventFd >= 0)
            close(m_nEventFd);
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    CClock& m_clock;
    bool m_bAlive = true;

    // Enumeration
    std::vector<SimCollection> m_vecLayout;
    std::vector<size_t> m_vecLayoutNode;
    std::vector<SimNode> m_vecNodes;
    std::map<int, bool> m_mapPlugged;
    unsigned m_nNextPath = 0;
    uint64_t m_nNextGeneration = 1;

    // Handles
    std::map<uint64_t, SimHandleState> m_mapHandles;
    uint64_t m_nNextHandle = 1;

    // Firmware
    std::array<SimProfileState, 3> m_arrProfiles;
    int m_nActiveProfile = 0;
    int m_nLastProfileCommand = -1;
    uint8_t m_nSelProfile = 0;
    uint8_t m_nSelKey = 0;
    bool m_bWindowsLock = false;
    bool m_bAllKeysLock = false;
    uint8_t m_nEventReportId = 1;
    uint16_t m_nEventLength = 8;
    size_t m_nDroppedInput = 0;

    // Checks
    bool m_bSelectOpen = false;
    std::thread::id m_idSelectThread;
    bool m_bHaveLast = false;
    uint64_t m_nLastTime = 0;
    uint64_t m_nRequiredPause = 0;
    std::vector<SimExchange> m_vecLog;
    std::vector<SimViolation> m_vecViolations;
    std::vector<SimFaultRule> m_vecFaults;

    // Hot-plug
    int m_nEventFd = -1;
    std::vector<HotplugEvent> m_vecPendingHotplug;
    HotplugCallback m_fnHotplug;

    void ResetFirmwareLocked()
    {
        for (SimProfileState& profile : m_arrProfiles)
            profile = FactoryProfile();
        m_nActiveProfile = 0;
        m_nLastProfileCommand = -1;
        m_nSelProfile = 0;
        m_nSelKey = 0;
        m_bWindowsLock = false;
        m_bAllKeysLock = false;
    }

    uint64_t NowLocked() { return m_bAlive ? m_clock.NowMs() : 0; }

    size_t LogLocked(ESimDirection eDirection, uint8_t nId, const uint8_t* pData, size_t nLength, bool bOk,
                     const std::string& strPath)
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

    void ViolateLocked(ESimViolation eKind, size_t nLogIndex, std::string strText)
    {
        m_vecViolations.push_back(SimViolation{eKind, nLogIndex, std::move(strText)});
    }

    // Finds and consumes the first fault rule that matches.
    std::optional<SimFaultRule> TakeFaultLocked(ESimOp eOp, int nReportId, const std::string& strPath)
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

    void SetLayoutLocked(const std::vector<SimCollection>& vecCollections)
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

    void NewPathLocked(SimNode& node)
    {
        node.strPath = "/sim/hidraw" + std::to_string(m_nNextPath++);
        node.nGeneration = m_nNextGeneration++;
    }

    bool NodePresentLocked(size_t nNode) const
    {
        if (!m_bAlive || nNode >= m_vecNodes.size())
            return false;
        auto it = m_mapPlugged.find(m_vecNodes[nNode].nDevice);
        return it != m_mapPlugged.end() && it->second;
    }

    bool HandleValidLocked(const SimHandleState& handle) const
    {
        return NodePresentLocked(handle.nNode) && m_vecNodes[handle.nNode].nGeneration == handle.nGeneration;
    }

    std::vector<HotplugEvent> SetPluggedLocked(int nDevice, bool bPlugged)
    {
        std::vector<HotplugEvent> vecEvents;
        bool bWas = m_mapPlugged.count(nDevice) ? m_mapPlugged[nDevice] : false;
        if (bWas == bPlugged)
            return vecEvents;
        m_mapPlugged[nDevice] = bPlugged;
        for (SimNode& node : m_vecNodes)
        {
            if (node.nDevice != nDevice)
                continue;
            if (bPlugged)
                NewPathLocked(node);
            vecEvents.push_back(
                HotplugEvent{bPlugged ? EHotplugAction::Arrival : EHotplugAction::Removal, node.strPath});
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

    // ---- Input reports ----

    int DeliverLocked(int nDevice, const std::vector<uint8_t>& vecReport)
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

    int SendEventLocked(uint8_t nCode, uint8_t nParam)
    {
        std::vector<uint8_t> vecReport(std::max<size_t>(m_nEventLength, 3), 0);
        vecReport[0] = m_nEventReportId;
        vecReport[1] = nCode;
        vecReport[2] = nParam;
        return DeliverLocked(kSimKeyboardDevice, vecReport);
    }

    size_t ReaderCountLocked() const
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
    bool AllConsumedLocked() const
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

    // ---- Host side of the feature reports ----

    // Checks the order and timing of the host's feature exchanges, whatever their outcome.
    void TrackExchangeLocked(bool bSet, uint8_t nId, size_t nLogIndex)
    {
        uint64_t nNow = m_vecLog[nLogIndex].nTimeMs;
        if (m_bHaveLast && nNow < m_nLastTime + m_nRequiredPause)
            ViolateLocked(ESimViolation::TooSoon, nLogIndex,
                          std::string(bSet ? "set " : "get ") + std::to_string(nId) + " came " +
                              std::to_string(nNow - m_nLastTime) + " ms after the previous exchange, " +
                              std::to_string(m_nRequiredPause) + " ms needed");
        m_bHaveLast = true;
        m_nLastTime = nNow;
        m_nRequiredPause = RequiredPause(bSet, nId);

        bool bSelect = bSet && nId == 4;
        bool bSelectedGet = !bSet && (nId == 6 || nId == 7 || nId == 8);
        if (bSelectedGet)
        {
            if (!m_bSelectOpen)
                ViolateLocked(ESimViolation::UnselectedGet, nLogIndex,
                              "get " + std::to_string(nId) + " without a select just before it");
            m_bSelectOpen = false;
            return;
        }
        if (m_bSelectOpen)
        {
            bool bSameThread = m_idSelectThread == std::this_thread::get_id();
            ViolateLocked(ESimViolation::Interleaved, nLogIndex,
                          std::string(bSet ? "set " : "get ") + std::to_string(nId) +
                              " came between a select and its get" +
                              (bSameThread ? " (same thread)" : " (another thread)"));
        }
        m_bSelectOpen = bSelect;
        if (bSelect)
            m_idSelectThread = std::this_thread::get_id();
    }

    bool FirmwareSetLocked(const uint8_t* pData, size_t nLength, size_t nLogIndex)
    {
        uint8_t nId = pData[0];
        size_t nExpected = ReportLength(nId);
        if (nExpected == 0)
        {
            ViolateLocked(ESimViolation::UnknownReport, nLogIndex, "set of unknown report " + std::to_string(nId));
            return false;
        }
        if (nLength != nExpected)
        {
            ViolateLocked(ESimViolation::WrongLength, nLogIndex,
                          "set " + std::to_string(nId) + " with " + std::to_string(nLength) + " bytes, " +
                              std::to_string(nExpected) + " expected");
            return false;
        }
        auto checkHeader = [&](uint8_t nExpectedByte1) {
            if (pData[1] != nExpectedByte1)
                ViolateLocked(ESimViolation::BadHeader, nLogIndex,
                              "set " + std::to_string(nId) + " byte 1 is " + std::to_string(pData[1]));
        };
        auto profileOk = [&](uint8_t nProfile) {
            if (nProfile <= 2)
                return true;
            ViolateLocked(ESimViolation::OutOfRange, nLogIndex,
                          "set " + std::to_string(nId) + " for profile " + std::to_string(nProfile));
            return false;
        };
        switch (nId)
        {
        case 4:
            m_nSelProfile = pData[1];
            m_nSelKey = pData[2];
            if (pData[1] > 2 || pData[2] > 4)
                ViolateLocked(ESimViolation::OutOfRange, nLogIndex,
                              "select of profile " + std::to_string(pData[1]) + " key " + std::to_string(pData[2]));
            return true;
        case 5:
            checkHeader(0x03);
            m_nLastProfileCommand = pData[2];
            if (pData[2] <= 2)
                m_nActiveProfile = pData[2];
            return true;
        case 6:
            checkHeader(0xB8);
            if (profileOk(pData[2]))
            {
                SimProfileState& profile = m_arrProfiles[pData[2]];
                std::memcpy(profile.arrRemap.data(), pData + 8, 160);
                for (int k = 0; k < 5; ++k)
                    std::memcpy(profile.arrKeyValues[k].data(), pData + 168 + 3 * k, 3);
            }
            return true;
        case 7:
            checkHeader(0x0D);
            if (profileOk(pData[2]))
            {
                m_arrProfiles[pData[2]].nColour = pData[4];
                m_arrProfiles[pData[2]].nBrightness = pData[5];
            }
            return true;
        case 8:
            checkHeader(0xE2);
            if (pData[3] > 4)
            {
                ViolateLocked(ESimViolation::OutOfRange, nLogIndex, "set 8 for key " + std::to_string(pData[3]));
                return true;
            }
            if (profileOk(pData[2]))
                std::memcpy(m_arrProfiles[pData[2]].arrMacros[pData[3]].data(), pData + 8, kSimMacroBytes);
            return true;
        default:
            return false;
        }
    }

    // The keyboard's reply to a get, or nullopt when it does not answer that report.
    std::optional<std::vector<uint8_t>> FirmwareGetLocked(uint8_t nId, size_t nLogIndex)
    {
        size_t nLength = ReportLength(nId);
        if (nId < 5 || nLength == 0)
        {
            ViolateLocked(ESimViolation::UnknownReport, nLogIndex, "get of report " + std::to_string(nId));
            return std::nullopt;
        }
        std::vector<uint8_t> vecReply(nLength, 0);
        vecReply[0] = nId;
        uint8_t nProfile = m_nSelProfile;
        bool bProfileOk = nProfile <= 2;
        switch (nId)
        {
        case 5:
            vecReply[1] = 0x03;
            vecReply[2] = static_cast<uint8_t>(m_nActiveProfile);
            break;
        case 6:
            vecReply[1] = 0xB8;
            vecReply[2] = nProfile;
            if (bProfileOk)
            {
                const SimProfileState& profile = m_arrProfiles[nProfile];
                std::memcpy(vecReply.data() + 8, profile.arrRemap.data(), 160);
                for (int k = 0; k < 5; ++k)
                    std::memcpy(vecReply.data() + 168 + 3 * k, profile.arrKeyValues[k].data(), 3);
            }
            break;
        case 7:
            vecReply[1] = 0x0D;
            vecReply[2] = nProfile;
            if (bProfileOk)
            {
                vecReply[4] = m_arrProfiles[nProfile].nColour;
                vecReply[5] = m_arrProfiles[nProfile].nBrightness;
            }
            break;
        case 8:
            vecReply[1] = 0xE2;
            vecReply[2] = nProfile;
            vecReply[3] = m_nSelKey;
            if (bProfileOk && m_nSelKey <= 4)
                std::memcpy(vecReply.data() + 8, m_arrProfiles[nProfile].arrMacros[m_nSelKey].data(), kSimMacroBytes);
            break;
        default:
            break;
        }
        return vecReply;
    }

    bool HostSet(SimHandleState& handle, const uint8_t* pData, size_t nLength)
    {
        if (!pData || nLength == 0)
            return false;
        handle.bUsedFeatures = true;
        std::string strPath = NodePathLocked(handle);
        uint8_t nId = pData[0];
        if (!HandleValidLocked(handle))
        {
            LogLocked(ESimDirection::Set, nId, pData, nLength, false, strPath);
            return false;
        }
        const SimNode& node = m_vecNodes[handle.nNode];
        if (!node.bCommands)
        {
            size_t nIndex = LogLocked(ESimDirection::Set, nId, pData, nLength, false, strPath);
            if (node.nDevice == kSimKeyboardDevice)
                ViolateLocked(ESimViolation::NotCommandCollection, nIndex, "set " + std::to_string(nId));
            else
                ViolateLocked(ESimViolation::NotCommandCollection, nIndex,
                              "set " + std::to_string(nId) + " sent to a foreign device");
            return false;
        }
        size_t nIndex = LogLocked(ESimDirection::Set, nId, pData, nLength, true, strPath);
        TrackExchangeLocked(true, nId, nIndex);
        if (TakeFaultLocked(ESimOp::Set, nId, strPath))
        {
            m_vecLog[nIndex].bOk = false;
            return false;
        }
        bool bOk = FirmwareSetLocked(pData, nLength, nIndex);
        m_vecLog[nIndex].bOk = bOk;
        return bOk;
    }

    int HostGet(SimHandleState& handle, uint8_t* pData, size_t nLength)
    {
        if (!pData || nLength == 0)
            return -1;
        handle.bUsedFeatures = true;
        std::string strPath = NodePathLocked(handle);
        uint8_t nId = pData[0];
        if (!HandleValidLocked(handle))
        {
            LogLocked(ESimDirection::Get, nId, nullptr, 0, false, strPath);
            return -1;
        }
        const SimNode& node = m_vecNodes[handle.nNode];
        if (!node.bCommands)
        {
            size_t nIndex = LogLocked(ESimDirection::Get, nId, nullptr, 0, false, strPath);
            ViolateLocked(ESimViolation::NotCommandCollection, nIndex, "get " + std::to_string(nId));
            return -1;
        }
        size_t nIndex = LogLocked(ESimDirection::Get, nId, nullptr, 0, false, strPath);
        TrackExchangeLocked(false, nId, nIndex);
        std::optional<SimFaultRule> fault = TakeFaultLocked(ESimOp::Get, nId, strPath);
        if (fault && fault->eKind == EFaultKind::Fail)
            return -1;
        std::optional<std::vector<uint8_t>> reply;
        if (fault && fault->eKind == EFaultKind::Replace)
            reply = fault->vecReply;
        else
            reply = FirmwareGetLocked(nId, nIndex);
        if (!reply)
            return -1;
        if (fault && fault->eKind == EFaultKind::Short && fault->nShort < reply->size())
            reply->resize(fault->nShort);
        else if (!fault && nLength < reply->size())
            ViolateLocked(ESimViolation::WrongLength, nIndex,
                          "get " + std::to_string(nId) + " into " + std::to_string(nLength) + " bytes, " +
                              std::to_string(reply->size()) + " needed");
        size_t nCopy = std::min(nLength, reply->size());
        if (nCopy)
            std::memcpy(pData, reply->data(), nCopy);
        m_vecLog[nIndex].vecBytes.assign(reply->begin(), reply->begin() + static_cast<std::ptrdiff_t>(nCopy));
        m_vecLog[nIndex].bOk = true;
        return static_cast<int>(nCopy);
    }

    std::string NodePathLocked(const SimHandleState& handle) const
    {
        return handle.nNode < m_vecNodes.size() ? m_vecNodes[handle.nNode].strPath : std::string();
    }
};

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

// ---- Firmware state ----

namespace
{
int ClampProfile(int nProfile)
{
    return std::clamp(nProfile, 0, 2);
}
int ClampKey(int nKey)
{
    return std::clamp(nKey, 0, 4);
}
} // namespace

void CSimulatedKeyboard::ResetToFactory()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->ResetFirmwareLocked();
}

int CSimulatedKeyboard::ActiveProfile() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_nActiveProfile;
}

void CSimulatedKeyboard::SetActiveProfile(int nProfile)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_nActiveProfile = ClampProfile(nProfile);
}

int CSimulatedKeyboard::LastProfileCommand() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_nLastProfileCommand;
}

SimProfileState CSimulatedKeyboard::Profile(int nProfile) const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_arrProfiles[ClampProfile(nProfile)];
}

void CSimulatedKeyboard::SetProfile(int nProfile, const SimProfileState& state)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_arrProfiles[ClampProfile(nProfile)] = state;
}

uint8_t CSimulatedKeyboard::Colour(int nProfile) const
{
    return Profile(nProfile).nColour;
}

uint8_t CSimulatedKeyboard::Brightness(int nProfile) const
{
    return Profile(nProfile).nBrightness;
}

void CSimulatedKeyboard::SetLighting(int nProfile, uint8_t nColour, uint8_t nBrightness)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimProfileState& profile = m_pCore->m_arrProfiles[ClampProfile(nProfile)];
    profile.nColour = nColour;
    profile.nBrightness = nBrightness;
}

std::array<uint8_t, 160> CSimulatedKeyboard::KeyTable(int nProfile) const
{
    return Profile(nProfile).arrRemap;
}

void CSimulatedKeyboard::SetRemapEntry(int nProfile, int nPosition, uint8_t nCode)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_arrProfiles[ClampProfile(nProfile)].arrRemap[std::clamp(nPosition, 0, 159)] = nCode;
}

std::array<uint8_t, 3> CSimulatedKeyboard::KeyValue(int nProfile, int nKey) const
{
    return Profile(nProfile).arrKeyValues[ClampKey(nKey)];
}

void CSimulatedKeyboard::SetKeyValue(int nProfile, int nKey, uint8_t nKind, uint8_t nParam1, uint8_t nParam2)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_arrProfiles[ClampProfile(nProfile)].arrKeyValues[ClampKey(nKey)] = {nKind, nParam1, nParam2};
}

SimMacroBytes CSimulatedKeyboard::MacroBytes(int nProfile, int nKey) const
{
    return Profile(nProfile).arrMacros[ClampKey(nKey)];
}

void CSimulatedKeyboard::SetMacroBytes(int nProfile, int nKey, const SimMacroBytes& bytes)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_arrProfiles[ClampProfile(nProfile)].arrMacros[ClampKey(nKey)] = bytes;
}

void CSimulatedKeyboard::SetMacro(int nProfile, int nKey, const std::optional<std::string>& strName, uint8_t nLoop,
                                  const std::vector<SimStep>& vecSteps)
{
    SetMacroBytes(nProfile, nKey, MakeMacroBytes(strName, nLoop, vecSteps));
}

bool CSimulatedKeyboard::HasMacroName(int nProfile, int nKey) const
{
    SimMacroBytes bytes = MacroBytes(nProfile, nKey);
    return !(bytes[0] == 0xFF && bytes[1] == 0xFF);
}

std::string CSimulatedKeyboard::MacroName(int nProfile, int nKey) const
{
    SimMacroBytes bytes = MacroBytes(nProfile, nKey);
    if (bytes[0] == 0xFF && bytes[1] == 0xFF)
        return std::string();
    size_t nLength = 0;
    while (nLength < 24 && bytes[nLength] != 0)
        ++nLength;
    return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(nLength));
}

uint8_t CSimulatedKeyboard::MacroLoop(int nProfile, int nKey) const
{
    return MacroBytes(nProfile, nKey)[24];
}

uint8_t CSimulatedKeyboard::MacroStepCount(int nProfile, int nKey) const
{
    return MacroBytes(nProfile, nKey)[25];
}

std::vector<SimStep> CSimulatedKeyboard::MacroSteps(int nProfile, int nKey) const
{
    SimMacroBytes bytes = MacroBytes(nProfile, nKey);
    size_t nCount = std::min<size_t>(bytes[25], kSimMaxSteps);
    std::vector<SimStep> vecSteps;
    for (size_t i = 0; i < nCount; ++i)
        vecSteps.emplace_back(bytes[26 + 2 * i], bytes[27 + 2 * i]);
    return vecSteps;
}

SimMacroBytes CSimulatedKeyboard::MakeMacroBytes(const std::optional<std::string>& strName, uint8_t nLoop,
                                                 const std::vector<SimStep>& vecSteps)
{
    SimMacroBytes bytes{};
    if (strName)
        std::memcpy(bytes.data(), strName->data(), std::min<size_t>(strName->size(), 24));
    else
        std::fill(bytes.begin(), bytes.begin() + 24, 0xFF);
    bytes[24] = nLoop;
    bytes[25] = static_cast<uint8_t>(std::min<size_t>(vecSteps.size(), 255));
    for (size_t i = 0; i < vecSteps.size() && i < kSimMaxSteps; ++i)
    {
        bytes[26 + 2 * i] = vecSteps[i].first;
        bytes[27 + 2 * i] = vecSteps[i].second;
    }
    return bytes;
}

bool CSimulatedKeyboard::WindowsLock() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_bWindowsLock;
}

bool CSimulatedKeyboard::AllKeysLock() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_bAllKeysLock;
}

// ---- Keyboard-side actions ----

int CSimulatedKeyboard::PressProfileKey(int nProfile)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_nActiveProfile = ClampProfile(nProfile);
    return m_pCore->SendEventLocked(5, static_cast<uint8_t>(m_pCore->m_nActiveProfile + 1));
}

int CSimulatedKeyboard::ChangeColourOnKeyboard(uint8_t nColour)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_arrProfiles[m_pCore->m_nActiveProfile].nColour = nColour;
    return m_pCore->SendEventLocked(2, nColour);
}

int CSimulatedKeyboard::ChangeBrightnessOnKeyboard(uint8_t nCode)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_arrProfiles[m_pCore->m_nActiveProfile].nBrightness = nCode;
    return m_pCore->SendEventLocked(7, nCode);
}

int CSimulatedKeyboard::PressLightModeKey()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimProfileState& profile = m_pCore->m_arrProfiles[m_pCore->m_nActiveProfile];
    if (profile.nBrightness == 24)
    {
        // Breathing off: the keyboard falls back to steady red at full brightness.
        profile.nColour = 1;
        profile.nBrightness = 8;
        return m_pCore->SendEventLocked(6, 0);
    }
    profile.nBrightness = 24;
    return m_pCore->SendEventLocked(6, 1);
}

int CSimulatedKeyboard::ToggleWindowsLock()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_bWindowsLock = !m_pCore->m_bWindowsLock;
    return m_pCore->SendEventLocked(3, m_pCore->m_bWindowsLock ? 0 : 1);
}

int CSimulatedKeyboard::ToggleAllKeysLock()
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    m_pCore->m_bAllKeysLock = !m_pCore->m_bAllKeysLock;
    return m_pCore->SendEventLocked(9, m_pCore->m_bAllKeysLock ? 0 : 1);
}

int CSimulatedKeyboard::PressProgrammableKey(int nKey)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    int k = ClampKey(nKey);
    if (m_pCore->m_arrProfiles[m_pCore->m_nActiveProfile].arrKeyValues[k][0] != 0x07)
        return 0; // the keyboard carries out every other function itself
    return m_pCore->SendEventLocked(4, static_cast<uint8_t>(k + 1));
}

int CSimulatedKeyboard::RecordMacroOnKeyboard(int nKey, const std::vector<SimStep>& vecSteps, uint8_t nLoop)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    int k = ClampKey(nKey);
    SimProfileState& profile = m_pCore->m_arrProfiles[m_pCore->m_nActiveProfile];
    profile.arrMacros[k] = MakeMacroBytes(std::nullopt, nLoop, vecSteps);
    profile.arrKeyValues[k] = {0x01, 0x00, 0x00};
    return m_pCore->SendEventLocked(1, static_cast<uint8_t>(k + 1));
}

int CSimulatedKeyboard::SendEvent(uint8_t nCode, uint8_t nParam)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->SendEventLocked(nCode, nParam);
}

int CSimulatedKeyboard::SendInputReport(int nDevice, const std::vector<uint8_t>& vecReport)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->DeliverLocked(nDevice, vecReport);
}

size_t CSimulatedKeyboard::DroppedInputReports() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_nDroppedInput;
}

size_t CSimulatedKeyboard::ReaderCount() const
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->ReaderCountLocked();
}

bool CSimulatedKeyboard::WaitForReaders(size_t nCount, int nTimeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs),
                                  [&] { return m_pCore->ReaderCountLocked() >= nCount; });
}

bool CSimulatedKeyboard::WaitUntilInputConsumed(int nTimeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_pCore->m_mutex);
    return m_pCore->m_cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs),
                                  [&] { return m_pCore->AllConsumedLocked(); });
}

// ---- Faults ----

void CSimulatedKeyboard::FailOpen(const std::string& strPath, int nTimes)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimFaultRule rule;
    rule.eOp = ESimOp::Open;
    rule.nRemaining = nTimes;
    rule.strPath = strPath;
    m_pCore->m_vecFaults.push_back(rule);
}

void CSimulatedKeyboard::FailSet(int nReportId, int nTimes)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimFaultRule rule;
    rule.eOp = ESimOp::Set;
    rule.nReportId = nReportId;
    rule.nRemaining = nTimes;
    m_pCore->m_vecFaults.push_back(rule);
}

void CSimulatedKeyboard::FailGet(int nReportId, int nTimes)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimFaultRule rule;
    rule.eOp = ESimOp::Get;
    rule.nReportId = nReportId;
    rule.nRemaining = nTimes;
    m_pCore->m_vecFaults.push_back(rule);
}

void CSimulatedKeyboard::FailRead(int nTimes)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimFaultRule rule;
    rule.eOp = ESimOp::Read;
    rule.nRemaining = nTimes;
    m_pCore->m_vecFaults.push_back(rule);
    m_pCore->m_cv.notify_all();
}

void CSimulatedKeyboard::ShortReply(int nReportId, size_t nBytes, int nTimes)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimFaultRule rule;
    rule.eOp = ESimOp::Get;
    rule.nReportId = nReportId;
    rule.nRemaining = nTimes;
    rule.eKind = EFaultKind::Short;
    rule.nShort = nBytes;
    m_pCore->m_vecFaults.push_back(rule);
}

void CSimulatedKeyboard::ReplaceReply(int nReportId, const std::vector<uint8_t>& vecReply, int nTimes)
{
    std::lock_guard<std::mutex> lock(m_pCore->m_mutex);
    SimFaultRule rule;
    rule.eOp = ESimOp::Get;
    rule.nReportId = nReportId;
    rule.nRemaining = nTimes;
    rule.eKind = EFaultKind::Replace;
    rule.vecReply = vecReply;
    m_pCore->m_vecFaults.push_back(rule);
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
