#include "mainwindow/ProfileSlotHandler.h"

#include <QApplication>

#include "device/EditSession.h"
#include "dialogs/FirmwareResetDlg.h"
#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "model/Profile.h"

using namespace MainWindow;

namespace
{
// The keyboard needs its pauses between reports, so sending several holds this thread for
// seconds: the pointer says so meanwhile. Events queued so far run first, so that the pointer
// reaches the screen before the wait; no user input is taken then.
class CBusyPointer
{
public:
    CBusyPointer()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~CBusyPointer() { QApplication::restoreOverrideCursor(); }
    CBusyPointer(const CBusyPointer&) = delete;
    CBusyPointer& operator=(const CBusyPointer&) = delete;
};
} // namespace

CProfileSlotHandler::CProfileSlotHandler(CMainWindowHost& host, int& nSelectedSlotTab)
    : m_host(host), m_nSelectedSlotTab(nSelectedSlotTab)
{
}

bool CProfileSlotHandler::HandleMessage(UINT nMsg, WPARAM, LPARAM lParam)
{
    const bool bSlotTab = nMsg >= IDC_SLOT_TAB_FIRST && nMsg <= IDC_SLOT_TAB_LAST;
    if (!bSlotTab && nMsg != IDC_RESET_SLOT && nMsg != IDC_RESET_ALL_SLOTS && nMsg != IDC_APPLY && nMsg != IDC_OK)
        return false;
    if (lParam != NOTIFY_CLICK)
        return true;
    if (bSlotTab)
        SwitchToSlot(static_cast<int>(nMsg - IDC_SLOT_TAB_FIRST));
    else if (nMsg == IDC_RESET_SLOT)
        ResetActiveSlot();
    else if (nMsg == IDC_RESET_ALL_SLOTS)
        ResetAllSlots();
    else
    {
        Apply();
        if (nMsg == IDC_OK)
            m_host.HideWindow();
    }
    return true;
}

void CProfileSlotHandler::Refresh(const ProfileRecord&)
{
    m_nSelectedSlotTab = m_host.ActiveSlot();
}

void CProfileSlotHandler::SwitchToSlot(int nSlot)
{
    // Nothing goes to the keyboard and nothing is saved: the next Apply tells the keyboard.
    m_host.Session().SwitchSlot(nSlot);
    m_host.RefreshProfileView();
}

bool CProfileSlotHandler::Confirm(unsigned nQuestionPicture)
{
    CFirmwareResetDlg dlg(m_host.DialogParent());
    dlg.SetBackgroundBitmap(nQuestionPicture);
    return m_host.RunModalDialog(dlg) == IDOK;
}

bool CProfileSlotHandler::ResetActiveSlot()
{
    if (!Confirm(CFirmwareResetDlg::kResetCurrentBitmap))
        return false;
    ProfileCommandOutcome outcome;
    {
        const CBusyPointer busy;
        outcome = m_host.Session().ResetActiveSlot();
    }
    m_host.RefreshProfileView();
    m_host.ShowCommandOutcome(EProfileCommand::Reset, outcome);
    return true;
}

bool CProfileSlotHandler::ResetAllSlots()
{
    if (!Confirm(CFirmwareResetDlg::kResetAllBitmap))
        return false;
    ProfileCommandOutcome outcome;
    {
        const CBusyPointer busy;
        outcome = m_host.Session().ResetAllSlots();
    }
    m_host.RefreshProfileView();
    m_host.ShowCommandOutcome(EProfileCommand::Reset, outcome);
    return true;
}

void CProfileSlotHandler::Apply()
{
    ProfileCommandOutcome outcome;
    {
        const CBusyPointer busy;
        outcome = m_host.Session().Apply();
    }
    // Nothing was drawn during the wait.
    m_host.RepaintWindow();
    m_host.ShowCommandOutcome(EProfileCommand::Apply, outcome);
}
