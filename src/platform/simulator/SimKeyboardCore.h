#pragma once
// The simulator's shared state behind CSimulatedKeyboard and its handles: firmware,
// enumeration, open handles, log, faults and hot-plug queue. Internal to the simulator; every
// member is guarded by m_mutex, and every method named ...Locked, like HostSet and HostGet,
// expects the caller to hold it.

#include "platform/simulator/SimulatedKeyboard.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

constexpr uint16_t kListenerUsagePage = 0x000A;
constexpr uint16_t kCommandUsagePage = 0x000B;
constexpr size_t kInputQueueLimit = 64; // hidraw keeps at most 64 reports per open file

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

class CSimKeyboardCore
{
public:
    explicit CSimKeyboardCore(CClock& clock);
    ~CSimKeyboardCore();

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

    // Log and faults (SimKeyboardCore.cpp)
    uint64_t NowLocked();
    size_t LogLocked(ESimDirection eDirection, uint8_t nId, const uint8_t* pData, size_t nLength, bool bOk,
                     const std::string& strPath);
    void ViolateLocked(ESimViolation eKind, size_t nLogIndex, std::string strText);
    // Finds and consumes the first fault rule that matches.
    std::optional<SimFaultRule> TakeFaultLocked(ESimOp eOp, int nReportId, const std::string& strPath);

    // Enumeration, nodes and plugging (SimKeyboardCore.cpp)
    void SetLayoutLocked(const std::vector<SimCollection>& vecCollections);
    void NewPathLocked(SimNode& node);
    bool NodePresentLocked(size_t nNode) const;
    bool HandleValidLocked(const SimHandleState& handle) const;
    std::vector<HotplugEvent> SetPluggedLocked(int nDevice, bool bPlugged);
    std::string NodePathLocked(const SimHandleState& handle) const;

    // Input reports (SimKeyboardCore.cpp)
    int DeliverLocked(int nDevice, const std::vector<uint8_t>& vecReport);
    int SendEventLocked(uint8_t nCode, uint8_t nParam);
    size_t ReaderCountLocked() const;
    bool AllConsumedLocked() const;

    // Firmware: the host side of the feature reports (SimFirmware.cpp)
    void ResetFirmwareLocked();
    void TrackExchangeLocked(bool bSet, uint8_t nId, size_t nLogIndex);
    bool FirmwareSetLocked(const uint8_t* pData, size_t nLength, size_t nLogIndex);
    // The keyboard's reply to a get, or nullopt when it does not answer that report.
    std::optional<std::vector<uint8_t>> FirmwareGetLocked(uint8_t nId, size_t nLogIndex);
    bool HostSet(SimHandleState& handle, const uint8_t* pData, size_t nLength);
    int HostGet(SimHandleState& handle, uint8_t* pData, size_t nLength);
};
