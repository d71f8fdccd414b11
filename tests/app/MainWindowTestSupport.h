#pragma once
// What the main-window tests share: the real window on the keyboard simulator through
// CPlatformServices, a fresh data folder per test, modal dialogs answered by a queued click on
// their own buttons (so nothing waits for a user), clicks on controls by id, and a clock that
// notes the mouse pointer during every protocol pause.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QCursor>

#include "app/CorvaneDlg.h"
#include "platform/ProgramLauncher.h"
#include "platform/simulator/ManualClock.h"
#include "platform/simulator/SimulatedKeyboard.h"

// Notes, for each pause taken on the UI thread, which pointer the program showed meanwhile.
class CPointerWatchingClock : public CManualClock
{
public:
    void SleepMs(unsigned nMs) override;
    std::vector<Qt::CursorShape> m_vecShapes; // Qt::ArrowCursor when no pointer was set
};

class CNoLauncher : public CProgramLauncher
{
public:
    bool Launch(const std::string&) override { return true; }
};

// The window with the desktop's tray decided by the test.
class CTestCorvaneDlg : public CCorvaneDlg
{
public:
    CTestCorvaneDlg(CPlatformServices& services, bool bTray) : CCorvaneDlg(services), m_bTray(bTray) {}

protected:
    bool IsSystemTrayAvailable() const override { return m_bTray; }

private:
    bool m_bTray;
};

// One modal dialog the window ran.
struct ModalRun
{
    std::string strClass; // "reset", "attention", "shortcut", "quick launch", "key map" or "other"
    unsigned nBitmap = 0; // the reset dialog's picture
    std::string strText;  // the attention dialog's message
    int nResult = 0;
};

// One file dialog the window ran, as it was prepared.
struct FileDialogRun
{
    std::string strTitle;
    std::string strFilter;
    std::string strSuffix;
    bool bSave = false;
};

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Builds and initialises the window (as DoModal does, without its loop).
    // Builds and shows the window; eFrame says whether its first frame is painted (and what
    // follows it, the tray icon) before the test goes on.
    enum class EFirstFrame
    {
        Painted,
        NotYet
    };
    void Open(bool bTray = true, EFirstFrame eFrame = EFirstFrame::Painted);
    CTestCorvaneDlg& Dlg() { return *m_pDlg; }

    // A real click (move, press, release) at the middle of a visible control.
    void Click(UINT nId);
    void ClickAt(int x, int y);
    // Picks the item of that text in the popup open in a slot, as the user does.
    void ChoosePopupItem(int nSlot, const std::string& strText);
    // Runs the event loop until fnDone holds; false when it never did.
    bool PumpUntil(const std::function<bool()>& fnDone, int nTimeoutMs = 5000);
    void PumpPosted();
    // Clicks and keys queued for a dialog's modal loop.
    static void QueueDialogClick(CDlgBase& dlg, UINT nId);
    static void QueueDialogKey(CDlgBase& dlg, quint32 nEvdev);

    // A real key on the keyboard reaching the window: a key event with the evdev code's native
    // scan code (evdev + 8) and the window system's time stamp, through the application.
    void SendKey(quint32 nEvdev, bool bRelease, std::uint32_t nStampMs, bool bAutoRepeat = false);
    // Moves the pointer onto the item of that text in the popup open in a slot.
    void HoverPopupItem(int nSlot, const std::string& strText);

    // The answers the next small dialogs give (IDOK or IDCANCEL), in order; IDCANCEL when none.
    std::deque<int> m_deqAnswers;
    // What the user does in the next assignment dialogs, in order: each script queues clicks and
    // keys for the dialog's own loop. A dialog without a script is closed at once.
    std::deque<std::function<void(CDlgBase&)>> m_deqDialogScripts;
    std::vector<ModalRun> m_vecModalRuns;
    // The paths the next file dialogs answer, in order; an empty path (or none left) cancels.
    std::deque<std::string> m_deqFilePaths;
    std::vector<FileDialogRun> m_vecFileDialogs;
    // Every attention text shown so far.
    std::vector<std::string> AttentionTexts() const;

    std::string ConfigPath(const std::string& strName) const { return m_strDir + "config/" + strName; }
    std::string ReadFile(const std::string& strPath) const;
    bool IsVisibleControl(UINT nId);
    ProfileRecord& Slot(int nSlot) { return Dlg().m_ProfileStore[nSlot]; }
    std::string Caption(UINT nId);

    std::string m_strDir;
    CPointerWatchingClock m_clock;
    CSimulatedKeyboard m_kb{m_clock};
    CNoLauncher m_launcher;
    std::unique_ptr<CPlatformServices> m_pServices;
    std::unique_ptr<CTestCorvaneDlg> m_pDlg;
};
