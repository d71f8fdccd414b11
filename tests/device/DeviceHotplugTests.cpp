// Devices coming and going, driven through the simulator's hot-plug queue the way the window
// wires the udev monitor to the link.

#include <chrono>
#include <thread>

#include "DeviceTestSupport.h"
#include "device/HotplugDispatch.h"

namespace
{
constexpr int ForeignMouse = 1; // device number of the mouse in the simulator's default list
} // namespace

class DeviceHotplugTest : public DeviceLinkTest
{
protected:
    // Hands the queued arrivals and removals to the link as the window does; returns their number.
    int DispatchHotplug() { return DispatchHotplugEvents(m_kb, *m_pLink); }
    size_t Opens() const { return m_kb.CountReports(ESimDirection::Open); }
};

TEST_F(DeviceHotplugTest, AnotherDeviceComingOrGoingChangesNothing)
{
    Connect();
    m_kb.UnplugDevice(ForeignMouse);
    EXPECT_GE(DispatchHotplug(), 1);
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_TRUE(m_ui.m_vecAttentions.empty());
    EXPECT_EQ(m_pLink->ListenerStarts(), 1u);
    EXPECT_EQ(FeatureTrace(), ""); // the keyboard is not read again

    const size_t nOpens = Opens();
    m_kb.PlugDevice(ForeignMouse);
    EXPECT_GE(DispatchHotplug(), 1);
    EXPECT_EQ(Opens(), nOpens); // arrival while connected: not even a scan
    EXPECT_TRUE(m_pLink->SetDeviceProfile(1));
    DeliverEvent(EventWinLockChanged, 0);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{OsdWinKeyDisabled}));
}

TEST_F(DeviceHotplugTest, KeyboardLeavesOnceAndIsReadAgainWhenBack)
{
    Connect();
    m_kb.Unplug();
    EXPECT_GE(DispatchHotplug(), 2); // one removal per node of the keyboard
    EXPECT_FALSE(m_pLink->IsDeviceFound());
    EXPECT_TRUE(m_pLink->IsSyncDue());
    EXPECT_FALSE(m_pLink->HasCommandHandle());
    ASSERT_EQ(m_ui.m_vecAttentions.size(), 1u);
    EXPECT_EQ(m_ui.m_vecAttentions[0].first, "Attention!");
    EXPECT_EQ(m_ui.m_vecAttentions[0].second, "The keyboard is disconnection\xEF\xBC\x8CPlease connect!");
    EXPECT_TRUE(WaitUntil([&] { return !m_pLink->IsListenerRunning(); }));

    m_kb.UnplugDevice(ForeignMouse); // another removal while disconnected: nothing
    DispatchHotplug();
    EXPECT_EQ(m_ui.m_vecAttentions.size(), 1u);

    // Changed on another computer meanwhile.
    m_kb.SetLighting(1, 6, 24);
    m_kb.SetActiveProfile(2);
    m_kb.Plug();
    m_kb.ClearLog();
    EXPECT_GE(DispatchHotplug(), 1);
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_FALSE(m_pLink->IsSyncDue());
    EXPECT_EQ(FeatureTrace(), "G5 S4 G7 S4 G7 S4 G7 S4 G6 S4 G6 S4 G6"); // read once
    EXPECT_EQ(m_profiles[1].GetColour(), 6);
    EXPECT_EQ(m_profiles[1].GetBrightness(), 24);
    EXPECT_EQ(m_pLink->DeviceProfile(), 2);
    EXPECT_EQ(m_ui.m_nRefreshes, 1);
    EXPECT_EQ(m_pLink->ListenerStarts(), 2u);
    DeliverEvent(EventAllLockChanged, 1);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{OsdAllKeysEnabled}));
    EXPECT_EQ(m_ui.m_vecAttentions.size(), 1u);
}

TEST_F(DeviceHotplugTest, KeyboardBackBeforeTheRemovalWasHandled)
{
    Connect();
    m_kb.Unplug();
    m_kb.Plug(); // new nodes; the old listener's read fails
    DispatchHotplug();
    // The first removal's scan already sees the keyboard again: it stays connected and listens
    // on the new node.
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_TRUE(m_ui.m_vecAttentions.empty());
    EXPECT_TRUE(m_pLink->SetDeviceProfile(2));
    DeliverEvent(EventWinLockChanged, 1);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{OsdWinKeyEnabled}));
    EXPECT_EQ(m_kb.ReaderCount(), 1u);
}

TEST_F(DeviceHotplugTest, StartingWithoutTheKeyboardConnectsOnArrival)
{
    m_kb.Unplug();
    m_kb.DrainEvents([](const HotplugEvent&) {});
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    EXPECT_FALSE(m_pLink->IsDeviceFound());
    EXPECT_TRUE(m_ui.m_vecAttentions.empty()); // a missing keyboard is not an error

    m_kb.UnplugDevice(ForeignMouse);
    m_kb.PlugDevice(ForeignMouse);
    DispatchHotplug();
    EXPECT_FALSE(m_pLink->IsDeviceFound());
    EXPECT_EQ(FeatureTrace(), "");

    m_kb.Plug();
    DispatchHotplug();
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Get, 5), 1u);
    EXPECT_EQ(m_pLink->DeviceProfile(), 0);
    EXPECT_TRUE(m_kb.WaitForReaders(1, 5000));
}

TEST_F(DeviceHotplugTest, CollectionsArrivingOneAtATimeEndFullyConnected)
{
    // The event node is announced before the command node exists.
    m_kb.SetEnumeration({SimCollection::Foreign(ForeignMouse), SimCollection::KeyboardEvents()});
    m_pLink->OnDeviceArrival();
    EXPECT_TRUE(m_pLink->IsDeviceFound());
    EXPECT_FALSE(m_pLink->HasCommandHandle());
    EXPECT_TRUE(m_pLink->IsSyncDue()); // nothing could be read yet

    m_kb.SetEnumeration(
        {SimCollection::Foreign(ForeignMouse), SimCollection::KeyboardEvents(), SimCollection::KeyboardCommands()});
    m_kb.SetActiveProfile(1);
    m_kb.ClearLog();
    m_pLink->OnDeviceArrival();
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_FALSE(m_pLink->IsSyncDue());
    EXPECT_EQ(m_pLink->DeviceProfile(), 1);
    EXPECT_EQ(FeatureTrace(), "G5 S4 G7 S4 G7 S4 G7 S4 G6 S4 G6 S4 G6");
    ASSERT_TRUE(WaitUntil([&] { return m_pLink->IsListenerRunning(); }));
    DeliverEvent(EventWinLockChanged, 1);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{OsdWinKeyEnabled}));

    // Now the other way round: the command node first, the event node later.
    m_kb.Unplug();
    DispatchHotplug();
    ASSERT_FALSE(m_pLink->IsDeviceFound());
    m_kb.SetEnumeration({SimCollection::Foreign(ForeignMouse), SimCollection::KeyboardCommands()});
    m_kb.Plug();
    m_kb.DrainEvents([](const HotplugEvent&) {});
    m_kb.ClearLog();
    m_pLink->OnDeviceArrival();
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Get, 5), 1u);
    EXPECT_TRUE(WaitUntil([&] { return !m_pLink->IsListenerRunning(); }));

    m_kb.SetEnumeration(
        {SimCollection::Foreign(ForeignMouse), SimCollection::KeyboardCommands(), SimCollection::KeyboardEvents()});
    m_pLink->OnDeviceArrival();
    EXPECT_TRUE(m_pLink->HasCommandHandle());
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Get, 5), 1u); // read once, not again
    ASSERT_TRUE(m_kb.WaitForReaders(1, 5000));
    DeliverEvent(EventAllLockChanged, 0);
    EXPECT_EQ(m_ui.m_vecOsd, (std::vector<int>{OsdWinKeyEnabled, OsdAllKeysDisabled}));
}

TEST_F(DeviceHotplugTest, NothingHappensAfterShutdown)
{
    Connect();
    m_pLink->Shutdown();
    m_kb.Unplug();
    DispatchHotplug();
    m_kb.Plug();
    DispatchHotplug();
    m_pLink->ScanForKeyboard();
    EXPECT_TRUE(m_ui.m_vecAttentions.empty());
    EXPECT_EQ(m_pLink->ListenerStarts(), 1u);
    EXPECT_FALSE(m_pLink->HasCommandHandle());
}
