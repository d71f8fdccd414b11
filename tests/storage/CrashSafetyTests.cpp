// Saves killed at random moments (SIGKILL, as a crash or a pulled plug would end them): every
// data file is always exactly its old or its new content, and the temporaries of killed saves
// do not pile up. CORVANE_CRASH_KILLS sets the number of kills (100 by default; more by hand).

#include "LibraryBuilder.h"
#include "TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "storage/DataFiles.h"
#include "storage/MacroLibraryFile.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"

namespace
{

struct DataVersion
{
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore store;
};

DataVersion MakeVersion(const std::string& strAppDirectory, unsigned nVersion)
{
    DataVersion version;
    // Large enough that a save takes a while and is often cut in the middle.
    version.library = MakeLibrary(1, 60, 200, nVersion);
    version.settings.SetDefaults(strAppDirectory);
    version.settings.SetActiveSlot(static_cast<int>(nVersion));
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
    {
        version.store[nSlot].SetFactoryDefaults(nSlot);
        version.store[nSlot].SetPair(PairProfileName, PartValue, "Version " + std::to_string(nVersion));
    }
    return version;
}

void SaveAll(const CDataFiles& files, const DataVersion& version)
{
    files.SaveSettings(version.settings);
    files.SaveAllProfiles(version.store, version.settings);
    files.SaveMacroLibrary(version.library);
}

// A fresh start of the program, then saves of the two versions in turn until killed.
[[noreturn]] void StartAndSaveForever(const CDataFiles& files, const DataVersion (&versions)[2])
{
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore store;
    files.LoadAll(library, settings, store);
    for (unsigned n = 0;; ++n)
        SaveAll(files, versions[n % 2]);
}

using CrashSafetyTest = TempDirTest;

TEST_F(CrashSafetyTest, KilledSavesLeaveOldOrNewFilesAndNoPileOfTemporaries)
{
    const CDataFiles files(m_strDir);
    files.EnsureConfigDirectory();
    const DataVersion versions[2] = {MakeVersion(m_strDir, 0), MakeVersion(m_strDir, 1)};
    std::map<std::string, std::set<std::string>> mapAllowed;
    for (const DataVersion& version : versions)
    {
        mapAllowed[files.SettingsPath()].insert(FormatSettingsFile(version.settings));
        mapAllowed[files.MacroLibraryPath()].insert(FormatMacroLibraryFile(version.library));
        for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
            mapAllowed[version.settings.GetSlotUrl(nSlot)].insert(FormatProfileFile(version.store[nSlot]));
    }
    SaveAll(files, versions[0]);

    const char* pKills = std::getenv("CORVANE_CRASH_KILLS");
    const int nKills = pKills ? std::max(1, std::atoi(pKills)) : 100;
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> delayUs(0, 12000);
    for (int nKill = 0; nKill < nKills; ++nKill)
    {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            StartAndSaveForever(files, versions);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
        ::kill(pid, SIGKILL);
        int nStatus = 0;
        ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);

        for (const auto& [strPath, setContents] : mapAllowed)
            ASSERT_EQ(setContents.count(ReadRaw(strPath)), 1u) << strPath << " after kill " << nKill;
        size_t nTemporaries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(files.ConfigDirectory()))
        {
            const std::string strName = entry.path().filename().string();
            ASSERT_EQ(strName.find(".damaged-"), std::string::npos) << "an intact file was taken as damaged";
            nTemporaries += strName.find(".tmp-") != std::string::npos;
        }
        // Only the save the kill cut short; the next start removes it.
        ASSERT_LE(nTemporaries, 1u) << "after kill " << nKill;
    }

    MacroLibrary library;
    SettingsStore settings;
    ProfileStore store;
    files.LoadAll(library, settings, store);
    EXPECT_TRUE(library == versions[0].library || library == versions[1].library);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.ConfigDirectory()), {}), 2 + ProfileSlotCount);
}

} // namespace
