// The state of the keyboard's firmware as a test reads and prepares it, and the things a user
// does on the keyboard itself, each of which changes that state and sends its event report.

#include "platform/simulator/SimKeyboardCore.h"

#include <algorithm>
#include <cstring>

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
