// The keyboard read at connection and the upload of every pending edit, against the keyboard
// simulator with real sleeps. The protocol's pauses dominate both; the counter "ratio" is the
// wall time divided by the sum of the pauses the run asked for (target: at most 1.05), so it
// shows what the link itself adds on top of the keyboard's required waiting.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "device/DeviceLink.h"
#include "platform/SystemClock.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "storage/DataFiles.h"

namespace
{
// Real sleeps, with the sum of what was asked for.
class CCountingClock : public CClock
{
public:
    uint64_t NowMs() override { return m_real.NowMs(); }
    void SleepMs(unsigned nMs) override
    {
        m_nPausedMs += nMs;
        m_real.SleepMs(nMs);
    }
    uint64_t TakePausedMs() { return m_nPausedMs.exchange(0); }

private:
    CSystemClock m_real;
    std::atomic<uint64_t> m_nPausedMs{0};
};

class CQuietUi : public CDeviceLinkUi
{
public:
    void PostToUiThread(std::function<void()>) override {} // no events are sent here
    void ShowAttention(const std::string&, const std::string&) override {}
    void RequestOsdText(int) override {}
    void RefreshProfileView() override {}
};

class CNoLauncher : public CProgramLauncher
{
public:
    bool Launch(const std::string&) override { return false; }
};

// Which programmable keys hold a library macro: five in all, spread over the three profiles.
constexpr int MacroKeys[5][2] = {{0, 0}, {0, 1}, {1, 2}, {2, 3}, {2, 4}};

struct CBenchRig
{
    CBenchRig()
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
        if (::mkdtemp(strTemplate.data()) == nullptr)
            std::abort();
        m_strDir = strTemplate + "/";
        m_pFiles = std::make_unique<CDataFiles>(m_strDir);
        m_pFiles->EnsureConfigDirectory();
        m_pFiles->LoadAll(m_library, m_settings, m_profiles);

        // Each stored macro: 40 key events with pauses, a name and a repeat count.
        std::vector<SimStep> vecSteps;
        for (int i = 0; i < 40; ++i)
            vecSteps.push_back(
                {static_cast<uint8_t>(0x04 + i % 26), static_cast<uint8_t>((i % 2 ? 0x80 : 0) | (i % 100))});
        for (const auto& key : MacroKeys)
        {
            m_kb.SetKeyValue(key[0], key[1], 0x01, 0, 0);
            m_kb.SetMacro(key[0], key[1], "Bench" + std::to_string(key[0]) + std::to_string(key[1]), 3, vecSteps);
        }
        m_pLink = std::make_unique<CDeviceLink>(m_profiles, m_settings, m_library, *m_pFiles, m_kb, m_clock, m_launcher,
                                                m_ui);
        m_pLink->ScanForKeyboard();
        m_pLink->SyncFromDevice(); // the macros are in the library from here on
        m_clock.TakePausedMs();
    }
    ~CBenchRig()
    {
        m_pLink.reset();
        std::filesystem::remove_all(m_strDir);
    }

    std::string m_strDir;
    CCountingClock m_clock;
    CSimulatedKeyboard m_kb{m_clock};
    ProfileStore m_profiles;
    SettingsStore m_settings;
    MacroLibrary m_library;
    std::unique_ptr<CDataFiles> m_pFiles;
    CQuietUi m_ui;
    CNoLauncher m_launcher;
    std::unique_ptr<CDeviceLink> m_pLink;
};

void Measure(benchmark::State& state, CBenchRig& rig, const std::function<void()>& fnPrepare,
             const std::function<void()>& fnRun)
{
    double dWallMs = 0;
    double dPausedMs = 0;
    for (auto _ : state)
    {
        fnPrepare();
        rig.m_clock.TakePausedMs();
        const auto start = std::chrono::steady_clock::now();
        fnRun();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count() / 1000.0);
        dWallMs += elapsed.count();
        dPausedMs += static_cast<double>(rig.m_clock.TakePausedMs());
    }
    state.counters["ratio"] = dPausedMs > 0 ? dWallMs / dPausedMs : 0;
    state.counters["pauses_ms"] = dPausedMs / static_cast<double>(state.iterations());
    if (rig.m_kb.HasInterleaving())
        state.SkipWithError("the simulator saw an interleaved exchange");
}

void BM_SyncFromDevice(benchmark::State& state)
{
    CBenchRig rig;
    Measure(
        state, rig, [&] { rig.m_pLink->RequestSync(); }, [&] { rig.m_pLink->SyncFromDevice(); });
}

void BM_FlushAllProfiles(benchmark::State& state)
{
    CBenchRig rig;
    Measure(
        state, rig,
        [&]
        {
            for (int p = 0; p < DeviceProfileCount; ++p)
            {
                rig.m_pLink->MarkLightingPending(p);
                rig.m_pLink->MarkKeyTablePending(p);
                for (int k = 0; k < ProgrammableKeyCount; ++k)
                    rig.m_pLink->MarkMacroPending(p, k);
            }
        },
        [&] { rig.m_pLink->FlushPendingChanges(); });
}
} // namespace

BENCHMARK(BM_SyncFromDevice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(12);
BENCHMARK(BM_FlushAllProfiles)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
