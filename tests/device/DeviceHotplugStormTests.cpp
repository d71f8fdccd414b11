// A hot-plug storm: the keyboard pulled and put back a thousand times, with syncs, Applies,
// keyboard events and injected faults in between, some unplugs cutting an exchange in half.
// Nothing may leak (descriptors, threads), the keyboard never sees a select interleaved with
// another command, and after every Apply of a fault-free cycle the keyboard holds the model.
//
// CORVANE_STORM_CYCLES sets the number of cycles (for a longer run by hand).

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>

#include "DeviceTestSupport.h"
#include "device/HotplugDispatch.h"

namespace
{
constexpr int ForeignMouse = 1; // device number of the mouse in the simulator's default list
constexpr uint8_t kBrightnessCodes[] = {1, 2, 4, 8, 24};

size_t CountEntries(const char* pFolder)
{
    size_t nCount = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(pFolder))
        ++nCount;
    return nCount;
}

size_t StormCycles()
{
    const char* pText = std::getenv("CORVANE_STORM_CYCLES");
    const long nCycles = pText ? std::strtol(pText, nullptr, 10) : 0;
    return nCycles > 0 ? static_cast<size_t>(nCycles) : 1000;
}

// The link's clock: pauses as the manual clock does, and after a chosen number of pauses runs
// an action once (the keyboard pulled out while the link waits between a select and its get).
class CCuttingClock : public CClock
{
public:
    explicit CCuttingClock(CManualClock& clock) : m_clock(clock) {}
    uint64_t NowMs() override { return m_clock.NowMs(); }
    void SleepMs(unsigned nMs) override
    {
        m_clock.SleepMs(nMs);
        if (m_nCountdown > 0 && --m_nCountdown == 0 && m_fnCut)
        {
            std::function<void()> fnCut = std::move(m_fnCut);
            m_fnCut = nullptr;
            fnCut();
        }
    }
    void CutAfter(int nPauses, std::function<void()> fnCut)
    {
        m_nCountdown = nPauses;
        m_fnCut = std::move(fnCut);
    }
    void Disarm()
    {
        m_nCountdown = 0;
        m_fnCut = nullptr;
    }

private:
    CManualClock& m_clock;
    int m_nCountdown = 0;
    std::function<void()> m_fnCut;
};
} // namespace

class DeviceHotplugStormTest : public DeviceLinkTest
{
protected:
    DeviceHotplugStormTest()
    {
        // The link pauses on a clock that can pull the keyboard out mid-exchange.
        m_pLink = std::make_unique<CDeviceLink>(m_profiles, m_settings, m_library, *m_pFiles, m_kb, m_cuttingClock,
                                                m_launcher, m_ui);
    }
    ~DeviceHotplugStormTest() override { m_pLink.reset(); } // it pauses on m_cuttingClock to the end

    uint32_t Random(uint32_t nBelow) { return static_cast<uint32_t>(m_rng() % nBelow); }

    // One fault the next connection meets; returns true when it ends the listener.
    bool ArmFault()
    {
        const int nReport = static_cast<int>(4 + Random(5));
        switch (Random(6))
        {
        case 0: m_kb.FailOpen(); return false;
        case 1: m_kb.FailSet(nReport); return false;
        case 2: m_kb.FailGet(nReport == 4 ? 5 : nReport); return false;
        case 3: m_kb.ShortReply(static_cast<int>(5 + Random(4)), Random(6)); return false;
        case 4: m_kb.ReplaceReply(static_cast<int>(5 + Random(4)), {0xFF, 0x00, 0x13, 0x37}); return false;
        default: m_kb.FailRead(); return true;
        }
    }

    // Things done on the keyboard itself; each handled by the link before the next.
    void KeyboardEvents()
    {
        const uint32_t nEvents = 1 + Random(3);
        for (uint32_t i = 0; i < nEvents && m_kb.IsPlugged(); ++i)
        {
            int nReached = 0;
            switch (Random(7))
            {
            case 0: nReached = m_kb.PressProfileKey(static_cast<int>(Random(3))); break;
            case 1: nReached = m_kb.ChangeColourOnKeyboard(static_cast<uint8_t>(1 + Random(7))); break;
            case 2: nReached = m_kb.ChangeBrightnessOnKeyboard(kBrightnessCodes[Random(5)]); break;
            case 3: nReached = m_kb.PressLightModeKey(); break;
            case 4: nReached = m_kb.ToggleWindowsLock(); break;
            case 5: nReached = m_kb.ToggleAllKeysLock(); break;
            default:
                // Rarer: each one writes two data files.
                if (Random(4) == 0)
                    nReached = m_kb.RecordMacroOnKeyboard(static_cast<int>(Random(5)),
                                                          {{0x04, 0x02}, {0x04, 0x80}, {0x01, 0x03}, {0x05, 0x10}});
                break;
            }
            if (nReached > 0)
                HandleEvents(static_cast<size_t>(nReached));
            ++m_nEvents;
        }
    }

    // Edits of the three keyboard profiles, marked as the window marks them, then sent.
    void Apply()
    {
        const uint32_t nEdits = 1 + Random(3);
        for (uint32_t i = 0; i < nEdits; ++i)
        {
            const int p = static_cast<int>(Random(3));
            ProfileRecord& record = m_profiles[p];
            switch (Random(4))
            {
            case 0:
                record.SetColour(static_cast<int>(1 + Random(7)));
                m_pLink->MarkLightingPending(p);
                break;
            case 1:
                record.SetBrightness(kBrightnessCodes[Random(5)]);
                m_pLink->MarkLightingPending(p);
                break;
            case 2:
                record.AllRCKey[Random(160)] = static_cast<DeviceKeyCode>(0x04 + Random(0x62));
                m_pLink->MarkKeyTablePending(p);
                break;
            default:
            {
                const int k = static_cast<int>(Random(5));
                const std::string strName = "Storm" + std::to_string(Random(4));
                if (!FindOrNull(strName))
                {
                    MacroKey& macro = m_library.FirstSet()->AppendKey(strName);
                    macro.InsertAction(0, MacroAction::Key(0x41, false));
                    macro.InsertAction(1, MacroAction::Delay(40));
                    macro.InsertAction(2, MacroAction::Key(0x41, true));
                    macro.MacroCommandActionNum = 2;
                }
                record.AssignProgrammableKey(k, strName, KeyValue{0x01, 0, 0}, "");
                m_pLink->MarkKeyTablePending(p);
                m_pLink->MarkMacroPending(p, k);
                break;
            }
            }
        }
        m_pLink->FlushPendingChanges();
        const int nActive = m_pLink->DeviceProfile();
        if (nActive >= 0 && nActive <= 2)
            m_pLink->SetDeviceProfile(nActive);
    }

    MacroKey* FindOrNull(const std::string& strName) { return m_pLink->FindMacroKeyByName(strName); }

    // The keyboard's three profiles are the model's.
    void ExpectKeyboardHoldsTheModel(size_t nCycle)
    {
        for (int p = 0; p < 3; ++p)
        {
            const ProfileRecord& record = m_profiles[p];
            ASSERT_EQ(m_kb.Colour(p), record.GetColour()) << "cycle " << nCycle << " profile " << p;
            ASSERT_EQ(m_kb.Brightness(p), record.GetBrightness()) << "cycle " << nCycle << " profile " << p;
            ASSERT_TRUE(m_kb.KeyTable(p) == record.AllRCKey) << "cycle " << nCycle << " profile " << p;
            for (int k = 0; k < 5; ++k)
            {
                const KeyValue& value = record.m_keys[static_cast<size_t>(k)].m_value;
                const std::array<uint8_t, 3> arrOnKeyboard = m_kb.KeyValue(p, k);
                ASSERT_EQ(arrOnKeyboard, (std::array<uint8_t, 3>{value.m_nKind, value.m_nParam1, value.m_nParam2}))
                    << "cycle " << nCycle << " profile " << p << " key " << k;
                if (value.m_nKind == 0x01)
                {
                    ASSERT_EQ(m_kb.MacroName(p, k), record.m_keys[static_cast<size_t>(k)].m_strName)
                        << "cycle " << nCycle << " profile " << p << " key " << k;
                }
            }
        }
        const int nActive = m_pLink->DeviceProfile();
        ASSERT_EQ(m_kb.ActiveProfile(), nActive) << "cycle " << nCycle;
        ++m_nChecks;
    }

    CCuttingClock m_cuttingClock{m_clock};
    std::mt19937 m_rng{20261207};
    size_t m_nEvents = 0;
    size_t m_nChecks = 0;
};

TEST_F(DeviceHotplugStormTest, AThousandReplugsLeakNothingAndTheKeyboardKeepsTheModel)
{
    Connect();
    const size_t nFdsBefore = CountEntries("/proc/self/fd");
    const size_t nThreadsBefore = CountEntries("/proc/self/task");
    const size_t nCycles = StormCycles();
    size_t nCuts = 0;
    size_t nFaults = 0;
    size_t nRemovals = 0;
    const auto start = std::chrono::steady_clock::now();

    for (size_t nCycle = 0; nCycle < nCycles; ++nCycle)
    {
        // Away: a plain pull, or the one left by a cut in the last cycle.
        if (m_kb.IsPlugged())
            m_kb.Unplug();
        ++nRemovals;
        DispatchHotplugEvents(m_kb, *m_pLink);
        ASSERT_FALSE(m_pLink->IsDeviceFound()) << "cycle " << nCycle;
        if (Random(4) == 0)
        {
            m_kb.UnplugDevice(ForeignMouse);
            DispatchHotplugEvents(m_kb, *m_pLink);
            m_kb.PlugDevice(ForeignMouse);
            DispatchHotplugEvents(m_kb, *m_pLink);
        }

        // Back, maybe meeting a fault or pulled out again somewhere in what follows.
        const uint32_t nKind = Random(8);
        const bool bFault = nKind < 2;
        const bool bCut = nKind == 2;
        bool bListenerFails = false;
        if (bFault)
        {
            bListenerFails = ArmFault();
            ++nFaults;
        }
        bool bCutDone = false;
        if (bCut)
            m_cuttingClock.CutAfter(static_cast<int>(1 + Random(60)),
                                    [&]
                                    {
                                        m_kb.Unplug();
                                        bCutDone = true;
                                    });
        m_kb.Plug();
        DispatchHotplugEvents(m_kb, *m_pLink);
        if (bListenerFails)
        {
            ASSERT_TRUE(WaitUntil([&] { return !m_pLink->IsListenerRunning(); })) << "cycle " << nCycle;
        }
        else if (m_kb.IsPlugged() && !bFault)
        {
            ASSERT_TRUE(m_kb.WaitForReaders(1, 5000)) << "cycle " << nCycle;
        }
        if (!bListenerFails && m_kb.ReaderCount() > 0)
            KeyboardEvents();
        Apply();

        m_cuttingClock.Disarm();
        m_kb.ClearFaults();
        nCuts += bCutDone ? 1 : 0;
        if (!bFault && !bCutDone)
            ExpectKeyboardHoldsTheModel(nCycle);
        ASSERT_EQ(m_kb.ViolationsText(), "") << "cycle " << nCycle;
        // Clearing the log also forgets an open select: after a cut, the replug must show that
        // the keyboard forgot it by itself.
        if (!bCutDone)
            m_kb.ClearLog();
        if (::testing::Test::HasFatalFailure())
            return;
    }
    // Every pull of the keyboard was told once.
    EXPECT_EQ(m_ui.m_vecAttentions.size(), nRemovals);

    // Connected again, as before the storm: one listener, the same descriptors.
    if (!m_kb.IsPlugged())
        m_kb.Plug();
    DispatchHotplugEvents(m_kb, *m_pLink);
    ASSERT_TRUE(m_kb.WaitForReaders(1, 5000));
    EXPECT_EQ(CountEntries("/proc/self/fd"), nFdsBefore);
    EXPECT_EQ(CountEntries("/proc/self/task"), nThreadsBefore);
    m_pLink->Shutdown();
    EXPECT_EQ(CountEntries("/proc/self/task"), nThreadsBefore - 1);

    const auto nMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("storm: %zu cycles, %zu cut mid-exchange, %zu faults, %zu keyboard events, %zu model checks, "
                "%zu descriptors, %zu threads before and after, %lld ms\n",
                nCycles, nCuts, nFaults, m_nEvents, m_nChecks, nFdsBefore, nThreadsBefore, static_cast<long long>(nMs));
}
