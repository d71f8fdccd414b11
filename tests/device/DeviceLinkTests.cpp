// Discovery, the primitive commands with their bytes and pauses, the sync and the upload,
// against the keyboard simulator.

#include <filesystem>
#include <optional>
#include <thread>

#include "DeviceTestSupport.h"

namespace
{
using Bytes = std::vector<uint8_t>;

std::vector<unsigned> Repeat(std::vector<unsigned> vecUnit, size_t nTimes)
{
    std::vector<unsigned> vecAll;
    for (size_t i = 0; i < nTimes; ++i)
        vecAll.insert(vecAll.end(), vecUnit.begin(), vecUnit.end());
    return vecAll;
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Discovery

TEST_F(DeviceLinkTest, ScanFindsBothCollectionsAndOpensTheCommandHandle)
{
    m_pLink->ScanForKeyboard();
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_EQ(m_pLink->ListenerIndex(), 2);
    EXPECT_EQ(m_pLink->CommandIndex(), 3);
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_TRUE(m_kb.WaitForReaders(1, 5000));
    EXPECT_EQ(m_pLink->ListenerStarts(), 1u);
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::NotCommandCollection), 0u);
}

TEST_F(DeviceLinkTest, OnlyTheCommandCollectionStillConnects)
{
    m_kb.PlaceKeyboard(-1, 4);
    m_pLink->ScanForKeyboard();
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_EQ(m_pLink->ListenerIndex(), -1);
    EXPECT_EQ(m_pLink->CommandIndex(), 4);
    EXPECT_TRUE(m_pLink->SetDeviceProfile(1));
    EXPECT_EQ(m_kb.ActiveProfile(), 1);
    EXPECT_EQ(m_kb.ReaderCount(), 0u);
}

TEST_F(DeviceLinkTest, HighestIndexWinsAmongEveryListedCollection)
{
    // A laptop with a touchpad, a dock and a headset lists dozens of collections before the
    // keyboard; it must be found wherever it stands, and the later of two collections with one
    // usage page is the one used.
    std::vector<SimCollection> vecLayout;
    for (int i = 0; i < 40; ++i)
        vecLayout.push_back(SimCollection::Foreign(100 + i));
    vecLayout[5] = SimCollection::KeyboardCommands();
    vecLayout[7] = SimCollection::KeyboardEvents();
    vecLayout[31] = SimCollection::KeyboardEvents();
    vecLayout[33] = SimCollection::KeyboardCommands();
    vecLayout[36] = SimCollection::KeyboardEvents();
    m_kb.SetEnumeration(vecLayout);
    m_pLink->ScanForKeyboard();
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_EQ(m_pLink->CommandIndex(), 33);
    EXPECT_EQ(m_pLink->ListenerIndex(), 36);

    const std::vector<HidInterfaceInfo> vecInfo = m_kb.Enumerate();
    m_kb.ClearLog();
    m_pLink->SetDeviceProfile(2);
    const std::vector<SimExchange> vecLog = FeatureLog();
    ASSERT_EQ(vecLog.size(), 1u);
    EXPECT_EQ(vecLog[0].strPath, vecInfo[33].strPath);
    EXPECT_EQ(m_kb.ActiveProfile(), 2);

    // The listener reads the collection at index 36, and its events arrive.
    DeliverEvent(EventProfileChanged, 3);
    EXPECT_EQ(m_pLink->DeviceProfile(), 2);
    std::vector<std::string> vecReadFrom;
    for (const SimExchange& exchange : m_kb.Log())
        if (exchange.eDirection == ESimDirection::Input)
            vecReadFrom.push_back(exchange.strPath);
    EXPECT_EQ(vecReadFrom, std::vector<std::string>{vecInfo[36].strPath});

    // Only the keyboard at the very end of a long list.
    std::vector<SimCollection> vecFar(60, SimCollection::Foreign(200));
    vecFar.push_back(SimCollection::KeyboardEvents());
    vecFar.push_back(SimCollection::KeyboardCommands());
    m_kb.SetEnumeration(vecFar);
    m_pLink->ScanForKeyboard();
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_EQ(m_pLink->ListenerIndex(), 60);
    EXPECT_EQ(m_pLink->CommandIndex(), 61);
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_TRUE(m_pLink->SetDeviceProfile(1));
    EXPECT_EQ(m_kb.ActiveProfile(), 1);
}

TEST_F(DeviceLinkTest, CollectionsThatCannotBeOpenedDoNotCount)
{
    const std::vector<HidInterfaceInfo> vecInfo = m_kb.Enumerate();
    m_kb.FailOpen(vecInfo[2].strPath, kSimAlways);
    m_kb.FailOpen(vecInfo[3].strPath, kSimAlways);
    m_pLink->ScanForKeyboard();
    EXPECT_FALSE(m_pLink->IsDeviceFound());
    EXPECT_FALSE(m_pLink->HasCommandHandle());
    EXPECT_EQ(m_pLink->ListenerStarts(), 0u);
}

TEST_F(DeviceLinkTest, AStaleCommandIndexNeverOpensAnotherCollection)
{
    m_pLink->ScanForKeyboard();
    ASSERT_EQ(m_pLink->CommandIndex(), 3);
    // Now only event collections: the scan keeps the old command index, which points at one.
    m_kb.SetEnumeration({SimCollection::Foreign(1), SimCollection::KeyboardBoot(), SimCollection::KeyboardEvents(),
                         SimCollection::KeyboardEvents()});
    m_pLink->ScanForKeyboard();
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_EQ(m_pLink->ListenerIndex(), 3);
    EXPECT_EQ(m_pLink->CommandIndex(), 3);
    EXPECT_FALSE(m_pLink->HasCommandHandle());
    EXPECT_FALSE(m_pLink->SetDeviceProfile(1));
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::NotCommandCollection), 0u);
}

TEST_F(DeviceLinkTest, WithoutTheKeyboardEveryCommandFailsQuietly)
{
    m_kb.Unplug();
    m_kb.DrainEvents([](const HotplugEvent&) {});
    m_pLink->ScanForKeyboard();
    EXPECT_FALSE(m_pLink->IsDeviceFound());
    EXPECT_EQ(m_pLink->ReadCurrentProfile(), -1);
    EXPECT_FALSE(m_pLink->SetDeviceProfile(1));
    EXPECT_FALSE(m_pLink->ReadLighting(0));
    EXPECT_FALSE(m_pLink->WriteLighting(0));
    EXPECT_FALSE(m_pLink->ReadKeyTable(0));
    EXPECT_FALSE(m_pLink->WriteKeyTable(0));
    EXPECT_FALSE(m_pLink->ReadKeyMacro(0, 0));
    EXPECT_FALSE(m_pLink->WriteKeyMacro(0, 0));
    EXPECT_EQ(m_pLink->DeviceProfile(), -1);
    EXPECT_EQ(m_clock.PauseCount(), 0u);
    m_pLink->SyncFromDevice(); // not found: nothing, and still due
    EXPECT_TRUE(m_pLink->IsSyncDue());
    EXPECT_EQ(m_ui.m_nRefreshes, 0);
}

// ---------------------------------------------------------------------------------------------
// Primitive commands

TEST_F(DeviceLinkTest, SetsCarryTheDocumentedBytesAndPauses)
{
    Connect();
    EXPECT_TRUE(m_pLink->SetDeviceProfile(2));
    EXPECT_EQ(m_kb.LastSet(5), (Bytes{0x05, 0x03, 0x02}));
    EXPECT_EQ(m_pLink->DeviceProfile(), 2);

    m_profiles[1].SetPair(PairLightColor, PartValue, "4");
    m_profiles[1].SetPair(PairLightBrightness, PartValue, "24");
    EXPECT_TRUE(m_pLink->WriteLighting(1));
    EXPECT_EQ(m_kb.LastSet(7), (Bytes{0x07, 0x0D, 0x01, 0x00, 0x04, 0x18}));
    m_profiles[2].SetPair(PairLightColor, PartValue, "red");
    EXPECT_TRUE(m_pLink->WriteLighting(2));
    EXPECT_EQ(m_kb.LastSet(7), (Bytes{0x07, 0x0D, 0x02, 0x00, 0x00, 0x08}));

    m_profiles[2].AllRCKey[0] = 0x99;
    m_profiles[2].AllRCKey[159] = 0x42;
    m_profiles[2].m_keys[4].m_value = KeyValue{0x07, 0x00, 0x00};
    m_profiles[2].m_keys[0].m_value = KeyValue{0x02, 0xA3, 0x00};
    EXPECT_TRUE(m_pLink->WriteKeyTable(2));
    const Bytes vecTable = m_kb.LastSet(6);
    ASSERT_EQ(vecTable.size(), 184u);
    EXPECT_EQ(Bytes(vecTable.begin(), vecTable.begin() + 8), (Bytes{0x06, 0xB8, 0x02, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(vecTable.begin() + 8, vecTable.begin() + 168),
              Bytes(m_profiles[2].AllRCKey.begin(), m_profiles[2].AllRCKey.end()));
    EXPECT_EQ(Bytes(vecTable.begin() + 168, vecTable.end()),
              (Bytes{0x02, 0xA3, 0x00, 0x06, 0x01, 0x1F, 0x06, 0x01, 0x20, 0x06, 0x01, 0x21, 0x07, 0x00, 0x00, 0x00}));
    EXPECT_EQ(m_kb.KeyValue(2, 4), (std::array<uint8_t, 3>{0x07, 0x00, 0x00}));

    EXPECT_EQ(FeatureTrace(), "S5 S7 S7 S6");
    EXPECT_EQ(m_clock.Pauses(), (std::vector<unsigned>{15, 15, 15, 350}));
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(DeviceLinkTest, ReadsSelectThenGetAndPause)
{
    Connect();
    m_kb.SetLighting(1, 0x0D, 4); // colour bits 5
    m_kb.SetRemapEntry(2, 17, 0x55);
    m_kb.SetKeyValue(2, 3, 0x03, 0x10, 0x00);
    EXPECT_TRUE(m_pLink->ReadLighting(1));
    EXPECT_TRUE(m_pLink->ReadKeyTable(2));
    EXPECT_EQ(m_profiles[1].GetPair(PairLightColor, PartValue), "5");
    EXPECT_EQ(m_profiles[1].GetPair(PairLightBrightness, PartValue), "4");
    EXPECT_EQ(m_profiles[2].AllRCKey[17], 0x55);
    EXPECT_EQ(m_profiles[2].m_keys[3].m_value, (KeyValue{0x03, 0x10, 0x00}));
    EXPECT_EQ(FeatureTrace(), "S4 G7 S4 G6");
    EXPECT_EQ(FeatureLog()[0].vecBytes, (Bytes{0x04, 0x01, 0x00}));
    EXPECT_EQ(FeatureLog()[2].vecBytes, (Bytes{0x04, 0x02, 0x00}));
    EXPECT_EQ(m_clock.Pauses(), (std::vector<unsigned>{8, 8, 8, 8}));

    m_kb.SetActiveProfile(2);
    EXPECT_EQ(m_pLink->ReadCurrentProfile(), 2);
    EXPECT_EQ(m_clock.PauseCount(), 4u); // the profile get has no pause
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(DeviceLinkTest, OutOfRangeLightingIsReplaced)
{
    Connect();
    m_kb.SetLighting(0, 0xF8, 5); // colour bits 0, unknown brightness
    m_kb.SetLighting(1, 0x0F, 3); // colour bits 7 (White), unknown brightness
    EXPECT_TRUE(m_pLink->ReadLighting(0));
    EXPECT_TRUE(m_pLink->ReadLighting(1));
    EXPECT_EQ(m_profiles[0].GetColour(), 3);
    EXPECT_EQ(m_profiles[0].GetBrightness(), 8);
    EXPECT_EQ(m_profiles[1].GetColour(), 7);
    EXPECT_EQ(m_profiles[1].GetBrightness(), 8);
    for (uint8_t nBrightness : {1, 2, 4, 8, 24})
    {
        m_kb.SetLighting(2, 2, nBrightness);
        m_pLink->ReadLighting(2);
        EXPECT_EQ(m_profiles[2].GetBrightness(), nBrightness);
    }
}

TEST_F(DeviceLinkTest, FailedShortOrForeignRepliesChangeNothing)
{
    Connect();
    m_kb.SetLighting(0, 5, 24);
    m_kb.SetRemapEntry(0, 0, 0x77);
    const ProfileRecord before = m_profiles[0];

    m_kb.FailGet(7);
    EXPECT_FALSE(m_pLink->ReadLighting(0));
    m_kb.ShortReply(6, 100);
    EXPECT_FALSE(m_pLink->ReadKeyTable(0));
    m_kb.ReplaceReply(7, Bytes{0x06, 0x0D, 0, 0, 5, 24});
    EXPECT_FALSE(m_pLink->ReadLighting(0));
    EXPECT_EQ(m_profiles[0], before);
    // The pauses are kept whatever the outcome.
    EXPECT_EQ(m_clock.Pauses(), Repeat({8, 8}, 3));

    m_kb.FailGet(5);
    EXPECT_EQ(m_pLink->ReadCurrentProfile(), -1); // unknown, not profile 0
    m_kb.FailSet(5);
    EXPECT_FALSE(m_pLink->SetDeviceProfile(1));
    EXPECT_EQ(m_pLink->DeviceProfile(), 0);
}

TEST_F(DeviceLinkTest, ExchangesFromTwoThreadsNeverInterleave)
{
    Connect();
    std::thread other(
        [&]
        {
            for (int i = 0; i < 200; ++i)
            {
                ReportBuffer reply{};
                m_pLink->ReadSelected(i % 3, 0, ReportKeyTable, KeyTableReportLength, reply);
            }
        });
    for (int i = 0; i < 200; ++i)
    {
        ReportBuffer reply{};
        m_pLink->ReadSelected(i % 3, i % 5, ReportMacro, MacroReportLength, reply);
        m_pLink->ReadCurrentProfile();
    }
    other.join();
    EXPECT_FALSE(m_kb.HasInterleaving()) << m_kb.ViolationsText();
    EXPECT_EQ(m_kb.ViolationsText(), "");
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Get, 6), 200u);
}

// ---------------------------------------------------------------------------------------------
// Reading the keyboard

TEST_F(DeviceLinkTest, SyncOfAFactoryKeyboardReadsProfileLightingAndTables)
{
    m_kb.SetActiveProfile(1);
    m_pLink->ScanForKeyboard();
    m_kb.ClearLog();
    m_pLink->SyncFromDevice();
    EXPECT_EQ(FeatureTrace(), "G5 S4 G7 S4 G7 S4 G7 S4 G6 S4 G6 S4 G6");
    EXPECT_EQ(m_clock.TotalPausedMs(), 96u);
    EXPECT_EQ(m_pLink->DeviceProfile(), 1);
    EXPECT_EQ(m_settings.GetPair(0, PartValue), "1");
    EXPECT_FALSE(m_pLink->IsSyncDue());
    EXPECT_EQ(m_ui.m_nRefreshes, 1);
    EXPECT_EQ(m_kb.ViolationsText(), "");

    m_kb.ClearLog();
    m_pLink->SyncFromDevice(); // not due any more
    EXPECT_EQ(FeatureTrace(), "");
}

TEST_F(DeviceLinkTest, SyncReadsMacrosNamesMissingOnesAndSendsThemBack)
{
    m_kb.SetKeyValue(0, 0, 0x01, 0, 0);
    m_kb.SetMacro(0, 0, std::string("Mac"), 0, {{0x04, 2}, {0x04, 0x80 | 3}});
    m_kb.SetKeyValue(1, 2, 0x01, 0, 0);
    m_kb.SetMacro(1, 2, std::nullopt, 3, {{0x01, 0x10}, {0x1E, 0x05}});
    m_kb.SetMacro(2, 1, std::string("NotAMacroKey"), 0, {{0x04, 0}}); // kind 06: never read
    const std::string strProfileFile = ReadFile(ProfilePath(1));

    m_pLink->ScanForKeyboard();
    m_kb.ClearLog();
    m_pLink->SyncFromDevice();
    EXPECT_EQ(FeatureTrace(), "G5 S4 G7 S4 G7 S4 G7 S4 G6 S4 G6 S4 G6 S4 G8 S4 G8 S8");
    std::vector<unsigned> vecPauses = Repeat({8, 8}, 8);
    vecPauses.push_back(350);
    EXPECT_EQ(m_clock.Pauses(), vecPauses);
    EXPECT_EQ(m_kb.ViolationsText(), "");

    const MacroSet& set = *m_library.FirstSet();
    ASSERT_EQ(set.m_vecKeys.size(), 2u);
    EXPECT_EQ(set.m_vecKeys[0].m_strName, "Mac");
    EXPECT_EQ(ActionsOf(set.m_vecKeys[0]),
              (std::vector<MacroAction>{MacroAction::Delay(16), MacroAction::Key(0x41, false), MacroAction::Delay(24),
                                        MacroAction::Key(0x41, true)}));
    EXPECT_EQ(set.m_vecKeys[0].LoopEnable, 0u);
    EXPECT_EQ(set.m_vecKeys[1].m_strName, "Profile2_G3");
    EXPECT_EQ(ActionsOf(set.m_vecKeys[1]),
              (std::vector<MacroAction>{MacroAction::Delay(1064), MacroAction::Key(0x31, false)}));
    EXPECT_EQ(set.m_vecKeys[1].LoopNum, 3);
    EXPECT_EQ(m_profiles[0].m_keys[0].m_strName, "Mac");
    EXPECT_EQ(m_profiles[1].m_keys[2].m_strName, "Profile2_G3");
    EXPECT_EQ(m_profiles[1].m_keys[2].m_value, (KeyValue{0x01, 0, 0}));
    EXPECT_EQ(m_profiles[2].m_keys[1].m_strName, "CTRL+2");

    // The keyboard learnt the made-up name, with the same program and repeat count.
    const Bytes vecSent = m_kb.LastSet(8);
    ASSERT_EQ(vecSent.size(), 226u);
    EXPECT_EQ(Bytes(vecSent.begin(), vecSent.begin() + 8), (Bytes{0x08, 0xE2, 0x01, 0x02, 0, 0, 0, 0}));
    EXPECT_EQ(m_kb.MacroName(1, 2), "Profile2_G3");
    EXPECT_EQ(m_kb.MacroLoop(1, 2), 3);
    EXPECT_EQ(m_kb.MacroSteps(1, 2), (std::vector<SimStep>{{0x01, 0x10}, {0x1E, 0x05}}));

    // The library file holds the macros; the profile files wait for the next Apply.
    MacroLibrary onDisk;
    SettingsStore settings;
    ProfileStore profiles;
    LoadFromDisk(onDisk, settings, profiles);
    EXPECT_EQ(onDisk, m_library);
    EXPECT_FALSE(m_pLink->IsMacroLibraryChanged());
    EXPECT_EQ(ReadFile(ProfilePath(1)), strProfileFile);
}

TEST_F(DeviceLinkTest, SyncReusesAMacroOfTheSameName)
{
    MacroKey& existing = m_library.FirstSet()->AppendKey("Mac");
    existing.InsertAction(0, MacroAction::Key(0x42, false));
    m_library.FirstSet()->AppendKey("Other");
    m_kb.SetKeyValue(2, 4, 0x01, 0, 0);
    m_kb.SetMacro(2, 4, std::string("Mac"), 7, {{0x05, 0}});
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    ASSERT_EQ(m_library.FirstSet()->m_vecKeys.size(), 2u);
    EXPECT_EQ(ActionsOf(m_library.FirstSet()->m_vecKeys[0]), (std::vector<MacroAction>{MacroAction::Key(0x42, false)}));
    EXPECT_EQ(m_library.FirstSet()->m_vecKeys[0].LoopNum, 7);
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Set, 8), 0u); // it had a name: nothing sent
}

TEST_F(DeviceLinkTest, SyncStopsWhenTheActiveProfileIsOutOfRange)
{
    m_pLink->ScanForKeyboard();
    m_kb.ClearLog();
    m_kb.ReplaceReply(5, Bytes{0x05, 0x00, 0x0B}); // bits 0..2: 3
    m_pLink->SyncFromDevice();
    EXPECT_EQ(m_pLink->DeviceProfile(), 3);
    EXPECT_EQ(FeatureTrace(), "G5");
    EXPECT_EQ(m_ui.m_nRefreshes, 0);
    EXPECT_EQ(m_settings.GetPair(0, PartValue), "0");
}

TEST_F(DeviceLinkTest, AFailedProfileReadLeavesTheActiveSlotAsItWas)
{
    m_kb.SetActiveProfile(2);
    m_settings.SetActiveSlot(2);
    m_pLink->ScanForKeyboard();
    m_kb.FailGet(5);
    m_pLink->SyncFromDevice();
    EXPECT_EQ(m_pLink->DeviceProfile(), -1); // still unknown: events wait for the keyboard to say
    EXPECT_EQ(m_settings.GetPair(0, PartValue), "2");
    // The profiles' own settings are read all the same.
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Get, 6), 3u);
    EXPECT_EQ(m_ui.m_nRefreshes, 1);
}

TEST_F(DeviceLinkTest, UnusableReplyNamesAreReplacedAndCannotBreakTheLibraryFile)
{
    SimMacroBytes bytes = CSimulatedKeyboard::MakeMacroBytes(std::string("x"), 1, {{0x04, 0}});
    const uint8_t arrName[] = {'A', '\n', 'B', '\r', 0xFF, 'C'}; // line breaks and a stray byte
    std::fill(bytes.begin(), bytes.begin() + 24, 0);
    std::copy(std::begin(arrName), std::end(arrName), bytes.begin());
    m_kb.SetKeyValue(0, 1, 0x01, 0, 0);
    m_kb.SetMacroBytes(0, 1, bytes);
    SimMacroBytes empty = bytes;
    std::fill(empty.begin(), empty.begin() + 24, 0); // a name of nothing
    m_kb.SetKeyValue(0, 3, 0x01, 0, 0);
    m_kb.SetMacroBytes(0, 3, empty);

    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    EXPECT_EQ(m_profiles[0].m_keys[1].m_strName, "AB?C");
    EXPECT_EQ(m_profiles[0].m_keys[3].m_strName, "Profile1_G4");
    EXPECT_EQ(m_kb.MacroName(0, 3), "Profile1_G4");
    MacroLibrary onDisk;
    SettingsStore settings;
    ProfileStore profiles;
    LoadFromDisk(onDisk, settings, profiles);
    EXPECT_EQ(onDisk, m_library); // read back whole, not replaced by the default set
}

TEST_F(DeviceLinkTest, AMacroFromTheKeyboardFindsASetEvenInAnEmptyLibrary)
{
    m_library.Clear();
    m_kb.SetKeyValue(0, 0, 0x01, 0, 0);
    m_kb.SetMacro(0, 0, std::string("Mac"), 1, {{0x04, 0}});
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    ASSERT_EQ(m_library.SetCount(), 1u);
    EXPECT_EQ(m_library.FirstSet()->m_strName, "Keyboard Macro Set");
    ASSERT_NE(m_pLink->FindMacroKeyByName("Mac"), nullptr);
}

TEST_F(DeviceLinkTest, OversizedStepCountReadsAtMost96Steps)
{
    SimMacroBytes bytes =
        CSimulatedKeyboard::MakeMacroBytes(std::string("Big"), 1, std::vector<SimStep>(96, {0x04, 0x01}));
    bytes[33 - 8] = 200;
    m_kb.SetKeyValue(1, 0, 0x01, 0, 0);
    m_kb.SetMacroBytes(1, 0, bytes);
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    const MacroKey* pMacro = m_pLink->FindMacroKeyByName("Big");
    ASSERT_NE(pMacro, nullptr);
    EXPECT_EQ(pMacro->m_nActionCount, 192u);
    EXPECT_EQ(pMacro->MacroCommandActionNum, 96);
}

TEST_F(DeviceLinkTest, AFailedMacroGetChangesNothing)
{
    m_kb.SetKeyValue(0, 0, 0x01, 0, 0);
    m_pLink->ScanForKeyboard();
    ASSERT_TRUE(m_pLink->ReadKeyTable(0));
    m_kb.FailGet(8);
    EXPECT_FALSE(m_pLink->ReadKeyMacro(0, 0));
    EXPECT_FALSE(m_pLink->IsMacroLibraryChanged());
    EXPECT_TRUE(m_library.FirstSet()->m_vecKeys.empty());
    EXPECT_EQ(m_profiles[0].m_keys[0].m_strName, "CTRL+1");
    // A key that holds no library macro is not read at all.
    m_kb.ClearLog();
    EXPECT_FALSE(m_pLink->ReadKeyMacro(0, 1));
    EXPECT_EQ(FeatureTrace(), "");
}

TEST_F(DeviceLinkTest, TheLibraryFileIsWrittenOnlyWhenTheKeyboardBroughtSomethingNew)
{
    m_kb.SetKeyValue(1, 1, 0x01, 0, 0);
    m_kb.SetMacro(1, 1, std::string("Same"), 2, {{0x04, 3}});
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    ASSERT_NE(m_pLink->FindMacroKeyByName("Same"), nullptr);
    std::filesystem::remove(m_pFiles->MacroLibraryPath());

    m_pLink->RequestSync(); // as after a reconnection
    m_pLink->SyncFromDevice();
    EXPECT_FALSE(std::filesystem::exists(m_pFiles->MacroLibraryPath()));
    EXPECT_FALSE(m_pLink->IsMacroLibraryChanged());

    m_kb.SetMacro(1, 1, std::string("Same"), 2, {{0x04, 4}});
    m_pLink->RequestSync();
    m_pLink->SyncFromDevice();
    MacroLibrary onDisk;
    SettingsStore settings;
    ProfileStore profiles;
    LoadFromDisk(onDisk, settings, profiles);
    EXPECT_EQ(onDisk, m_library);
    EXPECT_EQ(ActionsOf(*m_pLink->FindMacroKeyByName("Same"))[0], MacroAction::Delay(32));
}

// ---------------------------------------------------------------------------------------------
// Uploading edits

TEST_F(DeviceLinkTest, FlushSendsLightingThenTablesThenMacrosOfProfilesZeroToTwo)
{
    Connect();
    MacroKey& macro = m_library.FirstSet()->AppendKey("Hello");
    macro.InsertAction(0, MacroAction::Delay(100));
    macro.InsertAction(1, MacroAction::Key(0x41, false));
    macro.InsertAction(2, MacroAction::Delay(2000));
    macro.InsertAction(3, MacroAction::Key(0x41, true));
    macro.LoopEnable = 1;
    macro.LoopNum = 9;
    macro.MacroCommandActionNum = 3;
    m_profiles[2].AssignProgrammableKey(4, "Hello", KeyValue{0x01, 0, 0}, "");
    m_profiles[0].AssignProgrammableKey(1, "Unknown", KeyValue{0x01, 0, 0}, "");
    m_profiles[2].SetColour(6);

    m_pLink->MarkLightingPending(2);
    m_pLink->MarkLightingPending(0);
    m_pLink->MarkKeyTablePending(1);
    m_pLink->MarkMacroPending(2, 4);
    m_pLink->MarkMacroPending(0, 1); // no such macro: nothing sent
    m_pLink->MarkLightingPending(3); // slots 3 and 4 never go out
    m_pLink->MarkKeyTablePending(4);

    m_pLink->FlushPendingChanges();
    EXPECT_EQ(FeatureTrace(), "S7 S7 S6 S8");
    const std::vector<SimExchange> vecLog = FeatureLog();
    ASSERT_EQ(vecLog.size(), 4u);
    EXPECT_EQ(vecLog[0].vecBytes[2], 0);
    EXPECT_EQ(vecLog[1].vecBytes, (Bytes{0x07, 0x0D, 0x02, 0x00, 0x06, 0x08}));
    EXPECT_EQ(vecLog[2].vecBytes[2], 1);
    EXPECT_EQ(m_clock.Pauses(), (std::vector<unsigned>{15, 15, 350, 350}));

    const Bytes vecMacro = m_kb.LastSet(8);
    ASSERT_EQ(vecMacro.size(), 226u);
    Bytes vecExpected(226, 0);
    const Bytes vecHead = {0x08, 0xE2, 0x02, 0x04, 0, 0, 0, 0, 'H', 'e', 'l', 'l', 'o'};
    std::copy(vecHead.begin(), vecHead.end(), vecExpected.begin());
    vecExpected[32] = 9;
    vecExpected[33] = 3;
    const Bytes vecSteps = {0x04, 12, 0x01, 31, 0x04, 0x80 | 2};
    std::copy(vecSteps.begin(), vecSteps.end(), vecExpected.begin() + 34);
    EXPECT_EQ(vecMacro, vecExpected);

    EXPECT_FALSE(m_pLink->Pending(0).Any());
    EXPECT_FALSE(m_pLink->Pending(1).Any());
    EXPECT_FALSE(m_pLink->Pending(2).Any());
    EXPECT_TRUE(m_pLink->Pending(3).LightingPending);
    EXPECT_TRUE(m_pLink->Pending(4).KeyTablePending);
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(DeviceLinkTest, AWriteTheKeyboardRefusesKeepsItsFlagUntilItIsTaken)
{
    Connect();
    m_kb.FailSet(6, 1);
    m_pLink->MarkKeyTablePending(0);
    EXPECT_FALSE(m_pLink->FlushPendingChanges());
    EXPECT_TRUE(m_pLink->Pending(0).KeyTablePending);
    EXPECT_TRUE(m_pLink->Awaiting().m_slots[0].KeyTablePending);
    EXPECT_EQ(m_pLink->LastFailedWrite(), "the keys of profile 1");
    EXPECT_EQ(m_clock.Pauses(), (std::vector<unsigned>{350}));

    EXPECT_TRUE(m_pLink->FlushPendingChanges());
    EXPECT_FALSE(m_pLink->Pending(0).KeyTablePending);
    EXPECT_FALSE(m_pLink->Awaiting().Any());
    EXPECT_EQ(FeatureTrace(), "S6! S6");
}

TEST_F(DeviceLinkTest, DisabledRepeatSendsZeroAndLongNamesAreCut)
{
    Connect();
    const std::string strName = "Twenty-five bytes long!!X";
    MacroKey& macro = m_library.FirstSet()->AppendKey(strName);
    macro.InsertAction(0, MacroAction::Key(0x41, false));
    macro.LoopEnable = 0;
    macro.LoopNum = 5;
    m_profiles[0].AssignProgrammableKey(0, strName, KeyValue{0x01, 0, 0}, "");
    EXPECT_TRUE(m_pLink->WriteKeyMacro(0, 0));
    EXPECT_EQ(m_kb.MacroLoop(0, 0), 0);
    EXPECT_EQ(m_kb.MacroName(0, 0), strName.substr(0, 24));
    EXPECT_EQ(m_kb.MacroStepCount(0, 0), 1);
}

TEST_F(DeviceLinkTest, UploadedMacrosReadBackUnchanged)
{
    Connect();
    MacroKey& macro = m_library.FirstSet()->AppendKey("Round");
    const std::vector<MacroAction> vecActions = {MacroAction::Delay(8),     MacroAction::Key(0x5B, false),
                                                 MacroAction::Delay(1016),  MacroAction::Key(0xA5, false),
                                                 MacroAction::Delay(30000), MacroAction::Key(0x2E, true),
                                                 MacroAction::Delay(65528), MacroAction::Key(0x5B, true)};
    for (const MacroAction& action : vecActions)
        macro.InsertAction(macro.m_nActionCount, action);
    macro.LoopNum = 4;
    m_profiles[1].AssignProgrammableKey(3, "Round", KeyValue{0x01, 0, 0}, "");
    ASSERT_TRUE(m_pLink->WriteKeyMacro(1, 3));

    macro.ClearActions();
    macro.LoopNum = 1;
    ASSERT_TRUE(m_pLink->ReadKeyMacro(1, 3));
    EXPECT_EQ(ActionsOf(macro), vecActions);
    EXPECT_EQ(macro.LoopNum, 4);
}

// ---------------------------------------------------------------------------------------------
// Program end

TEST_F(DeviceLinkTest, ShutdownSendsTheEndValueAndClosesEverything)
{
    Connect();
    m_pLink->Shutdown();
    EXPECT_EQ(m_kb.LastSet(5), (Bytes{0x05, 0x03, 0x07}));
    EXPECT_EQ(m_kb.LastProfileCommand(), 7);
    EXPECT_EQ(m_pLink->DeviceProfile(), 7);
    EXPECT_EQ(m_clock.Pauses(), (std::vector<unsigned>{15, 10}));
    EXPECT_FALSE(m_pLink->HasCommandHandle());
    EXPECT_FALSE(m_pLink->IsListenerRunning());
    EXPECT_EQ(m_kb.ReaderCount(), 0u);
    m_kb.ClearLog();
    m_pLink->Shutdown();
    EXPECT_EQ(FeatureTrace(), "");
}
