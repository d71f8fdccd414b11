#include "platform/simulator/ManualClock.h"
#include "platform/simulator/SimulatedKeyboard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <poll.h>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

class SimulatedKeyboardTest : public ::testing::Test
{
protected:
    CManualClock m_clock;
    CSimulatedKeyboard m_kb{m_clock};

    std::string PathOfPage(uint16_t nPage)
    {
        std::string strPath;
        for (const HidInterfaceInfo& info : m_kb.Enumerate())
            if (info.nUsagePage == nPage && info.nVendorId == 0x04F3)
                strPath = info.strPath;
        return strPath;
    }
    std::unique_ptr<CHidHandle> OpenCommands() { return m_kb.Open(PathOfPage(0x000B)); }
    std::unique_ptr<CHidHandle> OpenEvents() { return m_kb.Open(PathOfPage(0x000A)); }

    // A select and its get, as the device link does them, with the protocol pauses.
    static Bytes SelectAndGet(CHidHandle& handle, CClock& clock, uint8_t nProfile, uint8_t nKey, uint8_t nId,
                              size_t nLength)
    {
        uint8_t arrSelect[3] = {0x04, nProfile, nKey};
        handle.SetFeature(arrSelect, 3);
        clock.SleepMs(8);
        Bytes vecBuffer(nLength, 0);
        vecBuffer[0] = nId;
        int nGot = handle.GetFeature(vecBuffer.data(), vecBuffer.size());
        clock.SleepMs(8);
        vecBuffer.resize(nGot < 0 ? 0 : static_cast<size_t>(nGot));
        return vecBuffer;
    }
};

Bytes Report6(uint8_t nProfile, uint8_t nFill)
{
    Bytes vecReport(184, 0);
    vecReport[0] = 0x06;
    vecReport[1] = 0xB8;
    vecReport[2] = nProfile;
    for (int i = 0; i < 160; ++i)
        vecReport[8 + i] = static_cast<uint8_t>(nFill + i);
    const uint8_t arrValues[15] = {0x01, 0, 0, 0x02, 0xA3, 0, 0x03, 0x04, 0, 0x06, 0x05, 0x2C, 0x07, 0, 0};
    for (int i = 0; i < 15; ++i)
        vecReport[168 + i] = arrValues[i];
    return vecReport;
}
} // namespace

// ---- Enumeration ----

TEST_F(SimulatedKeyboardTest, DefaultEnumerationListsBothCollectionsAmongOthers)
{
    std::vector<HidInterfaceInfo> vecList = m_kb.Enumerate();
    ASSERT_EQ(vecList.size(), 4u);
    EXPECT_NE(vecList[0].nVendorId, 0x04F3);
    EXPECT_EQ(vecList[2].nUsagePage, 0x000A);
    EXPECT_EQ(vecList[2].nVendorId, 0x04F3);
    EXPECT_EQ(vecList[2].nProductId, 0x1406);
    EXPECT_EQ(vecList[2].nInputReportLength, 8);
    EXPECT_EQ(vecList[3].nUsagePage, 0x000B);
    EXPECT_NE(vecList[2].strPath, vecList[3].strPath);
    // The ordinary keyboard collection is listed but cannot be opened.
    EXPECT_EQ(vecList[1].nUsagePage, 0x0001);
    EXPECT_EQ(m_kb.Open(vecList[1].strPath), nullptr);
    EXPECT_NE(m_kb.Open(vecList[0].strPath), nullptr);
    EXPECT_EQ(m_kb.Open("/no/such/path"), nullptr);
}

TEST_F(SimulatedKeyboardTest, PlaceKeyboardPutsCollectionsAtTheGivenIndices)
{
    m_kb.PlaceKeyboard(31, 5);
    std::vector<HidInterfaceInfo> vecList = m_kb.Enumerate();
    ASSERT_EQ(vecList.size(), 32u);
    for (size_t i = 0; i < vecList.size(); ++i)
    {
        bool bKeyboard = vecList[i].nVendorId == 0x04F3 && vecList[i].nProductId == 0x1406;
        EXPECT_EQ(bKeyboard, i == 5 || i == 31) << i;
    }
    EXPECT_EQ(vecList[31].nUsagePage, 0x000A);
    EXPECT_EQ(vecList[5].nUsagePage, 0x000B);

    m_kb.PlaceKeyboard(-1, 0); // only the command collection
    vecList = m_kb.Enumerate();
    ASSERT_EQ(vecList.size(), 1u);
    EXPECT_EQ(vecList[0].nUsagePage, 0x000B);
}

TEST_F(SimulatedKeyboardTest, TwoCommandCollectionsBothReachTheFirmwareAndTheLogTellsWhich)
{
    m_kb.SetEnumeration(
        {SimCollection::KeyboardCommands(), SimCollection::KeyboardEvents(), SimCollection::KeyboardCommands()});
    std::vector<HidInterfaceInfo> vecList = m_kb.Enumerate();
    ASSERT_EQ(vecList.size(), 3u);
    std::unique_ptr<CHidHandle> pHigh = m_kb.Open(vecList[2].strPath);
    ASSERT_NE(pHigh, nullptr);
    uint8_t arrSet[3] = {0x05, 0x03, 0x02};
    EXPECT_TRUE(pHigh->SetFeature(arrSet, 3));
    EXPECT_EQ(m_kb.ActiveProfile(), 2);
    EXPECT_EQ(m_kb.Log().back().strPath, vecList[2].strPath);
}

TEST_F(SimulatedKeyboardTest, CollectionsSharingANodeShareOnePath)
{
    SimCollection events = SimCollection::KeyboardEvents();
    SimCollection commands = SimCollection::KeyboardCommands();
    events.nNode = commands.nNode = 7;
    m_kb.SetEnumeration({events, commands});
    std::vector<HidInterfaceInfo> vecList = m_kb.Enumerate();
    ASSERT_EQ(vecList.size(), 2u);
    EXPECT_EQ(vecList[0].strPath, vecList[1].strPath);
    std::unique_ptr<CHidHandle> pHandle = m_kb.Open(vecList[0].strPath);
    ASSERT_NE(pHandle, nullptr);
    uint8_t arrGet[3] = {0x05, 0, 0};
    EXPECT_EQ(pHandle->GetFeature(arrGet, 3), 3);
    // The same node also carries the events, to every handle on it, as hidraw does.
    std::unique_ptr<CHidHandle> pReader = m_kb.Open(vecList[0].strPath);
    EXPECT_EQ(m_kb.SendEvent(5, 1), 2);
    EXPECT_FALSE(m_kb.WaitUntilInputConsumed(0));
    uint8_t arrEvent[8];
    EXPECT_EQ(pReader->Read(arrEvent, 8, 0), 8);
    EXPECT_TRUE(m_kb.WaitUntilInputConsumed(0)); // the command handle never reads: not waited for
    EXPECT_EQ(pHandle->Read(arrEvent, 8, 0), 8);
}

// ---- Report layouts ----

TEST_F(SimulatedKeyboardTest, Report5ActivatesProfilesAndTheEndValueLeavesTheActiveProfile)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    ASSERT_NE(pCmd, nullptr);
    uint8_t arrReply[3] = {0x05, 0, 0};
    ASSERT_EQ(pCmd->GetFeature(arrReply, 3), 3);
    EXPECT_EQ(Bytes(arrReply, arrReply + 3), (Bytes{0x05, 0x03, 0x00}));

    uint8_t arrSet[3] = {0x05, 0x03, 0x02};
    EXPECT_TRUE(pCmd->SetFeature(arrSet, 3));
    EXPECT_EQ(m_kb.ActiveProfile(), 2);
    m_clock.SleepMs(15);

    uint8_t arrEnd[3] = {0x05, 0x03, 0x07};
    EXPECT_TRUE(pCmd->SetFeature(arrEnd, 3));
    EXPECT_EQ(m_kb.ActiveProfile(), 2);
    EXPECT_EQ(m_kb.LastProfileCommand(), 7);
    m_clock.SleepMs(15);

    uint8_t arrAgain[3] = {0x05, 0, 0};
    ASSERT_EQ(pCmd->GetFeature(arrAgain, 3), 3);
    EXPECT_EQ(arrAgain[2], 0x02);
    EXPECT_EQ(m_kb.Violations().size(), 0u) << m_kb.ViolationsText();
}

TEST_F(SimulatedKeyboardTest, Report7StoresLightingPerProfileAndTheSelectChoosesTheReply)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    uint8_t arrSet[6] = {0x07, 0x0D, 0x01, 0x00, 0x05, 0x18};
    EXPECT_TRUE(pCmd->SetFeature(arrSet, 6));
    m_clock.SleepMs(15);
    EXPECT_EQ(m_kb.Colour(1), 5);
    EXPECT_EQ(m_kb.Brightness(1), 24);
    EXPECT_EQ(m_kb.Colour(0), 1); // factory lighting elsewhere

    EXPECT_EQ(SelectAndGet(*pCmd, m_clock, 1, 0, 0x07, 6), (Bytes{0x07, 0x0D, 0x01, 0x00, 0x05, 0x18}));
    EXPECT_EQ(SelectAndGet(*pCmd, m_clock, 0, 0, 0x07, 6), (Bytes{0x07, 0x0D, 0x00, 0x00, 0x01, 0x08}));
    EXPECT_EQ(m_kb.Violations().size(), 0u) << m_kb.ViolationsText();
}

TEST_F(SimulatedKeyboardTest, Report6FactoryReplyAndRoundTrip)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    Bytes vecFactory = SelectAndGet(*pCmd, m_clock, 0, 0, 0x06, 184);
    ASSERT_EQ(vecFactory.size(), 184u);
    EXPECT_EQ(vecFactory[0], 0x06);
    EXPECT_EQ(Bytes(vecFactory.begin() + 8, vecFactory.begin() + 12), (Bytes{0x1D, 0x1E, 0xAF, 0xA4}));
    EXPECT_EQ(Bytes(vecFactory.begin() + 8 + 0x90, vecFactory.begin() + 8 + 0x94), (Bytes{0xE8, 0x0A, 0xC7, 0x0C}));
    EXPECT_EQ(vecFactory[8 + 159], 0x0B);
    // Ctrl+1 .. Ctrl+5 on the programmable keys
    EXPECT_EQ(Bytes(vecFactory.begin() + 168, vecFactory.begin() + 183),
              (Bytes{0x06, 0x01, 0x1E, 0x06, 0x01, 0x1F, 0x06, 0x01, 0x20, 0x06, 0x01, 0x21, 0x06, 0x01, 0x22}));
    EXPECT_EQ(vecFactory[183], 0x00);

    Bytes vecSet = Report6(2, 0x10);
    EXPECT_TRUE(pCmd->SetFeature(vecSet.data(), vecSet.size()));
    m_clock.SleepMs(350);
    EXPECT_EQ(m_kb.KeyTable(2)[0], 0x10);
    EXPECT_EQ(m_kb.KeyTable(2)[159], static_cast<uint8_t>(0x10 + 159));
    EXPECT_EQ(m_kb.KeyValue(2, 1), (std::array<uint8_t, 3>{0x02, 0xA3, 0x00}));
    EXPECT_EQ(m_kb.KeyValue(2, 4), (std::array<uint8_t, 3>{0x07, 0x00, 0x00}));
    EXPECT_EQ(m_kb.KeyTable(1)[0], 0x1D); // other profiles untouched

    Bytes vecBack = SelectAndGet(*pCmd, m_clock, 2, 0, 0x06, 184);
    ASSERT_EQ(vecBack.size(), 184u);
    EXPECT_EQ(Bytes(vecBack.begin() + 8, vecBack.begin() + 183), Bytes(vecSet.begin() + 8, vecSet.begin() + 183));
    EXPECT_EQ(m_kb.Violations().size(), 0u) << m_kb.ViolationsText();
}

TEST_F(SimulatedKeyboardTest, Report8StoresTheMacroOfOneKeyAndFactoryMacrosHaveNoName)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    Bytes vecFactory = SelectAndGet(*pCmd, m_clock, 1, 2, 0x08, 226);
    ASSERT_EQ(vecFactory.size(), 226u);
    EXPECT_EQ(vecFactory[8], 0xFF);
    EXPECT_EQ(vecFactory[9], 0xFF);
    EXPECT_EQ(vecFactory[33], 0);

    Bytes vecSet(226, 0);
    const uint8_t arrHead[] = {0x08, 0xE2, 0x01, 0x02, 0, 0, 0, 0, 'H', 'e', 'l', 'l', 'o'};
    std::copy(std::begin(arrHead), std::end(arrHead), vecSet.begin());
    vecSet[32] = 3;    // repeat count
    vecSet[33] = 2;    // steps
    vecSet[34] = 0x1E; // press '1' after 40 ms
    vecSet[35] = 0x05;
    vecSet[36] = 0x1E; // release
    vecSet[37] = 0x80;
    EXPECT_TRUE(pCmd->SetFeature(vecSet.data(), vecSet.size()));
    m_clock.SleepMs(350);
    EXPECT_EQ(m_kb.MacroName(1, 2), "Hello");
    EXPECT_EQ(m_kb.MacroLoop(1, 2), 3);
    EXPECT_EQ(m_kb.MacroSteps(1, 2), (std::vector<SimStep>{{0x1E, 0x05}, {0x1E, 0x80}}));
    EXPECT_FALSE(m_kb.HasMacroName(1, 1));

    Bytes vecBack = SelectAndGet(*pCmd, m_clock, 1, 2, 0x08, 226);
    ASSERT_EQ(vecBack.size(), 226u);
    EXPECT_EQ(Bytes(vecBack.begin() + 8, vecBack.end()), Bytes(vecSet.begin() + 8, vecSet.end()));
    EXPECT_EQ(m_kb.Violations().size(), 0u) << m_kb.ViolationsText();
}

TEST_F(SimulatedKeyboardTest, MalformedReportsAreRefusedOrFlagged)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    Bytes vecShort(100, 0);
    vecShort[0] = 0x06;
    vecShort[1] = 0xB8;
    EXPECT_FALSE(pCmd->SetFeature(vecShort.data(), vecShort.size()));
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::WrongLength), 1u);
    EXPECT_EQ(m_kb.KeyTable(0)[0], 0x1D);

    uint8_t arrUnknown[3] = {0x09, 0, 0};
    EXPECT_FALSE(pCmd->SetFeature(arrUnknown, 3));
    uint8_t arrGet4[3] = {0x04, 0, 0};
    EXPECT_EQ(pCmd->GetFeature(arrGet4, 3), -1);
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::UnknownReport), 2u);

    uint8_t arrBadHeader[6] = {0x07, 0x00, 0x00, 0x00, 0x03, 0x04};
    EXPECT_TRUE(pCmd->SetFeature(arrBadHeader, 6));
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::BadHeader), 1u);
    EXPECT_EQ(m_kb.Colour(0), 3);

    uint8_t arrProfile3[6] = {0x07, 0x0D, 0x03, 0x00, 0x02, 0x02};
    EXPECT_TRUE(pCmd->SetFeature(arrProfile3, 6));
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::OutOfRange), 1u);

    // A get into a buffer shorter than the report is cut and flagged.
    uint8_t arrTiny[2] = {0x05, 0};
    EXPECT_EQ(pCmd->GetFeature(arrTiny, 2), 2);
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::WrongLength), 2u);

    // Feature reports on the event collection do not reach the firmware.
    std::unique_ptr<CHidHandle> pEvents = OpenEvents();
    uint8_t arrSet5[3] = {0x05, 0x03, 0x01};
    EXPECT_FALSE(pEvents->SetFeature(arrSet5, 3));
    EXPECT_EQ(m_kb.ActiveProfile(), 0);
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::NotCommandCollection), 1u);
}

// ---- Protocol checks ----

TEST_F(SimulatedKeyboardTest, DetectsAnythingBetweenASelectAndItsGet)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    SelectAndGet(*pCmd, m_clock, 0, 0, 0x07, 6);
    EXPECT_FALSE(m_kb.HasInterleaving());

    uint8_t arrSelect[3] = {0x04, 0x01, 0x00};
    pCmd->SetFeature(arrSelect, 3);
    m_clock.SleepMs(8);
    uint8_t arrProfile[3] = {0x05, 0, 0};
    pCmd->GetFeature(arrProfile, 3); // an intruder
    EXPECT_TRUE(m_kb.HasInterleaving());
    Bytes vecLighting(6, 0);
    vecLighting[0] = 0x07;
    pCmd->GetFeature(vecLighting.data(), 6); // its select was spoiled
    m_clock.SleepMs(8);
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::UnselectedGet), 1u);
    EXPECT_EQ(vecLighting[2], 0x01); // the firmware still answers for the last selection

    m_kb.ClearViolations();
    pCmd->SetFeature(arrSelect, 3);
    m_clock.SleepMs(8);
    pCmd->SetFeature(arrSelect, 3); // select after select
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::Interleaved), 1u);
}

TEST_F(SimulatedKeyboardTest, InterleavingFromAnotherThreadIsCaughtAndALockPreventsIt)
{
    std::unique_ptr<CHidHandle> pMain = OpenCommands();
    std::unique_ptr<CHidHandle> pOther = OpenCommands(); // the listener's use of the shared handle
    std::mutex mutex;
    std::condition_variable cv;
    int nStage = 0;
    std::thread other(
        [&]
        {
            std::unique_lock<std::mutex> lock(mutex);
            cv.wait(lock, [&] { return nStage == 1; });
            SelectAndGet(*pOther, m_clock, 2, 3, 0x08, 226);
            nStage = 2;
            cv.notify_all();
        });
    uint8_t arrSelect[3] = {0x04, 0x00, 0x00};
    pMain->SetFeature(arrSelect, 3);
    {
        std::unique_lock<std::mutex> lock(mutex);
        nStage = 1;
        cv.notify_all();
        cv.wait(lock, [&] { return nStage == 2; });
    }
    Bytes vecReply(6, 0);
    vecReply[0] = 0x07;
    pMain->GetFeature(vecReply.data(), 6);
    other.join();
    EXPECT_TRUE(m_kb.HasInterleaving());
    EXPECT_EQ(vecReply[2], 0x02); // the main thread got profile 2's lighting instead of profile 0's

    // The same two threads, each holding a lock over select and get: no violation.
    m_kb.ClearViolations();
    m_kb.ClearLog();
    std::mutex commandLock;
    auto worker = [&](CHidHandle* pHandle, uint8_t nProfile)
    {
        for (int i = 0; i < 300; ++i)
        {
            std::lock_guard<std::mutex> lock(commandLock);
            Bytes vecGot = SelectAndGet(*pHandle, m_clock, nProfile, 0, 0x07, 6);
            EXPECT_EQ(vecGot.size() > 2 ? vecGot[2] : 99, nProfile);
        }
    };
    std::thread first(worker, pMain.get(), 0);
    std::thread second(worker, pOther.get(), 1);
    first.join();
    second.join();
    EXPECT_EQ(m_kb.Violations().size(), 0u) << m_kb.ViolationsText();
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Get, 7), 600u);
}

TEST_F(SimulatedKeyboardTest, AnExchangeCutByAnUnplugIsNoInterleaving)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    uint8_t arrSelect[3] = {0x04, 0x01, 0x00};
    ASSERT_TRUE(pCmd->SetFeature(arrSelect, 3));
    m_kb.Unplug(); // the get never comes: the keyboard went away
    uint8_t arrLate[6] = {0x07, 0, 0, 0, 0, 0};
    EXPECT_EQ(pCmd->GetFeature(arrLate, 6), -1);
    m_kb.Plug();
    pCmd = OpenCommands();
    uint8_t arrProfile[3] = {0x05, 0x03, 0x02};
    EXPECT_TRUE(pCmd->SetFeature(arrProfile, 3)); // at once: no pause is owed to the old select
    m_clock.SleepMs(15);
    EXPECT_EQ(SelectAndGet(*pCmd, m_clock, 1, 0, 0x07, 6).size(), 6u);
    EXPECT_EQ(m_kb.Violations().size(), 0u) << m_kb.ViolationsText();

    // Another device leaving is no excuse: the keyboard still waits for its get.
    m_kb.SetEnumeration(
        {SimCollection::Foreign(1), SimCollection::KeyboardEvents(), SimCollection::KeyboardCommands()});
    pCmd = OpenCommands();
    ASSERT_TRUE(pCmd->SetFeature(arrSelect, 3));
    m_kb.UnplugDevice(1);
    m_clock.SleepMs(8);
    pCmd->SetFeature(arrProfile, 3);
    EXPECT_TRUE(m_kb.HasInterleaving());
}

TEST_F(SimulatedKeyboardTest, FlagsACommandSentBeforeThePreviousPauseEnded)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    Bytes vecTable = Report6(0, 0x20);
    pCmd->SetFeature(vecTable.data(), vecTable.size());
    m_clock.SleepMs(100); // a key-table write needs 350 ms
    uint8_t arrLighting[6] = {0x07, 0x0D, 0x00, 0x00, 0x02, 0x04};
    pCmd->SetFeature(arrLighting, 6);
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::TooSoon), 1u);
    m_clock.SleepMs(15);
    uint8_t arrProfile[3] = {0x05, 0x03, 0x01};
    pCmd->SetFeature(arrProfile, 3);
    EXPECT_EQ(m_kb.CountViolations(ESimViolation::TooSoon), 1u);
}

// ---- Log ----

TEST_F(SimulatedKeyboardTest, LogRecordsDirectionsBytesTimesAndThreads)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    m_kb.ClearLog();
    uint8_t arrProfile[3] = {0x05, 0, 0};
    pCmd->GetFeature(arrProfile, 3);
    SelectAndGet(*pCmd, m_clock, 1, 0, 0x07, 6);
    uint8_t arrSet[3] = {0x05, 0x03, 0x01};
    pCmd->SetFeature(arrSet, 3);
    m_clock.SleepMs(15);
    m_kb.FailGet(7);
    SelectAndGet(*pCmd, m_clock, 1, 0, 0x07, 6);

    EXPECT_EQ(m_kb.FeatureTrace(), "G5 S4 G7 S5 S4 G7!");
    EXPECT_EQ(m_kb.FeatureReportIds(), (Bytes{5, 4, 7, 5, 4, 7}));
    EXPECT_EQ(m_kb.FeaturePauses(), (std::vector<uint64_t>{0, 8, 8, 15, 8}));
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Set), 3u);
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Get, 7), 2u);
    EXPECT_EQ(m_kb.LastSet(5), (Bytes{0x05, 0x03, 0x01}));
    EXPECT_TRUE(m_kb.LastSet(6).empty());
    std::vector<SimExchange> vecLog = m_kb.Log();
    ASSERT_EQ(vecLog.size(), 6u);
    EXPECT_EQ(vecLog[2].vecBytes, (Bytes{0x07, 0x0D, 0x01, 0x00, 0x01, 0x08}));
    EXPECT_EQ(vecLog[2].idThread, std::this_thread::get_id());
    EXPECT_EQ(vecLog[1].nTimeMs + 8, vecLog[2].nTimeMs);
    EXPECT_FALSE(vecLog[5].bOk);
}

// ---- Faults ----

TEST_F(SimulatedKeyboardTest, FailuresActOnceNTimesOrAlways)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    uint8_t arrGet[3] = {0x05, 0, 0};
    m_kb.FailGet(5);
    EXPECT_EQ(pCmd->GetFeature(arrGet, 3), -1);
    EXPECT_EQ(pCmd->GetFeature(arrGet, 3), 3);

    m_kb.FailSet(-1, kSimAlways);
    uint8_t arrSet[3] = {0x05, 0x03, 0x02};
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(pCmd->SetFeature(arrSet, 3));
    EXPECT_EQ(m_kb.ActiveProfile(), 0); // a failed set does not reach the firmware
    m_kb.ClearFaults();
    EXPECT_TRUE(pCmd->SetFeature(arrSet, 3));

    m_kb.FailGet(7, 2);
    EXPECT_TRUE(SelectAndGet(*pCmd, m_clock, 0, 0, 7, 6).empty());
    EXPECT_TRUE(SelectAndGet(*pCmd, m_clock, 0, 0, 7, 6).empty());
    EXPECT_EQ(SelectAndGet(*pCmd, m_clock, 0, 0, 7, 6).size(), 6u);
}

TEST_F(SimulatedKeyboardTest, ShortAndReplacedReplies)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    m_kb.ShortReply(6, 10);
    Bytes vecShort = SelectAndGet(*pCmd, m_clock, 0, 0, 6, 184);
    EXPECT_EQ(vecShort.size(), 10u);
    EXPECT_EQ(vecShort[8], 0x1D);

    m_kb.ReplaceReply(7, {0x07, 0xAA, 0xBB, 0xCC, 0xF8, 0x05});
    EXPECT_EQ(SelectAndGet(*pCmd, m_clock, 0, 0, 7, 6), (Bytes{0x07, 0xAA, 0xBB, 0xCC, 0xF8, 0x05}));
    EXPECT_EQ(SelectAndGet(*pCmd, m_clock, 0, 0, 7, 6), (Bytes{0x07, 0x0D, 0x00, 0x00, 0x01, 0x08}));

    // A reply longer than the caller's buffer never writes past it.
    m_kb.ReplaceReply(5, Bytes(50, 0x55));
    uint8_t arrBuffer[4] = {0x05, 0, 0, 0x99};
    EXPECT_EQ(pCmd->GetFeature(arrBuffer, 3), 3);
    EXPECT_EQ(arrBuffer[3], 0x99);
}

TEST_F(SimulatedKeyboardTest, RawMacroStateGivesOverlongStepCountsAndUnterminatedNames)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    SimMacroBytes bytes{};
    for (int i = 0; i < 24; ++i)
        bytes[i] = static_cast<uint8_t>('A' + i); // 24 letters, no terminating zero
    bytes[25] = 200;                              // step count above 96
    for (size_t i = 26; i < kSimMacroBytes; ++i)
        bytes[i] = 0x04;
    m_kb.SetMacroBytes(0, 4, bytes);
    Bytes vecReply = SelectAndGet(*pCmd, m_clock, 0, 4, 8, 226);
    ASSERT_EQ(vecReply.size(), 226u);
    EXPECT_EQ(vecReply[8], 'A');
    EXPECT_EQ(vecReply[31], 'X');
    EXPECT_EQ(vecReply[33], 200);
    EXPECT_EQ(m_kb.MacroName(0, 4), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(m_kb.MacroSteps(0, 4).size(), kSimMaxSteps);
}

TEST_F(SimulatedKeyboardTest, OpenFailsOnceForAPathOrAlways)
{
    std::string strCommands = PathOfPage(0x000B);
    m_kb.FailOpen(strCommands);
    EXPECT_EQ(m_kb.Open(strCommands), nullptr);
    EXPECT_NE(m_kb.Open(strCommands), nullptr);
    EXPECT_NE(OpenEvents(), nullptr);
    m_kb.FailOpen("", kSimAlways);
    EXPECT_EQ(m_kb.Open(strCommands), nullptr);
    EXPECT_EQ(OpenEvents(), nullptr);
}

// ---- Plug and unplug ----

TEST_F(SimulatedKeyboardTest, UnplugRemovesTheCollectionsAndOldHandlesFailForGood)
{
    std::vector<HotplugEvent> vecEvents;
    m_kb.SetHotplugCallback([&](const HotplugEvent& event) { vecEvents.push_back(event); });
    std::string strOldPath = PathOfPage(0x000B);
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    m_kb.Unplug();
    EXPECT_FALSE(m_kb.IsPlugged());
    EXPECT_EQ(m_kb.Enumerate().size(), 1u); // only the foreign mouse
    uint8_t arrGet[3] = {0x05, 0, 0};
    EXPECT_EQ(pCmd->GetFeature(arrGet, 3), -1);
    EXPECT_EQ(m_kb.Open(strOldPath), nullptr);
    ASSERT_EQ(vecEvents.size(), 3u); // boot, event and command nodes
    for (const HotplugEvent& event : vecEvents)
        EXPECT_EQ(event.eAction, EHotplugAction::Removal);
    EXPECT_EQ(vecEvents[2].strDevNode, strOldPath);

    vecEvents.clear();
    m_kb.Plug();
    ASSERT_EQ(vecEvents.size(), 3u);
    EXPECT_EQ(vecEvents[0].eAction, EHotplugAction::Arrival);
    EXPECT_EQ(m_kb.Enumerate().size(), 4u);
    EXPECT_NE(PathOfPage(0x000B), strOldPath);
    EXPECT_EQ(pCmd->GetFeature(arrGet, 3), -1); // the old handle stays dead
    std::unique_ptr<CHidHandle> pNew = OpenCommands();
    ASSERT_NE(pNew, nullptr);
    EXPECT_EQ(pNew->GetFeature(arrGet, 3), 3);
}

TEST_F(SimulatedKeyboardTest, AnotherDeviceLeavingLeavesTheKeyboardWorking)
{
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    std::string strMouse = m_kb.Enumerate()[0].strPath;
    m_kb.UnplugDevice(1);
    EXPECT_EQ(m_kb.Enumerate().size(), 3u);
    EXPECT_EQ(m_kb.Enumerate()[1].nUsagePage, 0x000A); // indices move down
    uint8_t arrGet[3] = {0x05, 0, 0};
    EXPECT_EQ(pCmd->GetFeature(arrGet, 3), 3);

    // The queued notifications: the descriptor polls readable until they are drained.
    pollfd pfd{m_kb.Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 0), 1);
    std::vector<HotplugEvent> vecEvents;
    EXPECT_EQ(m_kb.DrainEvents([&](const HotplugEvent& event) { vecEvents.push_back(event); }), 1);
    ASSERT_EQ(vecEvents.size(), 1u);
    EXPECT_EQ(vecEvents[0].eAction, EHotplugAction::Removal);
    EXPECT_EQ(vecEvents[0].strDevNode, strMouse);
    EXPECT_EQ(poll(&pfd, 1, 0), 0);
    EXPECT_EQ(m_kb.DrainEvents(nullptr), 0);
}

// ---- Events ----

TEST_F(SimulatedKeyboardTest, EventReportsReachEveryOpenReader)
{
    std::unique_ptr<CHidHandle> pFirst = OpenEvents();
    std::unique_ptr<CHidHandle> pSecond = OpenEvents();
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    EXPECT_EQ(m_kb.ReaderCount(), 2u);
    EXPECT_EQ(m_kb.PressProfileKey(1), 2);
    EXPECT_EQ(m_kb.ActiveProfile(), 1);

    uint8_t arrBuffer[8];
    std::fill(std::begin(arrBuffer), std::end(arrBuffer), 0xFF);
    ASSERT_EQ(pFirst->Read(arrBuffer, 8, 0), 8);
    EXPECT_EQ(Bytes(arrBuffer, arrBuffer + 8), (Bytes{0x01, 0x05, 0x02, 0, 0, 0, 0, 0}));
    ASSERT_EQ(pSecond->Read(arrBuffer, 8, 0), 8);
    EXPECT_EQ(arrBuffer[1], 0x05);
    EXPECT_EQ(pFirst->Read(arrBuffer, 8, 0), 0);
    EXPECT_EQ(pFirst->Read(arrBuffer, 8, 20), 0);
    EXPECT_EQ(pCmd->Read(arrBuffer, 8, 0), 0); // the command collection carries no events
    EXPECT_EQ(m_kb.CountReports(ESimDirection::Input), 2u);

    pSecond.reset();
    EXPECT_EQ(m_kb.ReaderCount(), 1u);
    m_kb.SetEventReportFormat(0x03, 4);
    m_kb.SendEvent(8, 0);
    ASSERT_EQ(pFirst->Read(arrBuffer, 8, 0), 4);
    EXPECT_EQ(arrBuffer[0], 0x03);
}

TEST_F(SimulatedKeyboardTest, AReaderThatFallsBehindLosesTheNewestReports)
{
    std::unique_ptr<CHidHandle> pEvents = OpenEvents();
    int nReached = 0;
    for (int i = 0; i < 70; ++i)
        nReached += m_kb.SendEvent(8, static_cast<uint8_t>(i));
    EXPECT_EQ(nReached, 64);
    EXPECT_EQ(m_kb.DroppedInputReports(), 6u);
    uint8_t arrBuffer[8];
    int nRead = 0;
    uint8_t nLast = 0;
    while (pEvents->Read(arrBuffer, 8, 0) > 0)
    {
        ++nRead;
        nLast = arrBuffer[2];
    }
    EXPECT_EQ(nRead, 64);
    EXPECT_EQ(nLast, 63);
}

TEST_F(SimulatedKeyboardTest, KeyboardSideActionsChangeTheFirmwareAndReportIt)
{
    std::unique_ptr<CHidHandle> pEvents = OpenEvents();
    auto next = [&]()
    {
        uint8_t arrBuffer[8] = {};
        int nRead = pEvents->Read(arrBuffer, 8, 0);
        return nRead == 8 ? std::make_pair(arrBuffer[1], arrBuffer[2]) : std::make_pair<uint8_t, uint8_t>(0, 0);
    };
    using Event = std::pair<uint8_t, uint8_t>;

    m_kb.PressProfileKey(2);
    EXPECT_EQ(next(), Event(5, 3));
    m_kb.ChangeColourOnKeyboard(6);
    EXPECT_EQ(next(), Event(2, 6));
    EXPECT_EQ(m_kb.Colour(2), 6);
    m_kb.ChangeBrightnessOnKeyboard(4);
    EXPECT_EQ(next(), Event(7, 4));
    m_kb.PressLightModeKey();
    EXPECT_EQ(next(), Event(6, 1));
    EXPECT_EQ(m_kb.Brightness(2), 24);
    m_kb.PressLightModeKey();
    EXPECT_EQ(next(), Event(6, 0));
    EXPECT_EQ(m_kb.Colour(2), 1);
    EXPECT_EQ(m_kb.Brightness(2), 8);
    m_kb.ToggleWindowsLock(); // on: the Windows key is disabled, which the event says with 0
    EXPECT_TRUE(m_kb.WindowsLock());
    EXPECT_EQ(next(), Event(3, 0));
    m_kb.ToggleWindowsLock();
    EXPECT_FALSE(m_kb.WindowsLock());
    EXPECT_EQ(next(), Event(3, 1));
    m_kb.ToggleAllKeysLock();
    EXPECT_TRUE(m_kb.AllKeysLock());
    EXPECT_EQ(next(), Event(9, 0));

    EXPECT_EQ(m_kb.PressProgrammableKey(0), 0); // Ctrl+1 is played by the keyboard itself
    m_kb.SetKeyValue(2, 3, 0x07, 0, 0);
    EXPECT_EQ(m_kb.PressProgrammableKey(3), 1);
    EXPECT_EQ(next(), Event(4, 4));

    m_kb.RecordMacroOnKeyboard(1, {{0x04, 0x10}, {0x04, 0x80}}, 2);
    EXPECT_EQ(next(), Event(1, 2));
    EXPECT_FALSE(m_kb.HasMacroName(2, 1));
    EXPECT_EQ(m_kb.MacroLoop(2, 1), 2);
    EXPECT_EQ(m_kb.MacroStepCount(2, 1), 2);
    EXPECT_EQ(m_kb.KeyValue(2, 1), (std::array<uint8_t, 3>{0x01, 0x00, 0x00}));
    EXPECT_EQ(m_kb.KeyValue(0, 1)[0], 0x06); // other profiles untouched
}

TEST_F(SimulatedKeyboardTest, ABlockedReadEndsWithMinusOneWhenTheKeyboardIsUnplugged)
{
    std::unique_ptr<CHidHandle> pEvents = OpenEvents();
    std::atomic<int> nResult{1};
    std::thread reader(
        [&]
        {
            uint8_t arrBuffer[8];
            nResult = pEvents->Read(arrBuffer, 8, -1);
        });
    ASSERT_TRUE(m_kb.WaitForReaders(1, 1000));
    m_kb.Unplug();
    reader.join();
    EXPECT_EQ(nResult.load(), -1);
}

TEST_F(SimulatedKeyboardTest, FailedReadAndLateHandleDestruction)
{
    std::unique_ptr<CHidHandle> pEvents = OpenEvents();
    m_kb.FailRead();
    uint8_t arrBuffer[8];
    EXPECT_EQ(pEvents->Read(arrBuffer, 8, 0), -1);
    EXPECT_EQ(pEvents->Read(arrBuffer, 8, 0), 0);

    // A handle that outlives the simulator fails instead of touching freed state.
    auto pKb = std::make_unique<CSimulatedKeyboard>(m_clock);
    std::string strPath;
    for (const HidInterfaceInfo& info : pKb->Enumerate())
        if (info.nUsagePage == 0x000B)
            strPath = info.strPath;
    std::unique_ptr<CHidHandle> pOrphan = pKb->Open(strPath);
    pKb.reset();
    uint8_t arrGet[3] = {0x05, 0, 0};
    EXPECT_EQ(pOrphan->GetFeature(arrGet, 3), -1);
    EXPECT_EQ(pOrphan->Read(arrBuffer, 8, 10), -1);
}

TEST_F(SimulatedKeyboardTest, ListenerThreadReadsWhileCommandsComeFromAnother)
{
    std::unique_ptr<CHidHandle> pEvents = OpenEvents();
    std::unique_ptr<CHidHandle> pCmd = OpenCommands();
    std::atomic<int> nReceived{0};
    std::thread listener(
        [&]
        {
            uint8_t arrBuffer[8];
            while (pEvents->Read(arrBuffer, 8, -1) > 0)
                ++nReceived;
        });
    std::thread commands(
        [&]
        {
            for (int i = 0; i < 200; ++i)
                SelectAndGet(*pCmd, m_clock, static_cast<uint8_t>(i % 3), 0, 0x07, 6);
        });
    for (int i = 0; i < 200; ++i)
    {
        m_kb.SendEvent(8, static_cast<uint8_t>(i));
        m_kb.WaitUntilInputConsumed(1000);
    }
    commands.join();
    EXPECT_TRUE(m_kb.WaitUntilInputConsumed(1000));
    m_kb.Unplug(); // ends the listener's read
    listener.join();
    EXPECT_EQ(nReceived.load(), 200);
    EXPECT_EQ(m_kb.Violations().size(), 0u) << m_kb.ViolationsText();
}
