#pragma once
// The program's data files under <AppDirectory>config/: where they are, loading them all in
// start-up order, and saving each. Holds only the folder; the stores belong to the caller.

#include <string>

#include "model/Macro.h"
#include "model/PendingChanges.h"
#include "model/Profile.h"

constexpr const char* ConfigFolderName = "config/";
constexpr const char* SettingsFileName = "config.ini";
constexpr const char* MacroLibraryFileName = "MacroLibraryFile.mlf";

// Which files had to be replaced by defaults during LoadAll.
struct LoadReport
{
    bool m_bMacroLibraryDefaulted = false;
    bool m_bSettingsDefaulted = false;
    bool m_bSlotPathsRepaired = false; // a slot path named no profile file and got its default
    bool m_bProfileDefaulted[ProfileSlotCount] = {};
};

class CDataFiles
{
public:
    // strAppDirectory ends with "/" (one is added when missing).
    explicit CDataFiles(std::string strAppDirectory);

    const std::string& AppDirectory() const { return m_strAppDirectory; }
    std::string ConfigDirectory() const { return m_strAppDirectory + ConfigFolderName; }
    std::string SettingsPath() const { return ConfigDirectory() + SettingsFileName; }
    std::string MacroLibraryPath() const { return ConfigDirectory() + MacroLibraryFileName; }
    std::string PendingEditsPath() const;

    // Creates the config folder when it is missing.
    bool EnsureConfigDirectory() const;

    // Macro library, then settings, then the five profiles in slot order; every file that cannot
    // be read is replaced by defaults and rewritten (a copy of a damaged one is kept beside it),
    // a slot path that names no profile file is replaced by the slot's default path, and the
    // temporaries of saves killed before their rename are removed.
    LoadReport LoadAll(MacroLibrary& library, SettingsStore& settings, ProfileStore& store) const;

    bool SaveSettings(const SettingsStore& settings) const;
    bool SaveProfile(int nSlot, const ProfileStore& store, const SettingsStore& settings) const;
    bool SaveAllProfiles(const ProfileStore& store, const SettingsStore& settings) const;
    bool SaveMacroLibrary(const MacroLibrary& library) const;

    // The applied edits still waiting for the keyboard (storage/PendingEditsFile.h).
    bool SavePendingEdits(const AwaitingEdits& awaiting) const;
    AwaitingEdits LoadPendingEdits() const;

private:
    std::string m_strAppDirectory;
};
