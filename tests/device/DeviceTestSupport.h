#pragma once
// What the device-link tests share: a UI stand-in whose dispatcher is a queue the test drains
// on its own thread (the test thread plays the UI thread), a launcher that only records, and
// a fixture that wires a CDeviceLink to the keyboard simulator, a manual clock and a fresh
// config folder.

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device/DeviceLink.h"
#include "model/Macro.h"
#include "model/Profile.h"
#include "platform/ProgramLauncher.h"
#include "platform/simulator/ManualClock.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "storage/DataFiles.h"

class CTestUi : public CDeviceLinkUi
{
public:
    // Any thread.
    void PostToUiThread(std::function<void()> fn) override;
    size_t QueuedCount() const;
    bool WaitForQueued(size_t nCount, int nTimeoutMs) const;

    // UI thread (the test thread).
    void ShowAttention(const std::string& strTitle, const std::string& strText) override;
    void RequestOsdText(int nTextCode) override;
    void RefreshProfileView() override { ++m_nRefreshes; }

    // Runs what is queued now; returns how many ran.
    size_t RunPending();
    // Runs queued work as it arrives until fnDone() holds; false after nTimeoutMs without it.
    bool RunUntil(const std::function<bool()>& fnDone, int nTimeoutMs = 5000);

    std::vector<std::pair<std::string, std::string>> m_vecAttentions;
    std::vector<int> m_vecOsd;
    int m_nRefreshes = 0;
    size_t m_nRan = 0; // queued items run so far

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::deque<std::function<void()>> m_deqQueue;
};

class CRecordingLauncher : public CProgramLauncher
{
public:
    bool Launch(const std::string& strPath) override
    {
        m_vecPaths.push_back(strPath);
        return true;
    }
    std::vector<std::string> m_vecPaths;
};

class DeviceLinkTest : public ::testing::Test
{
protected:
    DeviceLinkTest();
    ~DeviceLinkTest() override;

    // Scan and sync as the window does at start, then forget the log and the pauses.
    void Connect();
    // Sends an event from the keyboard and runs the UI queue until it was handled.
    void DeliverEvent(uint8_t nCode, uint8_t nParam);
    // Runs the UI queue until nEvents more posted events have been handled.
    void HandleEvents(size_t nEvents);
    std::string ReadFile(const std::string& strPath) const;
    // The data files as they are on disk, read into fresh stores.
    void LoadFromDisk(MacroLibrary& library, SettingsStore& settings, ProfileStore& profiles) const;
    std::string ProfilePath(int nSlot) const { return m_settings.GetSlotUrl(nSlot); }
    std::string FeatureTrace() const { return m_kb.FeatureTrace(); }
    // The feature-report sets and gets of the log, in order.
    std::vector<SimExchange> FeatureLog() const;

    std::string m_strDir;
    CManualClock m_clock;
    CSimulatedKeyboard m_kb{m_clock};
    ProfileStore m_profiles;
    SettingsStore m_settings;
    MacroLibrary m_library;
    std::unique_ptr<CDataFiles> m_pFiles;
    CTestUi m_ui;
    CRecordingLauncher m_launcher;
    std::unique_ptr<CDeviceLink> m_pLink;
};

// A new temporary folder (strDir, with its trailing slash) whose data files are loaded, and so
// created with their defaults, into the stores; the files object for it.
std::unique_ptr<CDataFiles> MakeFreshDataFolder(std::string& strDir, MacroLibrary& library, SettingsStore& settings,
                                                ProfileStore& profiles);

// Polls fnDone every 2 ms; false when it did not hold within nTimeoutMs.
bool WaitUntil(const std::function<bool()>& fnDone, int nTimeoutMs = 5000);

// A macro's live actions.
std::vector<MacroAction> ActionsOf(const MacroKey& macro);
