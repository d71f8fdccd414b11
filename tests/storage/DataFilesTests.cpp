#include "TempDir.h"

#include <algorithm>
#include <chrono>
#include "LibraryBuilder.h"

#include "storage/AtomicWrite.h"
#include "storage/DataFiles.h"
#include "storage/MacroLibraryFile.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"

namespace
{

using DataFilesTest = TempDirTest;

// Names in the folder that start with the prefix.
std::vector<std::string> NamesStartingWith(const std::string& strFolder, const std::string& strPrefix)
{
    std::vector<std::string> vecNames;
    for (const auto& entry : std::filesystem::directory_iterator(strFolder))
    {
        const std::string strName = entry.path().filename().string();
        if (strName.rfind(strPrefix, 0) == 0)
            vecNames.push_back(strName);
    }
    return vecNames;
}

TEST_F(DataFilesTest, FirstStartCreatesEveryFileWithDefaults)
{
    CDataFiles files(m_strDir.substr(0, m_strDir.size() - 1)); // the trailing "/" is added
    EXPECT_EQ(files.AppDirectory(), m_strDir);
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore store;
    const LoadReport report = files.LoadAll(library, settings, store);
    EXPECT_TRUE(report.m_bMacroLibraryDefaulted);
    EXPECT_TRUE(report.m_bSettingsDefaulted);
    for (int n = 0; n < ProfileSlotCount; ++n)
    {
        EXPECT_TRUE(report.m_bProfileDefaulted[n]);
        EXPECT_TRUE(Exists(Path("config/default" + std::to_string(n) + ".psf")));
        EXPECT_EQ(store[n].GetPair(0, PartValue), "Default" + std::to_string(n + 1));
    }
    EXPECT_TRUE(Exists(Path("config/config.ini")));
    EXPECT_TRUE(Exists(Path("config/MacroLibraryFile.mlf")));
    EXPECT_EQ(library.FirstSet()->m_strName, "Keyboard Macro Set");

    // A second start reads back what the first wrote.
    MacroLibrary library2;
    SettingsStore settings2;
    ProfileStore store2;
    const LoadReport report2 = files.LoadAll(library2, settings2, store2);
    EXPECT_FALSE(report2.m_bMacroLibraryDefaulted);
    EXPECT_FALSE(report2.m_bSettingsDefaulted);
    EXPECT_EQ(settings2, settings);
    EXPECT_EQ(store2.m_records, store.m_records);
    EXPECT_EQ(library2, library);
}

TEST_F(DataFilesTest, SavedEditsSurviveARestart)
{
    CDataFiles files(m_strDir);
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore store;
    files.LoadAll(library, settings, store);
    library = MakeLibrary(1, 4, 0, 9);
    settings.SetActiveSlot(2);
    store[2].SetRemapEntry(2201, 0x3E);
    store[2].AssignProgrammableKey(0, "Macro1", KeyValue{KeyKindMacro, 0, 0}, "");
    ASSERT_TRUE(files.SaveMacroLibrary(library));
    ASSERT_TRUE(files.SaveSettings(settings));
    ASSERT_TRUE(files.SaveAllProfiles(store, settings));

    MacroLibrary library2;
    SettingsStore settings2;
    ProfileStore store2;
    files.LoadAll(library2, settings2, store2);
    EXPECT_EQ(library2, library);
    EXPECT_EQ(settings2.GetActiveSlot(), 2);
    EXPECT_EQ(store2[2], store[2]);
}

TEST_F(DataFilesTest, ShortSettingsFileStillGivesEverySlotAPath)
{
    CDataFiles files(m_strDir);
    files.EnsureConfigDirectory();
    WriteRaw(files.SettingsPath(), "[Setting]\r\nCurrentProfile=9\r\n");
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore store;
    const LoadReport report = files.LoadAll(library, settings, store);
    EXPECT_FALSE(report.m_bSettingsDefaulted);
    EXPECT_EQ(settings.GetActiveSlot(), 0); // "9" never indexes past the five slots
    for (int n = 0; n < ProfileSlotCount; ++n)
        EXPECT_EQ(settings.GetSlotUrl(n), Path("config/default" + std::to_string(n) + ".psf"));
    EXPECT_TRUE(files.SaveProfile(3, store, settings));
}

// ---------------------------------------------------------------------------------------------
// Damaged and hostile files

TEST_F(DataFilesTest, ADamagedFileIsKeptBesideItBeforeDefaultsReplaceIt)
{
    CDataFiles files(m_strDir);
    files.EnsureConfigDirectory();
    MacroLibrary library = MakeLibrary(1, 3, 0, 5);
    ASSERT_TRUE(files.SaveMacroLibrary(library));
    std::string strDamaged = ReadRaw(files.MacroLibraryPath());
    strDamaged.resize(strDamaged.size() / 2); // a copy cut short
    const std::string strBadSettings = "[Setting]\nCurrentProfile\n";
    const std::string strBadProfile = "[Setting]\nonly a line\n";
    for (int nStart = 0; nStart < 7; ++nStart)
    {
        WriteRaw(files.MacroLibraryPath(), strDamaged);
        WriteRaw(files.SettingsPath(), strBadSettings);
        WriteRaw(Path("config/default2.psf"), strBadProfile);
        MacroLibrary loaded;
        SettingsStore settings;
        ProfileStore store;
        const LoadReport report = files.LoadAll(loaded, settings, store);
        ASSERT_TRUE(report.m_bMacroLibraryDefaulted && report.m_bSettingsDefaulted && report.m_bProfileDefaulted[2]);
    }
    // The defaults are on disk, every damaged file is still there to recover, and the copies of
    // each file stay few however often it is found damaged.
    MacroLibrary loaded;
    ASSERT_TRUE(ReadMacroLibraryFile(files.MacroLibraryPath(), loaded));
    EXPECT_EQ(loaded.FirstSet()->m_vecKeys.size(), 0u);
    const std::pair<std::string, std::string> kept[] = {{"MacroLibraryFile.mlf.damaged-", strDamaged},
                                                        {"config.ini.damaged-", strBadSettings},
                                                        {"default2.psf.damaged-", strBadProfile}};
    for (const auto& [strPrefix, strContent] : kept)
    {
        const std::vector<std::string> vecCopies = NamesStartingWith(Path("config"), strPrefix);
        EXPECT_EQ(vecCopies.size(), MaxDamagedCopies) << strPrefix;
        for (const std::string& strName : vecCopies)
            EXPECT_EQ(ReadRaw(Path("config/" + strName)), strContent) << strName;
    }
    // A missing file is no damage: nothing to keep.
    EXPECT_TRUE(NamesStartingWith(Path("config"), "default0.psf.damaged-").empty());
}

TEST_F(DataFilesTest, TheFiveNewestDamagedCopiesStayHoweverManyComeInOneSecondAndWhateverTheirNames)
{
    // A copy renamed by hand long ago: its name sorts after every real one, its age is what counts.
    const std::string strOld = Path("x.ini.damaged-99991231-235959");
    WriteRaw(strOld, "renamed");
    std::filesystem::last_write_time(strOld,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365));
    // Twelve in a row come within a second or two: "-10" must not pass for older than "-2", and a
    // freed name must not make a new copy look old.
    for (int i = 0; i < 12; ++i)
    {
        WriteRaw(Path("x.ini"), "damage " + std::to_string(i));
        ASSERT_TRUE(KeepDamagedCopy(Path("x.ini")));
    }
    std::vector<std::string> vecContents;
    for (const std::string& strName : NamesStartingWith(m_strDir, "x.ini.damaged-"))
        vecContents.push_back(ReadRaw(Path(strName)));
    std::sort(vecContents.begin(), vecContents.end());
    EXPECT_EQ(vecContents, (std::vector<std::string>{"damage 10", "damage 11", "damage 7", "damage 8", "damage 9"}));
}

TEST_F(DataFilesTest, ASlotPathNamingAnotherFileGetsItsDefaultAndTheFileIsLeftAlone)
{
    CDataFiles files(m_strDir);
    files.EnsureConfigDirectory();
    ASSERT_TRUE(files.SaveMacroLibrary(MakeLibrary(1, 2, 0, 3)));
    const std::string strLibrary = ReadRaw(files.MacroLibraryPath());
    WriteRaw(Path("notes.txt"), "a user's own file");
    SettingsStore hand;
    hand.SetDefaults(m_strDir);
    hand.SetSlotUrl(1, files.MacroLibraryPath());
    hand.SetSlotUrl(3, Path("notes.txt"));
    hand.SetSlotUrl(4, Path("other.PSF")); // a profile file by its name, in any case
    ASSERT_TRUE(WriteSettingsFile(files.SettingsPath(), hand));

    MacroLibrary library;
    SettingsStore settings;
    ProfileStore store;
    const LoadReport report = files.LoadAll(library, settings, store);
    EXPECT_TRUE(report.m_bSlotPathsRepaired);
    EXPECT_EQ(ReadRaw(files.MacroLibraryPath()), strLibrary);
    EXPECT_EQ(ReadRaw(Path("notes.txt")), "a user's own file");
    EXPECT_EQ(settings.GetSlotUrl(1), Path("config/default1.psf"));
    EXPECT_EQ(settings.GetSlotUrl(3), Path("config/default3.psf"));
    EXPECT_EQ(settings.GetSlotUrl(4), Path("other.PSF"));
    SettingsStore onDisk;
    ASSERT_TRUE(ReadSettingsFile(files.SettingsPath(), onDisk));
    EXPECT_EQ(onDisk, settings);

    // A save never writes a profile over a file that is not one.
    settings.SetSlotUrl(0, Path("notes.txt"));
    EXPECT_FALSE(files.SaveProfile(0, store, settings));
    EXPECT_EQ(ReadRaw(Path("notes.txt")), "a user's own file");
}

} // namespace
