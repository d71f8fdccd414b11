#pragma once
// The main window's side of the on-screen display: the text request (message 1067), the
// one-second countdown on the window's timer 1, and the end. On Wayland, where a client can
// neither place a window in the corner nor make it translucent, the texts go to the desktop's
// notification service instead (app/DesktopNotice.h); the display window stays for a desktop
// without one, wherever the compositor puts it.

#include <memory>
#include <string>

#include "app/OSDDialog.h"
#include "mainwindow/MainWindowHandler.h"

class CDesktopNotice;
class CSkinWindow;
class QDBusConnection;

class COsdHandler : public CMainWindowHandler
{
public:
    static constexpr int TimerPeriodMs = 1000;
    static constexpr int CountdownStart = 5;

    // The countdown runs on the owner's timer 1; the display has no parent, so it shows while
    // the owner is hidden. On Wayland the texts go to the session bus's notification service.
    explicit COsdHandler(CSkinWindow& owner);
    // Texts go to the notification service on noticeBus, the window only where none answers.
    COsdHandler(CSkinWindow& owner, const QDBusConnection& noticeBus);
    ~COsdHandler() override;

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord&) override {}

    // The text of a request code 1..7; null for any other code.
    static const char* TextOfCode(WPARAM nCode);
    void ShowOsdText(const std::string& strText);
    // The notification route, or null where the display window shows every text.
    const CDesktopNotice* Notice() const { return m_pNotice.get(); }

    COSDDialog* Display() const { return m_pOsd.get(); }
    int Countdown() const { return m_nOsdCountdown; }

private:
    void ShowInWindow(const std::string& strText);
    void OnTimer();

    CSkinWindow& m_owner;
    std::unique_ptr<COSDDialog> m_pOsd;
    std::unique_ptr<CDesktopNotice> m_pNotice;
    int m_nOsdCountdown = 0;
};
