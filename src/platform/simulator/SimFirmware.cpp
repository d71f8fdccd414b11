// The keyboard's firmware behind the command collection: the factory state, the report
// lengths and pauses it expects, the check of the host's exchanges, and what it does with each
// set and answers to each get.

#include "platform/simulator/SimKeyboardCore.h"

#include <algorithm>
#include <cstring>

namespace
{
// The remap table the keyboard leaves the factory with, MatrixPosition 0 first. Kept apart from
// the program's own copy on purpose: the simulator stands for the firmware, so a typo in either
// table shows up as a difference after a sync instead of agreeing with itself.
constexpr std::array<uint8_t, 160> kFactoryRemap = {
    0x1D, 0x1E, 0xAF, 0xA4, 0xE6, 0xA5, 0xA9, 0xB8, 0x06, 0x20, 0x00, 0xA1, 0xA2, 0xAD, 0xE4, 0xCC, 0x09, 0xC0,
    0xC4, 0xAA, 0xE2, 0xAB, 0xAC, 0xA8, 0x28, 0xC1, 0xC5, 0x00, 0x00, 0xE1, 0xB0, 0xAE, 0x29, 0x0E, 0x13, 0x81,
    0xA0, 0x82, 0xE0, 0xAF, 0x2C, 0x21, 0x87, 0xCF, 0x00, 0x8B, 0x8A, 0x88, 0x04, 0x00, 0x00, 0xB1, 0x83, 0x90,
    0x91, 0xBB, 0x2B, 0x35, 0xC6, 0x1C, 0x4D, 0x24, 0x33, 0x53, 0x16, 0xBA, 0x00, 0x89, 0xA1, 0x32, 0xA2, 0xDA,
    0x07, 0x98, 0x99, 0x46, 0x9A, 0x9B, 0x9C, 0xCC, 0xEA, 0x00, 0xCB, 0x47, 0x00, 0x64, 0x00, 0x38, 0x08, 0x0F,
    0xCA, 0x48, 0x4A, 0xCD, 0x34, 0x37, 0xEB, 0x0D, 0xC9, 0x4C, 0x31, 0x27, 0xCE, 0x36, 0x65, 0x12, 0x52, 0x00,
    0x5F, 0x5C, 0x59, 0x39, 0x22, 0x19, 0x54, 0x50, 0x60, 0x5D, 0x5A, 0x62, 0x15, 0x23, 0x55, 0x61, 0x51, 0x5E,
    0x5B, 0x63, 0x17, 0xC2, 0x56, 0x57, 0x85, 0x4F, 0x58, 0x10, 0x1B, 0x1F, 0xC3, 0xA6, 0xA3, 0xE5, 0xA0, 0xA7,
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
} // namespace

void CSimKeyboardCore::ResetFirmwareLocked()
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

// ---- Host side of the feature reports ----

// Checks the order and timing of the host's feature exchanges, whatever their outcome.
void CSimKeyboardCore::TrackExchangeLocked(bool bSet, uint8_t nId, size_t nLogIndex)
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
                      std::string(bSet ? "set " : "get ") + std::to_string(nId) + " came between a select and its get" +
                          (bSameThread ? " (same thread)" : " (another thread)"));
    }
    m_bSelectOpen = bSelect;
    if (bSelect)
        m_idSelectThread = std::this_thread::get_id();
}

bool CSimKeyboardCore::FirmwareSetLocked(const uint8_t* pData, size_t nLength, size_t nLogIndex)
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
    auto checkHeader = [&](uint8_t nExpectedByte1)
    {
        if (pData[1] != nExpectedByte1)
            ViolateLocked(ESimViolation::BadHeader, nLogIndex,
                          "set " + std::to_string(nId) + " byte 1 is " + std::to_string(pData[1]));
    };
    auto profileOk = [&](uint8_t nProfile)
    {
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
    default: return false;
    }
}

// The keyboard's reply to a get, or nullopt when it does not answer that report.
std::optional<std::vector<uint8_t>> CSimKeyboardCore::FirmwareGetLocked(uint8_t nId, size_t nLogIndex)
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
    default: break;
    }
    return vecReply;
}

bool CSimKeyboardCore::HostSet(SimHandleState& handle, const uint8_t* pData, size_t nLength)
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

int CSimKeyboardCore::HostGet(SimHandleState& handle, uint8_t* pData, size_t nLength)
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
