// The listener for the keyboard's own event reports, and the handling of each event on the UI
// thread.

#include <algorithm>
#include <string>
#include <vector>

#include "device/DeviceLink.h"
#include "storage/DataFiles.h"

namespace
{
// A stop request is seen within this time even while no report arrives.
constexpr int ListenerReadTimeoutMs = 100;
// Used when the collection does not tell its input report length.
constexpr size_t FallbackInputReportLength = 64;
} // namespace

void CDeviceLink::StartListener(const std::vector<HidInterfaceInfo>& vecInterfaces)
{
    if (m_nListenerIndex < 0 || static_cast<size_t>(m_nListenerIndex) >= vecInterfaces.size())
        return; // the event collection was never seen: there is nothing to listen to
    const HidInterfaceInfo& info = vecInterfaces[static_cast<size_t>(m_nListenerIndex)];
    if (m_thrListener.joinable())
    {
        // One listener at a time: one that still reads the same collection keeps running.
        // One that ended, was asked to stop, or reads a node that is no longer the event
        // collection (gone, or replaced before its read noticed) is replaced.
        if (m_bListenerRunning.load() && m_bListening.load() && info.strPath == m_strListenerPath)
            return;
        JoinListener();
    }
    m_bListening = true;
    m_bListenerRunning = true;
    ++m_nListenerStarts;
    m_strListenerPath = info.strPath;
    m_thrListener = std::thread(&CDeviceLink::ListenerThreadProc, this, info);
}

void CDeviceLink::RequestListenerStop()
{
    m_bListening = false;
}

void CDeviceLink::JoinListener()
{
    if (m_thrListener.joinable())
    {
        m_bListening = false;
        m_thrListener.join();
    }
}

void CDeviceLink::ListenerThreadProc(HidInterfaceInfo info)
{
    // Everything this thread touches: the backend, its own handle, the two atomics and the UI
    // dispatcher. The collection comes from the scan by value; the model is never touched here.
    std::unique_ptr<CHidHandle> hListener;
    // The entry must still be the keyboard's event collection (the index may be left from an
    // earlier scan and point at something else by now).
    if (info.nVendorId == KeyboardVendorId && info.nProductId == KeyboardProductId &&
        info.nUsagePage == ListenerUsagePage)
        hListener = m_backend.Open(info.strPath);
    if (hListener)
    {
        const size_t nLength = info.nInputReportLength >= 3 ? info.nInputReportLength : FallbackInputReportLength;
        std::vector<uint8_t> vecBuffer(nLength, 0xFF);
        vecBuffer[0] = 0;
        while (m_bListening.load())
        {
            const int nRead = hListener->Read(vecBuffer.data(), vecBuffer.size(), ListenerReadTimeoutMs);
            if (nRead < 0)
                break; // the keyboard went away or the handle failed: no retry
            if (nRead < 3 || !m_bListening.load())
                continue;
            // A node shared with the keyboard's other collections (key, media or mouse reports)
            // hands their reports to this reader too; they are no events.
            if (!info.vecInputReportIds.empty() &&
                std::find(info.vecInputReportIds.begin(), info.vecInputReportIds.end(), vecBuffer[0]) ==
                    info.vecInputReportIds.end())
                continue;
            PostEvent(vecBuffer[1], vecBuffer[2]);
        }
    }
    m_bListenerRunning = false;
}

void CDeviceLink::PostEvent(uint8_t nCode, uint8_t nParam)
{
    // The closure holds the alive token, not the link's lifetime: after Shutdown the queued
    // events find it cleared and do nothing. Token and link are only touched on the UI thread.
    std::shared_ptr<bool> pAlive = m_pAlive;
    m_ui.PostToUiThread(
        [this, pAlive, nCode, nParam]()
        {
            if (*pAlive)
                HandleEvent(nCode, nParam);
        });
}

ProfileRecord* CDeviceLink::DeviceProfileRecord()
{
    if (m_nDeviceProfile < 0 || m_nDeviceProfile >= DeviceProfileCount)
        return nullptr;
    return &m_profiles[m_nDeviceProfile];
}

void CDeviceLink::HandleEvent(uint8_t nCode, uint8_t nParam)
{
    const int p = nParam;
    switch (nCode)
    {
    case EventMacroReceived:
        if (p >= 1 && p <= ProgrammableKeyCount)
            OnMacroReceived(p);
        break;
    case EventColourChanged:
        if (ProfileRecord* pRecord = DeviceProfileRecord())
        {
            pRecord->SetColour(p);
            m_ui.RefreshProfileView();
        }
        break;
    case EventWinLockChanged: m_ui.RequestOsdText(p == 0 ? OsdWinKeyDisabled : OsdWinKeyEnabled); break;
    case EventLaunchPressed:
        if (p >= 1 && p <= ProgrammableKeyCount)
        {
            if (ProfileRecord* pRecord = DeviceProfileRecord())
            {
                const std::string& strPath = pRecord->m_keys[static_cast<size_t>(p - 1)].m_strUrl;
                if (!strPath.empty())
                    m_launcher.Launch(strPath); // the outcome is not reported
            }
        }
        break;
    case EventProfileChanged:
        // The keyboard has profiles 1..3 only; any other number would point the program at a
        // slot with no keyboard profile behind it (and no tab to show it), so it is ignored.
        if (p < 1 || p > DeviceProfileCount)
            break;
        m_nDeviceProfile = p - 1;
        m_settings.SetActiveSlot(p - 1);
        m_ui.RefreshProfileView();
        m_ui.RequestOsdText(p);
        break;
    case EventLightingMode:
        if (ProfileRecord* pRecord = DeviceProfileRecord())
        {
            if (p == 0)
            {
                pRecord->SetColour(SteadyLightColour);
                pRecord->SetBrightness(DefaultLightBrightness);
            }
            else
            {
                pRecord->SetBrightness(BreathingBrightness);
            }
            m_ui.RefreshProfileView();
        }
        break;
    case EventBrightnessChanged:
        if (ProfileRecord* pRecord = DeviceProfileRecord())
        {
            pRecord->SetBrightness(p);
            m_ui.RefreshProfileView();
        }
        break;
    case EventAllLockChanged: m_ui.RequestOsdText(p == 0 ? OsdAllKeysDisabled : OsdAllKeysEnabled); break;
    default: break; // event 8 and unknown codes
    }
}

void CDeviceLink::OnMacroReceived(int nKeyNumber)
{
    ProfileRecord* pRecord = DeviceProfileRecord();
    if (!pRecord || !HasCommandHandle())
        return;
    const int nProfile = m_nDeviceProfile;
    const int nKey = nKeyNumber - 1;
    ReportBuffer reply{};
    if (!ReadSelected(nProfile, nKey, ReportMacro, MacroReportLength, reply))
        return;
    bool bMadeUp = false;
    StoreMacroFromReply(nProfile, nKey, reply, bMadeUp);
    // Sent back whether or not the keyboard had a name.
    WriteKeyMacro(nProfile, nKey);
    pRecord->m_keys[static_cast<size_t>(nKey)].m_value = KeyValue{KeyKindMacro, 0, 0};
    m_files.SaveProfile(nProfile, m_profiles, m_settings);
    // A library that could not be written stays marked for the next Apply.
    if (!m_files.SaveMacroLibrary(m_library))
        m_bMacroLibraryChanged = true;
    m_ui.RefreshProfileView();
}
