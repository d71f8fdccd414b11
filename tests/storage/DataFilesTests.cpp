#include "TempDir.h"
#include "LibraryBuilder.h"

#include "storage/DataFiles.h"
#include "storage/MacroLibraryFile.h"
#include "storage/ProfileFile.h"

namespace {

using DataFilesTest = TempDirTest;

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
    for (int n = 0; n < ProfileSlotCount; ++n) {
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

} // namespace
