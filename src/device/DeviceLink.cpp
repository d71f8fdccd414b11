#include "device/DeviceLink.h"

#include <algorithm>
#include <string>

#include "storage/DataFiles.h"

CDeviceLink::CDeviceLink(ProfileStore& profiles, SettingsStore& settings, MacroLibrary& library,
                         const CDataFiles& files, CHidBackend& backend, CClock& clock, CProgramLauncher& launcher,
                         CDeviceLinkUi& ui)
    : m_profiles(profiles), m_settings(settings), m_library(library), m_files(files), m_backend(backend),
      m_clock(clock), m_launcher(launcher), m_ui(ui)
{
}

CDeviceLink::~CDeviceLink()
{
    Shutdown();
    JoinListener(); // whatever happened since, no thread outlives the link
}

// ---------------------------------------------------------------------------------------------
// Discovery and connection

namespace
{
bool IsKeyboard(const HidInterfaceInfo& info)
{
    return info.nVendorId == KeyboardVendorId && info.nProductId == KeyboardProductId;
}
} // namespace

void CDeviceLink::ProbeInterface(const std::vector<HidInterfaceInfo>& vecInterfaces, int nIndex)
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= vecInterfaces.size())
        return;
    const HidInterfaceInfo& info = vecInterfaces[static_cast<size_t>(nIndex)];
    if (!IsKeyboard(info))
        return;
    m_bKeyboardListed = true;
    if (info.nUsagePage != ListenerUsagePage && info.nUsagePage != CommandUsagePage)
        return;
    // A collection that cannot be opened does not count, as if it were not there. The probe's
    // handle is closed again at once.
    if (!m_backend.Open(info.strPath))
        return;
    if (info.nUsagePage == ListenerUsagePage)
        m_nListenerIndex = nIndex;
    else
        m_nCommandIndex = nIndex;
    m_bDeviceFound = true;
}

void CDeviceLink::ScanForKeyboard()
{
    if (m_bShutDown)
        return; // the program is ending: no new handle, no new listener
    m_bDeviceFound = false;
    m_bKeyboardListed = false;
    const std::vector<HidInterfaceInfo> vecInterfaces = m_backend.Enumerate();
    // Every collection the system lists: a machine with a few HID devices easily has more than
    // thirty, and the keyboard may come last. Ascending order: when two collections share a
    // usage page, the higher index wins.
    for (size_t nIndex = 0; nIndex < vecInterfaces.size(); ++nIndex)
        ProbeInterface(vecInterfaces, static_cast<int>(nIndex));

    if (m_bDeviceFound)
    {
        StartListener(vecInterfaces);
        CloseCommandHandle();
        OpenCommandInterface();
    }
    else
    {
        CloseCommandHandle();
    }
}

void CDeviceLink::OpenCommandInterface()
{
    const std::vector<HidInterfaceInfo> vecInterfaces = m_backend.Enumerate();
    if (m_nCommandIndex < 0 || static_cast<size_t>(m_nCommandIndex) >= vecInterfaces.size())
        return;
    const HidInterfaceInfo& info = vecInterfaces[static_cast<size_t>(m_nCommandIndex)];

    std::lock_guard<std::mutex> lock(m_mtxCommand);
    m_hCommand.reset();
    // The index may be left from an earlier scan and now point at another collection; only the
    // keyboard's command collection will do.
    if (!IsKeyboard(info) || info.nUsagePage != CommandUsagePage)
        return;
    m_hCommand = m_backend.Open(info.strPath);
}

EKeyboardState CDeviceLink::KeyboardState() const
{
    if (HasCommandHandle())
        return EKeyboardState::Connected;
    return m_bKeyboardListed ? EKeyboardState::NoAccess : EKeyboardState::NotFound;
}

bool CDeviceLink::HasCommandHandle() const
{
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    return m_hCommand != nullptr;
}

void CDeviceLink::CloseCommandHandle()
{
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    m_hCommand.reset();
}

void CDeviceLink::OnDeviceArrival()
{
    if (m_bShutDown)
        return;
    // The keyboard's nodes are announced one at a time, so a scan may have seen only one of its
    // collections; until both work (command handle open, listener reading) an arrival looks again.
    if (m_bDeviceFound && HasCommandHandle() && IsListenerRunning())
        return;
    ScanForKeyboard();
    SyncFromDevice();
}

void CDeviceLink::OnDeviceRemoval()
{
    if (m_bShutDown || !m_bDeviceFound)
        return;
    ScanForKeyboard();
    if (m_bDeviceFound)
        return; // another device went away
    m_bNeedSync = true;
    CloseCommandHandle();
    // Its read fails when the keyboard goes; make sure it also ends if it has not noticed.
    RequestListenerStop();
    m_ui.ShowAttention(AttentionTitle, DisconnectionText);
}

void CDeviceLink::Shutdown()
{
    if (m_bShutDown)
        return;
    m_bShutDown = true;
    *m_pAlive = false;
    RequestListenerStop();
    if (HasCommandHandle())
    {
        SetDeviceProfile(ProfileValueProgramEnd);
        m_clock.SleepMs(PauseBeforeCloseMs);
    }
    CloseCommandHandle();
    JoinListener();
}

// ---------------------------------------------------------------------------------------------
// Primitive commands

bool CDeviceLink::SetReportLocked(const uint8_t* pReport, size_t nLength, unsigned nPauseMs)
{
    if (!m_hCommand)
        return false;
    const bool bOk = m_hCommand->SetFeature(pReport, nLength);
    m_clock.SleepMs(nPauseMs);
    return bOk;
}

bool CDeviceLink::GetReportLocked(uint8_t nReportId, size_t nLength, ReportBuffer& reply)
{
    reply.fill(0);
    reply[0] = nReportId;
    const int nGot = m_hCommand->GetFeature(reply.data(), nLength);
    // A short reply or one for another report is not the keyboard's answer: nothing of it is
    // used, and what the model holds stays as it is.
    return nGot >= static_cast<int>(nLength) && reply[0] == nReportId;
}

bool CDeviceLink::SelectReadTarget(int nProfile, int nKey)
{
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    ReportBuffer report{};
    report[0] = ReportSelect;
    report[1] = static_cast<uint8_t>(nProfile & 3);
    report[2] = static_cast<uint8_t>(nKey);
    return SetReportLocked(report.data(), SelectReportLength, PauseAfterSelectMs);
}

bool CDeviceLink::ReadSelected(int nProfile, int nKey, uint8_t nReportId, size_t nLength, ReportBuffer& reply)
{
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    if (!m_hCommand)
        return false;
    ReportBuffer select{};
    select[0] = ReportSelect;
    select[1] = static_cast<uint8_t>(nProfile & 3);
    select[2] = static_cast<uint8_t>(nKey);
    // The get follows whatever the select's outcome: the keyboard may still answer.
    SetReportLocked(select.data(), SelectReportLength, PauseAfterSelectMs);
    const bool bOk = GetReportLocked(nReportId, nLength, reply);
    m_clock.SleepMs(PauseAfterGetMs);
    return bOk;
}

int CDeviceLink::ReadCurrentProfile()
{
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    if (!m_hCommand)
        return -1;
    ReportBuffer reply{};
    // A failed read says nothing about the keyboard's profile; taking it as 0 would move the
    // program to a profile the keyboard is not on.
    if (!GetReportLocked(ReportProfile, ProfileReportLength, reply))
        return -1;
    return reply[2] & 0x07;
}

bool CDeviceLink::SetDeviceProfile(int nValue)
{
    ReportBuffer report{};
    report[0] = ReportProfile;
    report[1] = 0x03;
    report[2] = static_cast<uint8_t>(nValue);
    bool bOk;
    {
        std::lock_guard<std::mutex> lock(m_mtxCommand);
        bOk = SetReportLocked(report.data(), ProfileReportLength, PauseAfterProfileSetMs);
    }
    if (bOk)
        m_nDeviceProfile = nValue;
    return bOk;
}

bool CDeviceLink::ReadLighting(int nProfile)
{
    ReportBuffer reply{};
    if (!ReadSelected(nProfile, 0, ReportLighting, LightingReportLength, reply))
        return false;
    int nColour = reply[4] & 0x07;
    if (nColour < 1 || nColour > 7)
        nColour = DefaultLightColour;
    int nBrightness = reply[5];
    if (!IsKnownBrightnessCode(nBrightness))
        nBrightness = DefaultLightBrightness;
    ProfileRecord& record = m_profiles[nProfile];
    record.SetColour(nColour);
    record.SetBrightness(nBrightness);
    return true;
}

bool CDeviceLink::WriteLighting(int nProfile)
{
    const ProfileRecord& record = m_profiles[nProfile];
    ReportBuffer report{};
    report[0] = ReportLighting;
    report[1] = 0x0D;
    report[2] = static_cast<uint8_t>(nProfile & 3);
    report[3] = 0;
    // A hand-edited value beyond a byte is sent as the largest byte, not wrapped to another code.
    report[4] = static_cast<uint8_t>(std::clamp(record.GetColour(), 0, 255));
    report[5] = static_cast<uint8_t>(std::clamp(record.GetBrightness(), 0, 255));
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    return SetReportLocked(report.data(), LightingReportLength, PauseAfterLightingSetMs);
}

bool CDeviceLink::ReadKeyTable(int nProfile)
{
    ReportBuffer reply{};
    if (!ReadSelected(nProfile, 0, ReportKeyTable, KeyTableReportLength, reply))
        return false;
    ProfileRecord& record = m_profiles[nProfile];
    std::copy(reply.begin() + KeyTableRemapOffset, reply.begin() + KeyTableRemapOffset + MatrixPositionCount,
              record.AllRCKey.begin());
    for (int k = 0; k < ProgrammableKeyCount; ++k)
    {
        const uint8_t* p = reply.data() + KeyTableValuesOffset + 3 * k;
        record.m_keys[k].m_value = KeyValue{p[0], p[1], p[2]};
    }
    return true;
}

bool CDeviceLink::WriteKeyTable(int nProfile)
{
    const ProfileRecord& record = m_profiles[nProfile];
    ReportBuffer report{};
    report[0] = ReportKeyTable;
    report[1] = static_cast<uint8_t>(KeyTableReportLength);
    report[2] = static_cast<uint8_t>(nProfile & 3);
    std::copy(record.AllRCKey.begin(), record.AllRCKey.end(), report.begin() + KeyTableRemapOffset);
    for (int k = 0; k < ProgrammableKeyCount; ++k)
    {
        uint8_t* p = report.data() + KeyTableValuesOffset + 3 * k;
        const KeyValue& value = record.m_keys[k].m_value;
        p[0] = value.m_nKind;
        p[1] = value.m_nParam1;
        p[2] = value.m_nParam2;
    }
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    return SetReportLocked(report.data(), KeyTableReportLength, PauseAfterKeyTableSetMs);
}

MacroSet& CDeviceLink::FirstMacroSet()
{
    // A library read with no sets at all still needs somewhere to keep a macro the keyboard
    // sends; it gets the set a fresh library starts with.
    if (m_library.SetCount() == 0)
        m_library.AppendSet(DefaultMacroSetName);
    return *m_library.FirstSet();
}

MacroKey* CDeviceLink::FindMacroKeyByName(const std::string& strName)
{
    MacroSet* pSet = m_library.FirstSet();
    return pSet ? pSet->FindKeyByName(strName) : nullptr;
}

bool CDeviceLink::StoreMacroFromReply(int nProfile, int nKey, const ReportBuffer& reply, bool& bMadeUp)
{
    std::string strName = MacroNameFromReply(reply.data());
    // No name, or one with nothing usable in it: the keyboard is given one of ours.
    bMadeUp = strName.empty();
    if (bMadeUp)
        strName = MadeUpMacroName(nProfile, nKey);
    m_profiles[nProfile].m_keys[static_cast<size_t>(nKey)].m_strName = strName;
    m_mapKeyboardSteps[strName] = KeyboardStepsOfReply(reply.data());
    MacroKey* pMacro = FindMacroKeyByName(strName);
    if (!pMacro)
    {
        pMacro = &FirstMacroSet().AppendKey(strName);
        DecodeMacroSteps(reply.data(), *pMacro);
        return true;
    }
    MacroKey decoded;
    decoded.m_strName = strName;
    DecodeMacroSteps(reply.data(), decoded);
    if (decoded == *pMacro)
        return false;
    *pMacro = decoded;
    return true;
}

bool CDeviceLink::ReadKeyMacro(int nProfile, int nKey)
{
    if (nKey < 0 || nKey >= ProgrammableKeyCount || !HasCommandHandle())
        return false;
    if (m_profiles[nProfile].m_keys[static_cast<size_t>(nKey)].m_value.m_nKind != KeyKindMacro)
        return false;
    ReportBuffer reply{};
    if (!ReadSelected(nProfile, nKey, ReportMacro, MacroReportLength, reply))
        return false;
    bool bMadeUp = false;
    // Only a real change marks the library, so a connection that brings nothing new does not
    // rewrite the library file.
    if (StoreMacroFromReply(nProfile, nKey, reply, bMadeUp))
        m_bMacroLibraryChanged = true;
    if (bMadeUp)
        WriteKeyMacro(nProfile, nKey); // so that the keyboard learns the name
    return true;
}

bool CDeviceLink::WriteKeyMacro(int nProfile, int nKey)
{
    if (nKey < 0 || nKey >= ProgrammableKeyCount || !HasCommandHandle())
        return false;
    const MacroKey* pMacro = FindMacroKeyByName(m_profiles[nProfile].m_keys[static_cast<size_t>(nKey)].m_strName);
    if (!pMacro)
        return false;
    ReportBuffer report{};
    report[0] = ReportMacro;
    report[1] = static_cast<uint8_t>(MacroReportLength);
    report[2] = static_cast<uint8_t>(nProfile & 3);
    report[3] = static_cast<uint8_t>(nKey);
    PutMacroName(report.data(), pMacro->m_strName);
    report[MacroLoopOffset] = pMacro->LoopEnable == 1 ? pMacro->LoopNum : 0;
    const auto itKept = m_mapKeyboardSteps.find(pMacro->m_strName);
    PutMacroSteps(*pMacro, itKept == m_mapKeyboardSteps.end() ? nullptr : &itKept->second, report.data());
    std::lock_guard<std::mutex> lock(m_mtxCommand);
    return SetReportLocked(report.data(), MacroReportLength, PauseAfterMacroSetMs);
}

// ---------------------------------------------------------------------------------------------
// Composite operations

void CDeviceLink::SyncFromDevice()
{
    if (!m_bDeviceFound || !m_bNeedSync)
        return;
    if (!HasCommandHandle())
        return; // nothing can be read: the next connection reads
    m_bNeedSync = false;
    // A profile read that failed leaves the active slot as it was; the profiles' own settings
    // are still read. An applied choice the keyboard was never told wins over the keyboard's.
    const int nProfile = ReadCurrentProfile();
    if (nProfile >= 0)
    {
        m_nDeviceProfile = nProfile;
        if (nProfile >= DeviceProfileCount)
            return;
        if (!m_awaiting.m_bActiveProfile)
            m_settings.SetActiveSlot(nProfile);
    }
    // The program's edits the keyboard has not taken yet are newer than what it holds: those
    // parts are not read over, and the applied ones are sent below.
    for (int p = 0; p < DeviceProfileCount; ++p)
        if (!m_PendingChanges[p].LightingPending)
            ReadLighting(p);
    // Key tables before macros: ReadKeyMacro tests the keyboard's own key kinds. A key table the
    // program keeps also keeps its keys' names, so its macros are not read either.
    for (int p = 0; p < DeviceProfileCount; ++p)
        if (!m_PendingChanges[p].KeyTablePending)
            ReadKeyTable(p);
    for (int p = 0; p < DeviceProfileCount; ++p)
        for (int k = 0; k < ProgrammableKeyCount; ++k)
            if (!m_PendingChanges[p].KeyTablePending && !m_PendingChanges[p].MacroPending[k])
                ReadKeyMacro(p, k);
    // A library that could not be written stays marked, so the next Apply tries again.
    SaveMacroLibraryIfChanged();
    if (m_awaiting.Any())
    {
        FlushAwaitingChanges();
        if (m_awaiting.m_bActiveProfile)
            SendActiveProfile(m_settings.GetActiveSlot());
    }
    m_ui.RefreshProfileView();
}

// ---------------------------------------------------------------------------------------------
// The macro library

bool CDeviceLink::SaveMacroLibraryIfChanged()
{
    if (!m_bMacroLibraryChanged)
        return true;
    if (!m_files.SaveMacroLibrary(m_library))
        return false; // stays marked, so the next chance writes it
    m_bMacroLibraryChanged = false;
    return true;
}
