// The window in the user's session: a second start brings the running window forward, a start
// into the tray, and the disconnection message going away when the keyboard comes back.

#include "MainWindowTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/CorvaneApp.h"
#include "app/ShowRequestListener.h"
#include "platform/InstanceLock.h"
#include "skin/AttentionDlg.h"

using namespace MainWindow;

namespace
{
constexpr int ForeignMouse = 1; // device number of the mouse in the simulator's default list
} // namespace

// ---- Second start ----

TEST_F(MainWindowTest, OnceTheSecondStartsMessageIsAnsweredTheRunningWindowComesOutOfTheTray)
{
    Open();
    CShowRequestListener listener(m_strDir, Dlg());
    ASSERT_TRUE(listener.IsListening());
    Dlg().HideWindow();
    ASSERT_FALSE(Dlg().isVisible());

    CInstanceLock first(m_strDir);
    ASSERT_TRUE(first.Acquire());
    CInstanceLock second(m_strDir);
    QTimer::singleShot(0,
                       []
                       {
                           auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                           ASSERT_NE(pBox, nullptr);
                           EXPECT_EQ(pBox->text(), QStringLiteral("you had run one app!"));
                           pBox->button(QMessageBox::Ok)->click();
                       });
    bool bRan = false;
    CCorvaneApp::RunSingleInstance(second,
                                   [&]
                                   {
                                       bRan = true;
                                       return 0;
                                   });
    EXPECT_FALSE(bRan);
    EXPECT_FALSE(Dlg().isVisible()); // not before the event loop has heard the request
    ASSERT_TRUE(PumpUntil([&] { return Dlg().isVisible(); }));
    EXPECT_FALSE(Dlg().isMinimized());
}

// ---- Start into the tray ----

TEST_F(MainWindowTest, StartedForTheTrayTheWindowStaysHiddenOrMinimisedWithoutATrayAndTheKeyboardIsRead)
{
    m_kb.SetActiveProfile(2);
    for (bool bTray : {true, false})
    {
        m_pDlg = std::make_unique<CTestCorvaneDlg>(*m_pServices, bTray);
        Dlg().StartInTray();
        bool bHidden = false, bMinimised = false, bRead = false, bShown = false;
        QTimer::singleShot(0, &Dlg(),
                           [&]
                           {
                               bHidden = !Dlg().isVisible();
                               bMinimised = Dlg().isVisible() && Dlg().isMinimized();
                               bRead = Dlg().DeviceLink().IsDeviceFound() && Dlg().SelectedSlotTab() == 2;
                               Dlg().PostToWindow(WM_COMMAND, IDC_CONFIG_KEYBOARD, 0);
                               QTimer::singleShot(0, &Dlg(),
                                                  [&]
                                                  {
                                                      bShown = Dlg().isVisible() && !Dlg().isMinimized();
                                                      Dlg().PostToWindow(WM_COMMAND, IDC_EXIT, 0);
                                                  });
                           });
        Dlg().DoModal();
        EXPECT_EQ(bHidden, bTray) << bTray;
        EXPECT_EQ(bMinimised, !bTray) << bTray;
        EXPECT_TRUE(bRead) << bTray;
        EXPECT_TRUE(bShown) << bTray; // "Config Keyboard" brings it as after any hiding
        m_pDlg.reset();
    }
}

// ---- The keyboard coming back ----

TEST_F(MainWindowTest, TheDisconnectionMessageClosesItselfWhenTheKeyboardIsBackButNotForAnotherDevice)
{
    Open();
    bool bOpenAfterMouse = false;
    int nResult = -1;
    Dlg().SetModalRunner(
        [&](CDlgBase& dlg)
        {
            // Another device arriving leaves the message; the keyboard arriving closes it.
            QTimer::singleShot(0, &dlg,
                               [&]
                               {
                                   m_kb.UnplugDevice(ForeignMouse);
                                   m_kb.PlugDevice(ForeignMouse);
                                   QTimer::singleShot(200, &dlg,
                                                      [&]
                                                      {
                                                          bOpenAfterMouse = dlg.IsModalLoopRunning();
                                                          m_kb.Plug();
                                                      });
                               });
            // A message left open fails the test instead of hanging it.
            QTimer::singleShot(5000, &dlg, [&dlg] { dlg.EndDialog(-2); });
            nResult = dlg.DoModal();
            return nResult;
        });
    m_kb.Unplug();
    ASSERT_TRUE(PumpUntil([&] { return nResult != -1; }));
    EXPECT_TRUE(bOpenAfterMouse);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(Dlg().DeviceLink().IsDeviceFound());
}
