#pragma once
// One run of corvanectl: the single-instance lock, the data files loaded as the window loads
// them, and the device link on the given HID backend. Commands work on its stores and report
// through its streams.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "ctl/CtlServices.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkUi.h"
#include "device/EditSession.h"
#include "device/ProfileCommands.h"
#include "model/Macro.h"
#include "model/Profile.h"
#include "storage/DataFiles.h"

// The link's view of a program without a window: work the listener hands over waits in a queue
// until the session runs it; the attention dialog becomes a line on the error stream.
class CCtlUi : public CDeviceLinkUi
{
public:
    explicit CCtlUi(std::ostream& err) : m_err(err) {}
    void PostToUiThread(std::function<void()> fn) override;
    void ShowAttention(const std::string& strTitle, const std::string& strText) override;
    void RequestOsdText(int) override {}
    void RefreshProfileView() override {}
    void RunPending();

private:
    std::ostream& m_err;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_deqQueue;
};

class CCtlSession
{
public:
    explicit CCtlSession(const CCtlServices& services);
    ~CCtlSession(); // the link says goodbye to the keyboard, as the window does when it ends
    CCtlSession(const CCtlSession&) = delete;
    CCtlSession& operator=(const CCtlSession&) = delete;

    // Takes the lock and loads every data file (a damaged one is replaced by defaults, with a
    // note). False, with the message written, when another copy runs or the folder is unusable.
    bool Open();
    // Looks for the keyboard and, when bReadKeyboard, reads its settings into the stores.
    void Connect(bool bReadKeyboard);
    // The command handle is open: the keyboard can be told things.
    bool IsConnected() const;
    // What Connect found, for the user: "connected", "not connected" or "no access".
    std::string KeyboardState() const;
    // Why the keyboard cannot be used, for the user.
    std::string NotConnectedText() const;

    // Every change of the stores, Apply and the resets, as the window makes them.
    CEditSession& Edits() { return *m_pEdits; }
    ProfileCommandOutcome Apply() { return m_pEdits->Apply(); }

    // Writes "corvanectl: <message>" on the error stream and returns the failure status.
    int Fail(const std::string& strMessage);
    void Note(const std::string& strMessage);

    std::ostream& Out() { return m_services.m_out; }
    const CDataFiles& Files() const { return m_files; }
    CDeviceLink& Link() { return *m_pLink; }

    ProfileStore m_profiles;
    SettingsStore m_settings;
    MacroLibrary m_library;

private:
    // The keyboard is listed by the system but none of its collections could be opened.
    bool IsPresentWithoutAccess() const;

    const CCtlServices& m_services;
    CDataFiles m_files;
    CCtlUi m_ui;
    std::unique_ptr<CDeviceLink> m_pLink;
    std::unique_ptr<CEditSession> m_pEdits;
};
