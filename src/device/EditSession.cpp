#include "device/EditSession.h"

#include "device/DeviceLink.h"
#include "model/Macro.h"
#include "storage/DataFiles.h"

CEditSession::CEditSession(ProfileStore& profiles, SettingsStore& settings, MacroLibrary& library, CDeviceLink& link,
                           const CDataFiles& files)
    : m_profiles(profiles), m_settings(settings), m_library(library), m_link(link), m_files(files)
{
}

// ---- Profile slots ----

void CEditSession::SwitchSlot(int nSlot)
{
    m_settings.SetActiveSlot(nSlot);
}

ProfileCommandOutcome CEditSession::Apply()
{
    return ApplyProfiles(m_link, m_files, m_profiles, m_settings);
}

ProfileCommandOutcome CEditSession::ResetActiveSlot()
{
    return ::ResetActiveSlot(m_link, m_files, m_profiles, m_settings);
}

ProfileCommandOutcome CEditSession::ResetAllSlots()
{
    return ::ResetAllSlots(m_link, m_files, m_profiles, m_settings);
}

bool CEditSession::HasUnappliedEdits() const
{
    return m_link.HasUnappliedEdits();
}

// ---- Lighting ----

void CEditSession::SetColour(int nSlot, int nColour)
{
    m_profiles[nSlot].SetColour(nColour);
    m_link.MarkLightingPending(nSlot);
}

void CEditSession::SetBrightness(int nSlot, int nBrightness)
{
    m_profiles[nSlot].SetBrightness(nBrightness);
    m_link.MarkLightingPending(nSlot);
}

void CEditSession::SetLighting(int nSlot, int nColour, int nBrightness)
{
    ProfileRecord& record = m_profiles[nSlot];
    record.SetColour(nColour);
    record.SetBrightness(nBrightness);
    m_link.MarkLightingPending(nSlot);
}

// ---- Keys ----

void CEditSession::RemapKey(int nSlot, int nButtonId, DeviceKeyCode nCode)
{
    m_profiles[nSlot].SetRemapEntry(nButtonId, nCode);
    m_link.MarkKeyTablePending(nSlot);
}

void CEditSession::AssignKeyFunction(int nSlot, int nKey, const std::string& strName, const KeyValue& value)
{
    m_profiles[nSlot].AssignProgrammableKey(nKey, strName, value, "");
    m_link.MarkKeyTablePending(nSlot);
}

bool CEditSession::RestoreKeyFunction(int nSlot, int nKey, const KeyValue& value)
{
    m_link.MarkKeyTablePending(nSlot);
    return m_profiles[nSlot].RestoreProgrammableKey(nKey, value);
}

void CEditSession::AssignMacro(int nSlot, int nKey, const std::string& strMacroName)
{
    m_profiles[nSlot].AssignProgrammableKey(nKey, strMacroName, KeyValue{KeyKindMacro, 0, 0}, "");
    m_link.MarkKeyTablePending(nSlot);
    m_link.MarkMacroPending(nSlot, nKey);
}

void CEditSession::AssignQuickLaunch(int nSlot, int nKey, const std::string& strName, const std::string& strPath)
{
    m_profiles[nSlot].AssignProgrammableKey(nKey, strName, KeyValue{KeyKindQuickLaunch, 0, 0}, strPath);
    m_link.MarkKeyTablePending(nSlot);
}

// ---- Macros ----

MacroKey& CEditSession::AddMacro(MacroSet& set, const std::string& strName)
{
    MacroKey& macro = set.AppendKey(strName);
    SaveLibrary();
    return macro;
}

void CEditSession::MacroAddedByList()
{
    SaveLibrary();
}

CEditSession::EDeleteResult CEditSession::DeleteMacro(MacroSet& set, size_t nIndex)
{
    const MacroKey* pMacro = set.FindKey(nIndex);
    if (!pMacro)
        return EDeleteResult::NoSuchMacro;
    if (IsMacroKeyInUse(pMacro->m_strName, m_profiles))
        return EDeleteResult::InUse;
    set.RemoveKey(nIndex);
    SaveLibrary();
    return EDeleteResult::Deleted;
}

void CEditSession::SetLoopCount(MacroKey& macro, std::uint8_t nCount)
{
    macro.LoopNum = nCount;
    m_link.MarkMacroLibraryChanged();
    MarkMacroUsersPending(macro.m_strName);
}

void CEditSession::SetLoopEnabled(MacroKey& macro, bool bEnabled)
{
    macro.LoopEnable = bEnabled ? 1 : 0;
    m_link.MarkMacroLibraryChanged();
    MarkMacroUsersPending(macro.m_strName);
}

void CEditSession::BeginRecording(MacroKey&)
{
    m_link.MarkMacroLibraryChanged();
}

void CEditSession::StepRecorded()
{
    m_link.MarkMacroLibraryChanged();
}

void CEditSession::EndRecording(const MacroKey& macro)
{
    MarkMacroUsersPending(macro.m_strName);
    m_link.SaveMacroLibraryIfChanged();
}

bool CEditSession::MacroImported(const MacroKey& macro)
{
    MarkMacroUsersPending(macro.m_strName);
    return SaveLibrary();
}

// ---- corvanectl ----

std::vector<std::pair<int, int>> CEditSession::QueueSavedProfiles()
{
    std::vector<std::pair<int, int>> vecMissing;
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
    {
        m_link.MarkLightingPending(nSlot);
        m_link.MarkKeyTablePending(nSlot);
        for (int nKey = 0; nKey < ProgrammableKeyCount; ++nKey)
        {
            const ProgrammableKey& key = m_profiles[nSlot].m_keys[static_cast<size_t>(nKey)];
            if (key.m_value.m_nKind != KeyKindMacro)
                continue;
            if (m_link.FindMacroKeyByName(key.m_strName))
                m_link.MarkMacroPending(nSlot, nKey);
            else
                vecMissing.emplace_back(nSlot, nKey);
        }
    }
    return vecMissing;
}

// ---- Helpers ----

bool CEditSession::SaveLibrary()
{
    m_link.MarkMacroLibraryChanged();
    return m_link.SaveMacroLibraryIfChanged();
}

void CEditSession::MarkMacroUsersPending(const std::string& strMacroName)
{
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
        for (int k = 0; k < ProgrammableKeyCount; ++k)
        {
            const ProgrammableKey& key = m_profiles[nSlot].m_keys[static_cast<size_t>(k)];
            if (key.m_value.m_nKind == KeyKindMacro && key.m_strName == strMacroName)
                m_link.MarkMacroPending(nSlot, k);
        }
}
