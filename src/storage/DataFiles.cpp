#include "storage/DataFiles.h"

#include <cerrno>
#include <sys/stat.h>

#include "storage/MacroLibraryFile.h"
#include "storage/PendingEditsFile.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

CDataFiles::CDataFiles(std::string strAppDirectory) : m_strAppDirectory(std::move(strAppDirectory))
{
    if (!m_strAppDirectory.empty() && m_strAppDirectory.back() != '/')
        m_strAppDirectory += '/';
}

bool CDataFiles::EnsureConfigDirectory() const
{
    const std::string strDir = ConfigDirectory();
    if (::mkdir(strDir.c_str(), 0755) == 0 || errno == EEXIST)
    {
        struct stat st
        {
        };
        return ::stat(strDir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return false;
}

LoadReport CDataFiles::LoadAll(MacroLibrary& library, SettingsStore& settings, ProfileStore& store) const
{
    EnsureConfigDirectory();
    LoadReport report;
    // Saves of an earlier run that was killed before its rename left their temporaries behind.
    RemoveStaleTemporaries(MacroLibraryPath());
    report.m_bMacroLibraryDefaulted = !LoadMacroLibraryFile(MacroLibraryPath(), library);
    // Pairs a short settings file does not reach keep these values, so every slot always has a
    // usable path and "CurrentProfile" a valid slot.
    settings.SetDefaults(m_strAppDirectory);
    RemoveStaleTemporaries(SettingsPath());
    report.m_bSettingsDefaulted = !LoadSettingsFile(SettingsPath(), m_strAppDirectory, settings);
    // A slot path naming some other file (the macro library, a user's document) would have it
    // read as a profile, found malformed and overwritten: such a slot goes back to its own file.
    if (RepairSlotPaths(settings, m_strAppDirectory))
    {
        report.m_bSlotPathsRepaired = true;
        WriteSettingsFile(SettingsPath(), settings);
    }
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
    {
        RemoveStaleTemporaries(settings.GetSlotUrl(nSlot));
        report.m_bProfileDefaulted[nSlot] = !LoadProfileSlot(nSlot, store, settings);
    }
    return report;
}

bool CDataFiles::SaveSettings(const SettingsStore& settings) const
{
    EnsureConfigDirectory();
    return WriteSettingsFile(SettingsPath(), settings);
}

bool CDataFiles::SaveProfile(int nSlot, const ProfileStore& store, const SettingsStore& settings) const
{
    EnsureConfigDirectory();
    return SaveProfileSlot(nSlot, store, settings);
}

bool CDataFiles::SaveAllProfiles(const ProfileStore& store, const SettingsStore& settings) const
{
    bool bOk = true;
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        bOk = SaveProfile(nSlot, store, settings) && bOk;
    return bOk;
}

bool CDataFiles::SaveMacroLibrary(const MacroLibrary& library) const
{
    EnsureConfigDirectory();
    return WriteMacroLibraryFile(MacroLibraryPath(), library);
}

std::string CDataFiles::PendingEditsPath() const
{
    return ConfigDirectory() + PendingEditsFileName;
}

bool CDataFiles::SavePendingEdits(const AwaitingEdits& awaiting) const
{
    return WritePendingEditsFile(PendingEditsPath(), awaiting);
}

AwaitingEdits CDataFiles::LoadPendingEdits() const
{
    return ReadPendingEditsFile(PendingEditsPath());
}
