#include "DeviceTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

void CTestUi::PostToUiThread(std::function<void()> fn)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_deqQueue.push_back(std::move(fn));
    }
    m_cv.notify_all();
}

size_t CTestUi::QueuedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_deqQueue.size();
}

bool CTestUi::WaitForQueued(size_t nCount, int nTimeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), [&] { return m_deqQueue.size() >= nCount; });
}

void CTestUi::ShowAttention(const std::string& strTitle, const std::string& strText)
{
    m_vecAttentions.emplace_back(strTitle, strText);
}

void CTestUi::RequestOsdText(int nTextCode)
{
    m_vecOsd.push_back(nTextCode);
}

size_t CTestUi::RunPending()
{
    std::deque<std::function<void()>> deqNow;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        deqNow.swap(m_deqQueue);
    }
    for (auto& fn : deqNow)
    {
        fn();
        ++m_nRan;
    }
    return deqNow.size();
}

bool CTestUi::RunUntil(const std::function<bool()>& fnDone, int nTimeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;)
    {
        RunPending();
        if (fnDone())
            return true;
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_cv.wait_until(lock, deadline, [&] { return !m_deqQueue.empty(); }))
            return false;
    }
}

std::unique_ptr<CDataFiles> MakeFreshDataFolder(std::string& strDir, MacroLibrary& library, SettingsStore& settings,
                                                ProfileStore& profiles)
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-device-XXXXXX").string();
    if (::mkdtemp(strTemplate.data()) == nullptr)
        ADD_FAILURE() << "no temporary folder";
    strDir = strTemplate + "/";
    auto pFiles = std::make_unique<CDataFiles>(strDir);
    pFiles->EnsureConfigDirectory();
    pFiles->LoadAll(library, settings, profiles); // fresh folder: every file defaulted
    return pFiles;
}

DeviceLinkTest::DeviceLinkTest()
{
    m_pFiles = MakeFreshDataFolder(m_strDir, m_library, m_settings, m_profiles);
    m_pLink =
        std::make_unique<CDeviceLink>(m_profiles, m_settings, m_library, *m_pFiles, m_kb, m_clock, m_launcher, m_ui);
}

DeviceLinkTest::~DeviceLinkTest()
{
    m_pLink.reset();
    m_ui.RunPending(); // events left in the queue must find the link gone and do nothing
    std::filesystem::remove_all(m_strDir);
}

void DeviceLinkTest::Connect()
{
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    ASSERT_TRUE(m_pLink->IsDeviceFound());
    ASSERT_TRUE(m_kb.WaitForReaders(1, 5000));
    m_kb.ClearLog();
    m_clock.ClearPauses();
    m_ui.m_nRefreshes = 0;
}

void DeviceLinkTest::DeliverEvent(uint8_t nCode, uint8_t nParam)
{
    ASSERT_TRUE(m_kb.WaitForReaders(1, 5000));
    ASSERT_EQ(m_kb.SendEvent(nCode, nParam), 1);
    HandleEvents(1);
}

void DeviceLinkTest::HandleEvents(size_t nEvents)
{
    const size_t nTarget = m_ui.m_nRan + nEvents;
    ASSERT_TRUE(m_ui.RunUntil([&] { return m_ui.m_nRan >= nTarget; }))
        << "handled " << (m_ui.m_nRan + nEvents - nTarget) << " of " << nEvents << " events";
}

std::string DeviceLinkTest::ReadFile(const std::string& strPath) const
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void DeviceLinkTest::LoadFromDisk(MacroLibrary& library, SettingsStore& settings, ProfileStore& profiles) const
{
    CDataFiles files(m_strDir);
    files.LoadAll(library, settings, profiles);
}

std::vector<SimExchange> DeviceLinkTest::FeatureLog() const
{
    std::vector<SimExchange> vecFeature;
    for (const SimExchange& exchange : m_kb.Log())
        if (exchange.eDirection == ESimDirection::Set || exchange.eDirection == ESimDirection::Get)
            vecFeature.push_back(exchange);
    return vecFeature;
}

bool WaitUntil(const std::function<bool()>& fnDone, int nTimeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!fnDone())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<MacroAction> ActionsOf(const MacroKey& macro)
{
    return std::vector<MacroAction>(macro.m_actions.begin(), macro.m_actions.begin() + macro.m_nActionCount);
}
