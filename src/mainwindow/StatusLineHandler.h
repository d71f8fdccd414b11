#pragma once
// The line at the foot of the main window that says where the keyboard stands (connected, not
// found, present but not accessible) and, for a few seconds after Apply, OK or a reset, what
// became of the changes: sent, kept for the keyboard, or which write it did not take.

#include <string>

#include <QTimer>

#include "device/DeviceLink.h"
#include "device/ProfileCommands.h"
#include "mainwindow/MainWindowHandler.h"
#include "skin/SkinTypes.h"

class CMainWindowHost;

class CStatusLineHandler : public CMainWindowHandler
{
public:
    // The band between the profile tabs and the window's lower edge, where no control sits.
    static constexpr CRect LineRect{40, 586, 760, 605};
    static constexpr int ResultShownMs = 5000;

    explicit CStatusLineHandler(CMainWindowHost& host);

    bool HandleMessage(UINT, WPARAM, LPARAM) override { return false; }
    void Refresh(const ProfileRecord&) override {}
    void DrawOnPage(QPainter* pDC, int nPage) override;

    // The line is drawn from the moment the window's fonts are ready, just after its first frame:
    // the first frame needs no font, and a font match before it costs more than anything else.
    void ShowLine();
    bool IsLineShown() const { return m_bLineShown; }
    // The keyboard's state after a scan, a connection or a removal.
    void SetKeyboardState(EKeyboardState eState);
    // What an Apply (or OK) or a reset did, shown for a few seconds instead of the state.
    void ShowOutcome(EProfileCommand eCommand, const ProfileCommandOutcome& outcome, const std::string& strConfigDir);

    // The text shown now.
    const std::string& Text() const { return m_strResult.empty() ? m_strState : m_strResult; }
    static std::string StateText(EKeyboardState eState);
    static std::string OutcomeText(EProfileCommand eCommand, const ProfileCommandOutcome& outcome,
                                   const std::string& strConfigDir);

private:
    enum class ETone
    {
        Good,
        Waiting,
        Problem,
    };
    void Repaint();

    CMainWindowHost& m_host;
    bool m_bLineShown = false;
    std::string m_strState;
    ETone m_eStateTone = ETone::Waiting;
    std::string m_strResult; // empty when none is shown
    ETone m_eResultTone = ETone::Good;
    QTimer m_tmrResult;
};
