// backup and restore: every data file in one archive, and back. A restore checks the whole
// archive, member by member with the program's own readers, before it writes anything.

#include "ctl/CtlCommands.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "ctl/BackupArchive.h"
#include "ctl/CtlSession.h"
#include "ctl/FileSetWriter.h"
#include "storage/MacroLibraryFile.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

namespace
{
// Far above any real set of data files (a library of a thousand macros is under 2 MB); a larger
// file is not read into memory at all.
constexpr size_t MaxArchiveBytes = 64u << 20;

std::string ProfileMemberName(int nSlot)
{
    return "default" + std::to_string(nSlot) + ".psf";
}

// The model an archive holds, each member read by the program's reader for its format.
struct RestoredData
{
    SettingsStore m_settings;
    ProfileStore m_profiles;
    MacroLibrary m_library;
};

// A private scratch folder in the config folder (so it is on the same file system and writable),
// removed with everything in it when this goes.
class CScratchFolder
{
public:
    explicit CScratchFolder(const std::string& strParent)
    {
        std::string strTemplate = strParent + ".restore-check-XXXXXX";
        if (::mkdtemp(strTemplate.data()))
            m_strPath = strTemplate + "/";
    }
    ~CScratchFolder()
    {
        std::error_code error;
        if (!m_strPath.empty())
            std::filesystem::remove_all(m_strPath, error);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

// Reads every member with the reader of its format. Empty when all are valid, else the problem.
std::string ReadMembers(const std::vector<ArchiveMember>& vecMembers, const std::string& strScratch, RestoredData& data)
{
    std::vector<std::string> vecExpected = {SettingsFileName, MacroLibraryFileName};
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        vecExpected.push_back(ProfileMemberName(nSlot));
    for (const ArchiveMember& member : vecMembers)
    {
        auto it = std::find(vecExpected.begin(), vecExpected.end(), member.m_strName);
        if (it == vecExpected.end())
            return "the archive holds an unknown or repeated member '" + member.m_strName + "'";
        vecExpected.erase(it);

        const std::string strPath = strScratch + member.m_strName;
        if (!WriteTextFileAtomic(strPath, member.m_strContent))
            return "no room to check the archive in " + strScratch;
        bool bValid = false;
        if (member.m_strName == SettingsFileName)
            bValid = ReadSettingsFile(strPath, data.m_settings);
        else if (member.m_strName == MacroLibraryFileName)
            bValid = ReadMacroLibraryFile(strPath, data.m_library);
        else
        {
            for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
                if (member.m_strName == ProfileMemberName(nSlot))
                    bValid = ReadProfileFile(strPath, data.m_profiles[nSlot]);
        }
        if (!bValid)
            return "member " + member.m_strName + " is not a file the program can read";
    }
    if (!vecExpected.empty())
        return "member " + vecExpected.front() + " is missing";
    return std::string();
}
} // namespace

int RunBackup(CCtlSession& session, const CtlRequest& request)
{
    std::vector<ArchiveMember> vecMembers;
    vecMembers.push_back({SettingsFileName, FormatSettingsFile(session.m_settings)});
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        vecMembers.push_back({ProfileMemberName(nSlot), FormatProfileFile(session.m_profiles[nSlot])});
    vecMembers.push_back({MacroLibraryFileName, FormatMacroLibraryFile(session.m_library)});
    if (!WriteTextFileAtomic(request.strFile, FormatBackupArchive(vecMembers)))
        return session.Fail("cannot write " + request.strFile);
    session.Out() << "Saved the data files to " << request.strFile << ".\n";
    return CtlExitOk;
}

int RunRestore(CCtlSession& session, const CtlRequest& request)
{
    const std::string strRefused = "cannot restore " + request.strFile + ": ";
    const std::string strNothing = ". Nothing was changed.";
    std::string strArchive;
    if (!ReadWholeFile(request.strFile, strArchive, MaxArchiveBytes))
        return session.Fail(strRefused + "it is missing, unreadable or too large" + strNothing);
    std::vector<ArchiveMember> vecMembers;
    std::string strProblem;
    if (!ParseBackupArchive(strArchive, vecMembers, strProblem))
        return session.Fail(strRefused + strProblem + strNothing);
    RestoredData data;
    {
        const CScratchFolder scratch(session.Files().ConfigDirectory());
        if (scratch.Path().empty())
            return session.Fail(strRefused + "cannot check it in " + session.Files().ConfigDirectory() + strNothing);
        strProblem = ReadMembers(vecMembers, scratch.Path(), data);
    }
    if (!strProblem.empty())
        return session.Fail(strRefused + strProblem + strNothing);

    // The profile files stay where this computer's settings keep them; only the active profile
    // comes from the archive, since its paths belong to the machine it was made on.
    const int nActive = data.m_settings.GetActiveSlot();
    data.m_settings = session.m_settings;
    data.m_settings.SetActiveSlot(nActive);
    std::vector<FileReplacement> vecFiles;
    vecFiles.push_back({session.Files().SettingsPath(), FormatSettingsFile(data.m_settings)});
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        vecFiles.push_back({data.m_settings.GetSlotUrl(nSlot), FormatProfileFile(data.m_profiles[nSlot])});
    vecFiles.push_back({session.Files().MacroLibraryPath(), FormatMacroLibraryFile(data.m_library)});
    if (!ReplaceFilesTogether(vecFiles))
        return session.Fail(strRefused + "the data files could not all be written" + strNothing);

    session.m_settings = data.m_settings;
    session.m_profiles = data.m_profiles;
    session.m_library = data.m_library;
    const std::string strDone = "Restored the data files from " + request.strFile + ".";
    session.Connect(false);
    if (!session.IsConnected())
    {
        session.Out() << strDone << '\n'
                      << session.NotConnectedText() << '\n'
                      << "'corvanectl apply' sends the restored profiles once the keyboard is back.\n";
        return CtlExitOk;
    }
    return SendSavedProfiles(session, strDone + " Sent profiles 1-3 to the keyboard.");
}
