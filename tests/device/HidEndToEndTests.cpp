// The real hidapi backend and udev monitor, end to end. The keyboard's sysfs entries, device
// nodes and uevents are umockdev's; what the nodes answer comes from the simulator's firmware
// (see UmockdevKeyboard.h). The program runs itself again under the umockdev preload library.

#include <filesystem>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "DeviceTestSupport.h"
#include "UmockdevKeyboard.h"
#include "device/HotplugDispatch.h"
#include "platform/HidapiBackend.h"
#include "platform/UdevHotplugMonitor.h"

namespace
{
size_t CountEntries(const char* pFolder)
{
    size_t nCount = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(pFolder))
        ++nCount;
    return nCount;
}

// Descriptors of this process open on a path under strFolder, with their close-on-exec flag.
std::vector<std::pair<std::string, bool>> DescriptorsUnder(const std::string& strFolder)
{
    std::vector<std::pair<std::string, bool>> vecFound;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    {
        std::error_code error;
        const std::string strTarget = std::filesystem::read_symlink(entry.path(), error).string();
        if (error || strTarget.rfind(strFolder, 0) != 0)
            continue;
        const int nFd = std::stoi(entry.path().filename().string());
        vecFound.emplace_back(strTarget, (fcntl(nFd, F_GETFD) & FD_CLOEXEC) != 0);
    }
    return vecFound;
}
} // namespace

class HidEndToEndTest : public ::testing::Test
{
protected:
    HidEndToEndTest() { m_pFiles = MakeFreshDataFolder(m_strDir, m_library, m_settings, m_profiles); }
    ~HidEndToEndTest() override
    {
        Stop();
        std::filesystem::remove_all(m_strDir);
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_mock.IsReady()) << "not running under the umockdev preload";
        m_mock.PlugMouse();
        m_mock.PlugKeyboard();
    }

    // The program's side: the real backend and monitor, and the link on them.
    void Start()
    {
        m_pBackend = std::make_unique<CHidapiBackend>();
        m_pMonitor = std::make_unique<CUdevHotplugMonitor>();
        m_pLink = std::make_unique<CDeviceLink>(m_profiles, m_settings, m_library, *m_pFiles, *m_pBackend, m_clock,
                                                m_launcher, m_ui);
    }
    void Stop()
    {
        m_pLink.reset();
        m_ui.RunPending();
        m_pMonitor.reset();
        m_pBackend.reset();
    }

    // Waits until the monitor's descriptor polls readable, then hands its events to the link as
    // the window does. Returns their number.
    int DispatchWhenReadable()
    {
        pollfd poll{m_pMonitor->Fd(), POLLIN, 0};
        if (::poll(&poll, 1, 5000) != 1)
            return 0;
        return DispatchHotplugEvents(*m_pMonitor, *m_pLink);
    }

    // The listener alone reads the event node (the scan's probe has closed its own), and waits
    // in a read.
    bool WaitForListener()
    {
        return WaitUntil([&] { return m_firmware.ReaderCount() == 1 && m_mock.WaitingReads() >= 1; });
    }

    // Runs the UI queue until nEvents more posted events have been handled.
    bool HandleEvents(size_t nEvents)
    {
        const size_t nTarget = m_ui.m_nRan + nEvents;
        return m_ui.RunUntil([&] { return m_ui.m_nRan >= nTarget; });
    }

    std::string m_strDir;
    CManualClock m_clock;
    CSimulatedKeyboard m_firmware{m_clock};
    CUmockdevKeyboard m_mock{m_firmware};
    ProfileStore m_profiles;
    SettingsStore m_settings;
    MacroLibrary m_library;
    std::unique_ptr<CDataFiles> m_pFiles;
    CTestUi m_ui;
    CRecordingLauncher m_launcher;
    std::unique_ptr<CHidapiBackend> m_pBackend;
    std::unique_ptr<CUdevHotplugMonitor> m_pMonitor;
    std::unique_ptr<CDeviceLink> m_pLink;
};

// ---- Enumeration ----

TEST_F(HidEndToEndTest, EnumerationListsEveryCollectionWithWhatItsDescriptorSays)
{
    Start();
    const std::vector<HidInterfaceInfo> vecInfo = m_pBackend->Enumerate();
    std::vector<std::string> vecNodes = m_mock.KeyboardNodes();
    ASSERT_EQ(vecNodes.size(), 3u);
    const HidInterfaceInfo* pEvents = nullptr;
    const HidInterfaceInfo* pCommands = nullptr;
    const HidInterfaceInfo* pBoot = nullptr;
    bool bMouse = false;
    for (const HidInterfaceInfo& info : vecInfo)
    {
        bMouse = bMouse || (info.nVendorId == 0x046D && info.nUsagePage == 0x0001 && info.nUsage == 0x0002);
        if (info.nVendorId != 0x04F3 || info.nProductId != 0x1406)
            continue;
        if (info.nUsagePage == 0x000A)
            pEvents = &info;
        if (info.nUsagePage == 0x000B)
            pCommands = &info;
        if (info.nUsagePage == 0x0001 && info.nUsage == 0x0006)
            pBoot = &info;
    }
    EXPECT_TRUE(bMouse);
    ASSERT_TRUE(pEvents && pCommands && pBoot);
    EXPECT_EQ(pBoot->strPath, vecNodes[0]);
    EXPECT_EQ(pEvents->strPath, vecNodes[1]);
    EXPECT_EQ(pCommands->strPath, vecNodes[2]);
    // From the report descriptor in sysfs: the event report's id and its length with that id.
    EXPECT_EQ(pEvents->nInputReportLength, 8);
    EXPECT_EQ(pEvents->vecInputReportIds, std::vector<uint8_t>{1});
    EXPECT_EQ(pCommands->nInputReportLength, 0);

    // Feature reports with their report id byte, both ways, on the real node.
    std::unique_ptr<CHidHandle> pHandle = m_pBackend->Open(pCommands->strPath);
    ASSERT_TRUE(pHandle);
    const uint8_t arrProfile[3] = {0x05, 0x03, 0x02};
    EXPECT_TRUE(pHandle->SetFeature(arrProfile, 3));
    EXPECT_EQ(m_firmware.ActiveProfile(), 2);
    uint8_t arrReply[3] = {0x05, 0, 0};
    EXPECT_EQ(pHandle->GetFeature(arrReply, 3), 3);
    EXPECT_EQ(arrReply[2], 2);
    EXPECT_EQ(m_firmware.FeatureTrace(), "S5 G5");
    EXPECT_EQ(m_pBackend->Open("/dev/hidraw99"), nullptr);
}

// ---- The whole way ----

TEST_F(HidEndToEndTest, SyncApplyEventUnplugAndReplugRunThroughTheRealBackendAndMonitor)
{
    // What the keyboard holds before the program starts.
    m_firmware.SetLighting(1, 5, 4);
    m_firmware.SetActiveProfile(1);
    m_firmware.SetKeyValue(0, 2, 0x01, 0x00, 0x00);
    m_firmware.SetMacro(0, 2, std::string("Hello"), 0, {{0x0B, 0x02}, {0x0B, 0x84}});
    const size_t nThreadsBefore = CountEntries("/proc/self/task");
    const std::string strNodes = m_mock.RootDir() + "/dev/";
    Start();

    // Start-up: scan and sync.
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    ASSERT_TRUE(m_pLink->IsDeviceFound());
    ASSERT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_EQ(m_pLink->DeviceProfile(), 1);
    EXPECT_EQ(m_profiles[1].GetColour(), 5);
    EXPECT_EQ(m_profiles[1].GetBrightness(), 4);
    EXPECT_EQ(m_profiles[0].m_keys[2].m_strName, "Hello");
    ASSERT_NE(m_pLink->FindMacroKeyByName("Hello"), nullptr);
    EXPECT_EQ(m_firmware.FeatureTrace().substr(0, 18), "G5 S4 G7 S4 G7 S4 ");
    EXPECT_EQ(m_firmware.ViolationsText(), "");
    ASSERT_TRUE(WaitForListener()) << m_firmware.ReaderCount() << " readers, " << m_mock.WaitingReads() << " reads";

    // Every node the program holds open is closed for a program it starts, and so is the monitor.
    const auto vecOpen = DescriptorsUnder(strNodes);
    EXPECT_EQ(vecOpen.size(), 2u); // the command handle and the listener's
    for (const auto& [strPath, bCloseOnExec] : vecOpen)
        EXPECT_TRUE(bCloseOnExec) << strPath;
    EXPECT_TRUE(fcntl(m_pMonitor->Fd(), F_GETFD) & FD_CLOEXEC);

    // Apply.
    m_firmware.ClearLog();
    m_profiles[2].SetColour(6);
    m_pLink->MarkLightingPending(2);
    m_profiles[0].AllRCKey[10] = 0x2C;
    m_pLink->MarkKeyTablePending(0);
    m_pLink->FlushPendingChanges();
    EXPECT_EQ(m_firmware.FeatureTrace(), "S7 S6");
    EXPECT_EQ(m_firmware.Colour(2), 6);
    EXPECT_TRUE(m_firmware.KeyTable(0) == m_profiles[0].AllRCKey);

    // Events read from the node: a profile key, and a macro recorded on the keyboard, which the
    // link reads and names through the node again.
    ASSERT_EQ(m_firmware.PressProfileKey(2), 1);
    ASSERT_TRUE(HandleEvents(1));
    EXPECT_EQ(m_pLink->DeviceProfile(), 2);
    EXPECT_EQ(m_ui.m_vecOsd, std::vector<int>{OsdProfileThree});
    ASSERT_EQ(m_firmware.RecordMacroOnKeyboard(1, {{0x04, 0x02}, {0x04, 0x82}}), 1);
    ASSERT_TRUE(HandleEvents(1));
    EXPECT_EQ(m_profiles[2].m_keys[1].m_strName, "Profile3_G2");
    EXPECT_EQ(m_firmware.MacroName(2, 1), "Profile3_G2");

    // Unplug: one removal per node through the monitor, the attention once, the listener ends.
    m_mock.UnplugKeyboard();
    EXPECT_EQ(DispatchWhenReadable(), 3);
    EXPECT_FALSE(m_pLink->IsDeviceFound());
    EXPECT_FALSE(m_pLink->HasCommandHandle());
    EXPECT_EQ(m_ui.m_vecAttentions.size(), 1u);
    EXPECT_TRUE(WaitUntil([&] { return !m_pLink->IsListenerRunning(); }));
    EXPECT_TRUE(DescriptorsUnder(strNodes).empty());

    // Replug, changed meanwhile: new nodes, read again, events flow again.
    m_firmware.SetLighting(0, 2, 2);
    m_mock.PlugKeyboard();
    EXPECT_EQ(DispatchWhenReadable(), 3);
    ASSERT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_EQ(m_profiles[0].GetColour(), 2);
    EXPECT_EQ(m_profiles[0].GetBrightness(), 2);
    ASSERT_TRUE(WaitForListener());
    ASSERT_EQ(m_firmware.ToggleWindowsLock(), 1);
    ASSERT_TRUE(HandleEvents(1));
    EXPECT_EQ(m_ui.m_vecOsd.back(), OsdWinKeyDisabled);
    EXPECT_EQ(m_firmware.ViolationsText(), "");

    // Program end: the end value reaches the keyboard, then nothing is left open or running.
    m_pLink->Shutdown();
    EXPECT_EQ(m_firmware.LastProfileCommand(), 7);
    Stop();
    EXPECT_TRUE(DescriptorsUnder(strNodes).empty());
    EXPECT_EQ(CountEntries("/proc/self/task"), nThreadsBefore);
}

int main(int argc, char** argv)
{
    if (!RunUnderUmockdev(argc, argv))
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
