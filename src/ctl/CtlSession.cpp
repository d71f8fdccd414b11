#include "ctl/CtlSession.h"

#include <algorithm>
#include <sys/stat.h>

#include "device/DeviceProtocol.h"
#include "platform/HidBackend.h"
#include "platform/InstanceLock.h"
#include "storage/SettingsFile.h"

void CCtlUi::PostToUiThread(std::function<void()> fn)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deqQueue.push_back(std::move(fn));
}

void CCtlUi::ShowAttention(const std::string& strTitle, const std::string& strText)
{
    m_err << "corvanectl: " << strTitle << " " << strText << '\n';
}

void CCtlUi::RunPending()
{
    std::deque<std::function<void()>> deqNow;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        deqNow.swap(m_deqQueue);
    }
    for (auto& fn : deqNow)
        fn();
}

CCtlSession::CCtlSession(const CCtlServices& services)
    : m_services(services), m_files(services.m_strAppDirectory), m_ui(services.m_err),
      m_pLink(std::make_unique<CDeviceLink>(m_profiles, m_settings, m_library, m_files, services.m_hid,
                                            services.m_clock, services.m_launcher, m_ui)),
      m_pEdits(std::make_unique<CEditSession>(m_profiles, m_settings, m_library, *m_pLink, m_files))
{
}

CCtlSession::~CCtlSession() = default;

namespace
{
bool IsFile(const std::string& strPath)
{
    struct stat info
    {
    };
    return stat(strPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
} // namespace

bool CCtlSession::Open()
{
    if (!m_services.m_lock.Acquire())
    {
        Fail("Corvane is running (its window, or another corvanectl). Close it first: both would "
             "use the keyboard and the data files at once. Nothing was changed.");
        return false;
    }
    if (!m_files.EnsureConfigDirectory())
    {
        Fail("cannot use the data folder " + m_files.ConfigDirectory());
        return false;
    }
    // The files that are there now: one of them that loading replaces by defaults was damaged.
    SettingsStore before;
    before.SetDefaults(m_files.AppDirectory());
    ReadSettingsFile(m_files.SettingsPath(), before);
    std::vector<std::string> vecPresent;
    for (const std::string& strPath : {m_files.MacroLibraryPath(), m_files.SettingsPath()})
        if (IsFile(strPath))
            vecPresent.push_back(strPath);
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        if (IsFile(before.GetSlotUrl(nSlot)))
            vecPresent.push_back(before.GetSlotUrl(nSlot));

    const LoadReport report = m_files.LoadAll(m_library, m_settings, m_profiles);
    auto noteDamaged = [&](bool bDefaulted, const std::string& strPath)
    {
        if (bDefaulted && std::find(vecPresent.begin(), vecPresent.end(), strPath) != vecPresent.end())
            Note(strPath + " could not be read and was replaced by its defaults");
    };
    noteDamaged(report.m_bMacroLibraryDefaulted, m_files.MacroLibraryPath());
    noteDamaged(report.m_bSettingsDefaulted, m_files.SettingsPath());
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        noteDamaged(report.m_bProfileDefaulted[nSlot], m_settings.GetSlotUrl(nSlot));
    // Edits applied earlier without the keyboard go to it with this run's connection.
    m_pLink->RestoreAwaitingEdits();
    return true;
}

void CCtlSession::Connect(bool bReadKeyboard)
{
    m_pLink->ScanForKeyboard();
    if (bReadKeyboard)
        m_pLink->SyncFromDevice();
    // Whatever the keyboard itself reported meanwhile (a profile key pressed) is taken in now,
    // before the command changes anything.
    m_ui.RunPending();
}

bool CCtlSession::IsConnected() const
{
    return m_pLink->HasCommandHandle();
}

bool CCtlSession::IsPresentWithoutAccess() const
{
    return m_pLink->KeyboardState() == EKeyboardState::NoAccess;
}

std::string CCtlSession::KeyboardState() const
{
    if (IsConnected())
        return "connected";
    return IsPresentWithoutAccess() ? "no access" : "not connected";
}

std::string CCtlSession::NotConnectedText() const
{
    if (IsPresentWithoutAccess())
        return "The keyboard is plugged in, but its device nodes cannot be opened. The udev rule "
               "70-corvane-keyboard.rules gives them to the user at the seat: install it (the "
               "package does), then plug the keyboard in again.";
    return "The keyboard is not connected.";
}

int CCtlSession::Fail(const std::string& strMessage)
{
    m_services.m_err << "corvanectl: " << strMessage << '\n';
    return CtlExitFailure;
}

void CCtlSession::Note(const std::string& strMessage)
{
    m_services.m_err << "corvanectl: note: " << strMessage << '\n';
}
