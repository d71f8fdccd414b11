// The keyboard's own events: read on the listener thread, handled in order on the UI thread.

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "DeviceTestSupport.h"

namespace
{
using Bytes = std::vector<uint8_t>;
}

TEST_F(DeviceLinkTest, ProfileKeyOnTheKeyboardSwitchesTheActiveSlot)
{
    Connect();
    const std::string strSettingsFile = ReadFile(m_pFiles->SettingsPath());
    ASSERT_EQ(m_kb.PressProfileKey(1), 1);
    HandleEvents(1);
    EXPECT_EQ(m_pLink->DeviceProfile(), 1);
    EXPECT_EQ(m_settings.GetPair(0, PartValue), "1");
    EXPECT_EQ(m_ui.m_nRefreshes, 1);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{2}));

    // No such profile on the keyboard: nothing changes, nothing is shown.
    DeliverEvent(EventProfileChanged, 4);
    DeliverEvent(EventProfileChanged, 0);
    EXPECT_EQ(m_pLink->DeviceProfile(), 1);
    EXPECT_EQ(m_settings.GetPair(0, PartValue), "1");
    EXPECT_EQ(m_ui.m_nRefreshes, 1);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{2}));

    EXPECT_EQ(ReadFile(m_pFiles->SettingsPath()), strSettingsFile);
    EXPECT_EQ(FeatureTrace(), "");
}

TEST_F(DeviceLinkTest, LightingEventsChangeTheDeviceProfileOnly)
{
    Connect();
    m_kb.PressProfileKey(2);
    HandleEvents(1);
    const ProfileRecord before0 = m_profiles[0];

    DeliverEvent(EventColourChanged, 5);
    EXPECT_EQ(m_profiles[2].GetPair(PairLightColor, PartValue), "5");
    DeliverEvent(EventBrightnessChanged, 2);
    EXPECT_EQ(m_profiles[2].GetPair(PairLightBrightness, PartValue), "2");
    DeliverEvent(EventLightingMode, 1);
    EXPECT_EQ(m_profiles[2].GetBrightness(), 24);
    EXPECT_EQ(m_profiles[2].GetColour(), 5);
    DeliverEvent(EventLightingMode, 0);
    EXPECT_EQ(m_profiles[2].GetColour(), 1);
    EXPECT_EQ(m_profiles[2].GetBrightness(), 8);
    EXPECT_EQ(m_ui.m_nRefreshes, 5);

    EXPECT_EQ(m_profiles[0], before0);
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        EXPECT_FALSE(m_pLink->Pending(nSlot).Any()); // the keyboard already holds these changes
    EXPECT_EQ(FeatureTrace(), "");
}

TEST_F(DeviceLinkTest, LockEventsAskForTheirOnScreenTexts)
{
    Connect();
    DeliverEvent(EventWinLockChanged, 0);
    DeliverEvent(EventWinLockChanged, 1);
    DeliverEvent(EventAllLockChanged, 0);
    DeliverEvent(EventAllLockChanged, 0x80);
    DeliverEvent(EventNone, 1);
    DeliverEvent(0x42, 1);
    DeliverEvent(0, 0);
    EXPECT_EQ(m_ui.m_vecOsd,
              (std::vector<int>{OsdWinKeyDisabled, OsdWinKeyEnabled, OsdAllKeysDisabled, OsdAllKeysEnabled}));
    EXPECT_EQ(m_ui.m_nRefreshes, 0);
    EXPECT_EQ(FeatureTrace(), "");

    // Locking on the keyboard says "disabled", unlocking "enabled".
    m_ui.m_vecOsd.clear();
    ASSERT_EQ(m_kb.ToggleWindowsLock(), 1);
    HandleEvents(1);
    ASSERT_EQ(m_kb.ToggleAllKeysLock(), 1);
    HandleEvents(1);
    ASSERT_EQ(m_kb.ToggleWindowsLock(), 1);
    HandleEvents(1);
    EXPECT_TRUE(m_kb.AllKeysLock());
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{OsdWinKeyDisabled, OsdAllKeysDisabled, OsdWinKeyEnabled}));
}

TEST_F(DeviceLinkTest, LaunchKeyStartsTheKeysProgram)
{
    Connect();
    m_profiles[0].AssignProgrammableKey(3, "Editor", KeyValue{0x07, 0, 0}, "/opt/My Tools/editor");
    m_profiles[1].AssignProgrammableKey(3, "Other", KeyValue{0x07, 0, 0}, "/usr/bin/other");
    DeliverEvent(EventLaunchPressed, 4);
    DeliverEvent(EventLaunchPressed, 1); // no program: nothing to start
    DeliverEvent(EventLaunchPressed, 0);
    DeliverEvent(EventLaunchPressed, 6);
    EXPECT_EQ(m_launcher.m_vecPaths, (std::vector<std::string>{"/opt/My Tools/editor"}));
}

TEST_F(DeviceLinkTest, EventsNeedingAProfileAreIgnoredWithoutAValidOne)
{
    m_kb.FailGet(ReportProfile); // the keyboard's profile stays unknown
    Connect();
    ASSERT_EQ(m_pLink->DeviceProfile(), -1);
    m_profiles[0].AssignProgrammableKey(0, "Tool", KeyValue{0x07, 0, 0}, "/usr/bin/tool");
    m_profiles[3].AssignProgrammableKey(0, "Tool", KeyValue{0x07, 0, 0}, "/usr/bin/tool");
    m_kb.SetKeyValue(0, 0, 0x01, 0, 0);
    m_kb.SetMacro(0, 0, std::string("Profile0"), 1, {{0x04, 0}});
    const std::string strSlot3File = ReadFile(ProfilePath(3));
    // Profile numbers the keyboard does not have leave the profile unknown.
    for (uint8_t nProfileNumber : {0, 4, 5, 6})
    {
        DeliverEvent(EventProfileChanged, nProfileNumber);
        const ProfileStore before = m_profiles;
        const MacroLibrary library = m_library;
        m_kb.ClearLog();
        DeliverEvent(EventColourChanged, 3);
        DeliverEvent(EventBrightnessChanged, 2);
        DeliverEvent(EventLightingMode, 0);
        DeliverEvent(EventLaunchPressed, 1);
        DeliverEvent(EventMacroReceived, 1);
        EXPECT_EQ(m_profiles.m_records, before.m_records);
        EXPECT_EQ(m_library, library);
        EXPECT_EQ(FeatureTrace(), "");
    }
    EXPECT_TRUE(m_launcher.m_vecPaths.empty());
    EXPECT_EQ(ReadFile(ProfilePath(3)), strSlot3File);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{})); // profile numbers 0, 4, 5, 6 show nothing
}

TEST_F(DeviceLinkTest, MacroRecordedOnTheKeyboardIsReadNamedStoredAndSentBack)
{
    Connect();
    ASSERT_EQ(m_kb.RecordMacroOnKeyboard(2, {{0x01, 0x10}, {0x1E, 0x05}}, 0), 1);
    HandleEvents(1);

    EXPECT_EQ(FeatureTrace(), "S4 G8 S8");
    EXPECT_EQ(FeatureLog()[0].vecBytes, (Bytes{0x04, 0x00, 0x02}));
    EXPECT_EQ(m_clock.Pauses(), (std::vector<unsigned>{8, 8, 350}));
    EXPECT_EQ(m_kb.ViolationsText(), "");

    const MacroKey* pMacro = m_pLink->FindMacroKeyByName("Profile1_G3");
    ASSERT_NE(pMacro, nullptr);
    EXPECT_EQ(ActionsOf(*pMacro), (std::vector<MacroAction>{MacroAction::Delay(1064), MacroAction::Key(0x31, false)}));
    EXPECT_EQ(m_profiles[0].m_keys[2].m_strName, "Profile1_G3");
    EXPECT_EQ(m_profiles[0].m_keys[2].m_value, (KeyValue{0x01, 0, 0}));
    EXPECT_EQ(m_kb.MacroName(0, 2), "Profile1_G3");
    EXPECT_EQ(m_ui.m_nRefreshes, 1);
    EXPECT_FALSE(m_pLink->Pending(0).Any());

    MacroLibrary library;
    SettingsStore settings;
    ProfileStore profiles;
    LoadFromDisk(library, settings, profiles);
    EXPECT_EQ(library, m_library);
    EXPECT_EQ(profiles[0], m_profiles[0]);
    EXPECT_FALSE(m_pLink->IsMacroLibraryChanged());

    // Recording again on the same key reuses the macro of that name.
    m_kb.RecordMacroOnKeyboard(2, {{0x04, 0x01}}, 2);
    HandleEvents(1);
    EXPECT_EQ(m_library.FirstSet()->m_vecKeys.size(), 1u);
    EXPECT_EQ(ActionsOf(*pMacro), (std::vector<MacroAction>{MacroAction::Delay(8), MacroAction::Key(0x41, false)}));
    EXPECT_EQ(pMacro->LoopNum, 2);
}

TEST_F(DeviceLinkTest, MacroEventInAnotherProfileAndWithAKeyboardName)
{
    Connect();
    m_kb.PressProfileKey(1);
    HandleEvents(1);
    m_kb.SetMacro(1, 0, std::string("Named"), 1, {{0x04, 0}});
    m_kb.ClearLog();
    DeliverEvent(EventMacroReceived, 1);
    EXPECT_EQ(FeatureTrace(), "S4 G8 S8"); // sent back even though it had a name
    EXPECT_EQ(FeatureLog()[0].vecBytes, (Bytes{0x04, 0x01, 0x00}));
    EXPECT_EQ(m_profiles[1].m_keys[0].m_strName, "Named");
    EXPECT_EQ(m_profiles[1].m_keys[0].m_value, (KeyValue{0x01, 0, 0}));
    EXPECT_EQ(m_profiles[0].m_keys[0].m_strName, "CTRL+1");
}

TEST_F(DeviceLinkTest, MacroEventsThatCannotBeReadChangeNothing)
{
    Connect();
    const MacroLibrary library = m_library;
    const std::string strProfileFile = ReadFile(ProfilePath(0));
    DeliverEvent(EventMacroReceived, 0);
    DeliverEvent(EventMacroReceived, 6);
    EXPECT_EQ(FeatureTrace(), "");
    m_kb.FailGet(8);
    DeliverEvent(EventMacroReceived, 2);
    EXPECT_EQ(FeatureTrace(), "S4 G8!");
    EXPECT_EQ(m_library, library);
    EXPECT_EQ(m_profiles[0].m_keys[1].m_strName, "CTRL+2");
    EXPECT_EQ(ReadFile(ProfilePath(0)), strProfileFile);
    EXPECT_EQ(m_ui.m_nRefreshes, 0);
}

TEST_F(DeviceLinkTest, MacroEventWithoutCommandHandleIsIgnored)
{
    SimCollection commands = SimCollection::KeyboardCommands();
    commands.bOpenable = false;
    m_kb.SetEnumeration({SimCollection::KeyboardEvents(), commands});
    m_pLink->ScanForKeyboard();
    ASSERT_TRUE(m_pLink->IsDeviceFound());
    ASSERT_FALSE(m_pLink->HasCommandHandle());
    ASSERT_TRUE(m_kb.WaitForReaders(1, 5000));
    m_kb.PressProfileKey(0); // the listener now knows the keyboard is on profile 0
    HandleEvents(1);
    m_kb.RecordMacroOnKeyboard(0, {{0x04, 0}});
    HandleEvents(1);
    EXPECT_EQ(FeatureTrace(), "");
    EXPECT_EQ(m_profiles[0].m_keys[0].m_strName, "CTRL+1");
}

TEST_F(DeviceLinkTest, EventsAreHandledInTheOrderTheyCame)
{
    Connect();
    m_kb.SendEvent(EventProfileChanged, 2);
    m_kb.SendEvent(EventWinLockChanged, 0);
    m_kb.SendEvent(EventProfileChanged, 3);
    m_kb.SendEvent(EventColourChanged, 6);
    m_kb.SendEvent(EventAllLockChanged, 1);
    HandleEvents(5);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{2, 4, 3, 7}));
    EXPECT_EQ(m_pLink->DeviceProfile(), 2);
    EXPECT_EQ(m_profiles[2].GetColour(), 6);
    EXPECT_EQ(m_profiles[1].GetColour(), 1);
}

TEST_F(DeviceLinkTest, ASecondScanDoesNotStartASecondReader)
{
    Connect();
    m_pLink->ScanForKeyboard();
    m_pLink->ScanForKeyboard();
    EXPECT_EQ(m_pLink->ListenerStarts(), 1u);
    EXPECT_EQ(m_kb.ReaderCount(), 1u);
    DeliverEvent(EventWinLockChanged, 1);
    m_ui.RunPending();
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{5})); // one reader, one text
}

TEST_F(DeviceLinkTest, OtherCollectionsOnTheEventNodeAreNoEvents)
{
    // The keyboard's media and mouse collections share the event collection's node, as hidraw
    // lists the collections of one USB interface; their reports reach the listener's handle.
    SimCollection events = SimCollection::KeyboardEvents();
    events.nNode = 1;
    SimCollection media = SimCollection::KeyboardEvents();
    media.nUsagePage = 0x000C;
    media.nNode = 1;
    SimCollection mouse = SimCollection::KeyboardEvents();
    mouse.nUsagePage = 0x0001;
    mouse.nUsage = 0x0002;
    mouse.nNode = 1;
    m_kb.SetEnumeration({SimCollection::KeyboardBoot(), media, events, mouse, SimCollection::KeyboardCommands()});
    m_kb.RecordMacroOnKeyboard(2, {{0x04, 0x00}, {0x04, 0x80}});
    Connect();
    const MacroLibrary libraryBefore = m_library;
    const ProfileStore profilesBefore = m_profiles;

    // A left-button drag (buttons 1, x 3) and a right click (buttons 2, x 5) of the mouse report
    // (id 2), and a media report (id 3) whose bytes would read as a profile switch.
    ASSERT_EQ(m_kb.SendInputReport(kSimKeyboardDevice, {2, 1, 3, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(m_kb.SendInputReport(kSimKeyboardDevice, {2, 2, 5, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(m_kb.SendInputReport(kSimKeyboardDevice, {3, 5, 2, 0, 0, 0, 0, 0}), 1);
    DeliverEvent(EventWinLockChanged, 1); // the keyboard's own event (id 1) after them
    m_ui.RunPending();

    EXPECT_EQ(m_ui.m_nRan, 1u);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{5}));
    EXPECT_EQ(m_pLink->DeviceProfile(), 0);
    EXPECT_EQ(m_profiles.m_records, profilesBefore.m_records);
    EXPECT_EQ(m_library, libraryBefore);
    EXPECT_EQ(FeatureTrace(), "");
}

TEST_F(DeviceLinkTest, EventsStillQueuedAtShutdownAreDropped)
{
    Connect();
    m_kb.SendEvent(EventWinLockChanged, 0);
    m_kb.SendEvent(EventColourChanged, 4);
    ASSERT_TRUE(m_ui.WaitForQueued(2, 5000));
    m_pLink->Shutdown();
    EXPECT_FALSE(m_pLink->IsListenerRunning());
    EXPECT_EQ(m_ui.RunPending(), 2u);
    EXPECT_TRUE(m_ui.m_vecOsd.empty());
    EXPECT_EQ(m_profiles[0].GetColour(), 1);
}

TEST_F(DeviceLinkTest, KeyboardEventsDuringUploadsNeverSplitAnExchange)
{
    Connect();
    for (int p = 0; p < DeviceProfileCount; ++p)
    {
        for (int k = 0; k < ProgrammableKeyCount; ++k)
        {
            const std::string strName = MadeUpMacroName(p, k);
            MacroKey& macro = m_library.FirstSet()->AppendKey(strName);
            macro.InsertAction(0, MacroAction::Key(0x41, false));
            m_profiles[p].AssignProgrammableKey(k, strName, KeyValue{0x01, 0, 0}, "");
        }
    }

    std::atomic<bool> bDone{false};
    std::atomic<size_t> nSent{0};
    std::atomic<int> nFlushes{0};
    std::thread keyboard(
        [&]
        {
            for (int i = 0; i < 120; ++i)
            {
                int nReaders = 0;
                switch (i % 5)
                {
                case 0: nReaders = m_kb.RecordMacroOnKeyboard(i % 5, {{0x04, static_cast<uint8_t>(i)}}); break;
                case 1: nReaders = m_kb.ToggleWindowsLock(); break;
                case 2: nReaders = m_kb.ChangeColourOnKeyboard(static_cast<uint8_t>(1 + i % 7)); break;
                case 3: nReaders = m_kb.PressProfileKey(i % 3); break;
                default: nReaders = m_kb.RecordMacroOnKeyboard(3, {{0x01, 20}, {0x05, 0x80}}); break;
                }
                nSent += static_cast<size_t>(nReaders);
                // One event per upload at least, so that events keep arriving while uploads run.
                const int nSeen = nFlushes.load();
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (nFlushes.load() <= nSeen + 1 && std::chrono::steady_clock::now() < until)
                    std::this_thread::yield();
            }
            bDone = true;
        });

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while ((!bDone.load() || m_ui.m_nRan < nSent.load()) && std::chrono::steady_clock::now() < deadline)
    {
        for (int p = 0; p < DeviceProfileCount; ++p)
        {
            m_pLink->MarkLightingPending(p);
            m_pLink->MarkKeyTablePending(p);
            for (int k = 0; k < ProgrammableKeyCount; ++k)
                m_pLink->MarkMacroPending(p, k);
        }
        m_pLink->FlushPendingChanges();
        ++nFlushes;
        // Like a real UI thread, go back to the queue between uploads (and let the keyboard
        // and the listener at the simulator's lock, which a busy loop would starve).
        m_ui.WaitForQueued(1, 5);
        m_ui.RunPending();
    }
    keyboard.join();
    m_ui.RunPending();

    EXPECT_GE(nFlushes.load(), 120);
    EXPECT_EQ(m_ui.m_nRan, nSent.load());
    EXPECT_GE(m_kb.CountReports(ESimDirection::Get, 8), 1u);
    EXPECT_FALSE(m_kb.HasInterleaving()) << m_kb.ViolationsText();
    EXPECT_EQ(m_kb.ViolationsText(), "");
}
