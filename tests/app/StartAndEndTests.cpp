// Start-up and end of the program: single instance, the order of initialisation, the tray, hiding
// and the no-tray desktop, device arrival and removal, and the teardown.

#include "MainWindowTestSupport.h"

#include "mainwindow/StatusLineHandler.h"

#include <filesystem>
#include <poll.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "app/CorvaneApp.h"
#include "app/TrayIcon.h"
#include "device/DeviceProtocol.h"
#include "platform/InstanceLock.h"
#include "skin/AttentionDlg.h"
#include "storage/DataFiles.h"
#include "skin/Buttons.h"

using namespace MainWindow;

namespace
{
constexpr int ForeignMouse = 1; // device number of the mouse in the simulator's default list

// Hands everything to the simulator and lets the test look at the window the first time the
// keyboard is looked for.
class CProbeBackend : public CHidBackend
{
public:
    CProbeBackend(CHidBackend& inner, std::function<void()> fnFirstScan)
        : m_inner(inner), m_fnFirstScan(std::move(fnFirstScan))
    {
    }
    std::vector<HidInterfaceInfo> Enumerate() override
    {
        if (m_fnFirstScan)
            std::exchange(m_fnFirstScan, nullptr)();
        return m_inner.Enumerate();
    }
    std::unique_ptr<CHidHandle> Open(const std::string& strPath) override { return m_inner.Open(strPath); }

private:
    CHidBackend& m_inner;
    std::function<void()> m_fnFirstScan;
};

bool HotplugQueueEmpty(CHotplugSource& source)
{
    pollfd fd{source.Fd(), POLLIN, 0};
    return ::poll(&fd, 1, 0) == 0;
}

// Calls fnAction from the event loop as soon as fnReady holds.
void WhenReady(std::function<bool()> fnReady, std::function<void()> fnAction)
{
    auto* pTimer = new QTimer;
    QObject::connect(pTimer, &QTimer::timeout,
                     [pTimer, fnReady, fnAction]
                     {
                         if (!fnReady())
                             return;
                         pTimer->stop();
                         pTimer->deleteLater();
                         fnAction();
                     });
    pTimer->start(5);
}
} // namespace

// ---- Single instance ----

TEST_F(MainWindowTest, ASecondStartShowsThePlainMessageAndCreatesNoWindow)
{
    auto pFirst = std::make_unique<CInstanceLock>(m_strDir);
    ASSERT_TRUE(pFirst->Acquire());
    CInstanceLock second(m_strDir);
    QString strText;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon eIcon = QMessageBox::Warning;
    WhenReady([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
              [&]
              {
                  auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                  strText = pBox->text();
                  buttons = pBox->standardButtons();
                  eIcon = pBox->icon();
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
    EXPECT_EQ(strText, QStringLiteral("you had run one app!"));
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(eIcon, QMessageBox::NoIcon);
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        EXPECT_FALSE(pWidget->isVisible()) << pWidget->metaObject()->className();

    // Once the first copy has gone, the program starts.
    pFirst.reset();
    CInstanceLock third(m_strDir);
    CCorvaneApp::RunSingleInstance(third,
                                   [&]
                                   {
                                       bRan = true;
                                       return 0;
                                   });
    EXPECT_TRUE(bRan);
}

// ---- Start-up ----

TEST_F(MainWindowTest, StartInAnEmptyFolderWritesTheDataFilesAndBuildsTheWindowBeforeTheKeyboardIsRead)
{
    m_kb.SetActiveProfile(1);
    m_kb.SetLighting(1, 5, 4);
    bool bLooked = false;
    CProbeBackend probe(m_kb,
                        [&]
                        {
                            bLooked = true;
                            for (const char* pszFile : {"config.ini", "default0.psf", "default1.psf", "default2.psf",
                                                        "default3.psf", "default4.psf", "MacroLibraryFile.mlf"})
                                EXPECT_TRUE(std::filesystem::exists(ConfigPath(pszFile))) << pszFile;
                            EXPECT_EQ(Dlg().GetControlList(KeyPageList).size(), 103u);
                            EXPECT_EQ(Dlg().GetControlList(LightingPageList).size(), 2u);
                            EXPECT_EQ(Dlg().LoopCountEdit(), nullptr); // both made after the first frame
                            EXPECT_EQ(Dlg().Tray(), nullptr);
                            EXPECT_EQ(Caption(IDC_LIGHT_COLOR), "Red"); // the first refresh showed the files' slot 0
                            EXPECT_TRUE(Dlg().GetBackgroundImage().isNull()); // the skin is prepared last
                        });
    m_pServices = std::make_unique<CPlatformServices>(CPlatformServices{m_strDir, probe, m_kb, m_clock, m_launcher});
    Open();
    EXPECT_TRUE(bLooked);
    EXPECT_EQ(m_kb.FeatureTrace().substr(0, 8), "G5 S4 G7");
    EXPECT_EQ(m_kb.ViolationsText(), "");
    // The keyboard's own state is what the window shows.
    EXPECT_EQ(Dlg().m_SettingsStore.GetPair(0, PartValue), "1");
    EXPECT_EQ(Dlg().SelectedSlotTab(), 1);
    EXPECT_TRUE(dynamic_cast<CTabControl*>(Dlg().FindControl(2050))->IsSelected());
    EXPECT_EQ(Caption(IDC_LIGHT_COLOR), "Green");
    EXPECT_EQ(Caption(IDC_LIGHT_BRIGHTNESS), "60%");
    EXPECT_FALSE(Dlg().GetBackgroundImage().isNull());
    EXPECT_EQ(Dlg().windowTitle(), QStringLiteral("Quelmar Keyboard"));
    EXPECT_EQ(Dlg().size(), QSize(800, 634));
    // The window's listener uses the probe: both go before the probe does.
    m_pDlg.reset();
}

// ---- End ----

TEST_F(MainWindowTest, EnterKeepsTheWindowAndEscapeEndsItTellingTheKeyboardSevenAndRemovingTrayAndEditBox)
{
    Open();
    m_kb.ClearLog();
    CSkinWindow::PostMessage(&Dlg(), WM_KEYDOWN, VK_RETURN, 0);
    CSkinWindow::PostMessage(&Dlg(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Dlg().DoModal(), IDCANCEL); // Enter did not end it
    EXPECT_EQ(m_kb.FeatureTrace(), "S5");
    EXPECT_EQ(m_kb.LastProfileCommand(), 7);
    EXPECT_EQ(m_clock.Pauses().back(), 10u);
    EXPECT_FALSE(Dlg().DeviceLink().HasCommandHandle());
    EXPECT_FALSE(Dlg().DeviceLink().IsListenerRunning());
    EXPECT_EQ(Dlg().Tray(), nullptr);
    EXPECT_EQ(Dlg().LoopCountEdit(), nullptr);
    EXPECT_FALSE(Dlg().isVisible());
}

// ---- Tray ----

TEST_F(MainWindowTest, TheTrayIconAndTheRepeatBoxComeRightAfterTheFirstFrameOrAtOnceForAWindowStartedHidden)
{
    CDataFiles files(m_strDir);
    files.EnsureConfigDirectory();
    MacroLibrary library;
    library.SetDefault();
    library.FirstSet()->AppendKey("One").LoopNum = 7;
    files.SaveMacroLibrary(library);
    Open(true, EFirstFrame::NotYet);
    EXPECT_EQ(Dlg().Tray(), nullptr);
    Dlg().grab();                     // paints the frame, which needs no font
    EXPECT_EQ(Dlg().Tray(), nullptr); // not inside the paint
    EXPECT_FALSE(Dlg().StatusLine().IsLineShown());
    PumpPosted();
    EXPECT_NE(Dlg().Tray(), nullptr);
    EXPECT_TRUE(Dlg().StatusLine().IsLineShown()); // with the fonts, the status line
    // The box shows the first macro's repeat count and edits it.
    ASSERT_NE(Dlg().LoopCountEdit(), nullptr);
    EXPECT_FALSE(Dlg().LoopCountEdit()->isVisibleTo(&Dlg()));
    EXPECT_EQ(Dlg().LoopCountEdit()->text(), "7");
    Dlg().LoopCountEdit()->setText("9");
    emit Dlg().LoopCountEdit()->textEdited("9");
    EXPECT_EQ(Dlg().m_MacroLibrary.FirstSet()->FindKey(0)->LoopNum, 9);

    Open(true, EFirstFrame::NotYet);
    Dlg().hide();
    PumpPosted();
    EXPECT_NE(Dlg().Tray(), nullptr);
}

TEST_F(MainWindowTest, TrayEventsOfIcon128ShowTheWindowOrTheMenuWhoseExitEndsTheProgram)
{
    Open();
    Dlg().hide();
    CSkinWindow::SendMessage(&Dlg(), UM_TRAYNOTIFY, 129, CTrayIcon::DoubleClick); // not our icon
    CSkinWindow::SendMessage(&Dlg(), UM_TRAYNOTIFY, 129, CTrayIcon::RightButtonUp);
    EXPECT_FALSE(Dlg().isVisible());
    QMenu& menu = const_cast<CTrayIcon*>(Dlg().Tray())->Menu();
    EXPECT_FALSE(menu.isVisible());
    CSkinWindow::SendMessage(&Dlg(), UM_TRAYNOTIFY, 128, CTrayIcon::DoubleClick);
    EXPECT_TRUE(Dlg().isVisible());

    Dlg().hide();
    CSkinWindow::SendMessage(&Dlg(), UM_TRAYNOTIFY, 128, CTrayIcon::RightButtonUp);
    EXPECT_TRUE(menu.isVisible());
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Config Keyboard"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Exit"));
    menu.hide();
    actions[0]->trigger();
    PumpPosted();
    EXPECT_TRUE(Dlg().isVisible());

    QTimer::singleShot(0, actions[2], &QAction::trigger);
    EXPECT_EQ(Dlg().DoModal(), IDCANCEL);
    EXPECT_EQ(Dlg().Tray(), nullptr);
}

TEST_F(MainWindowTest, HidingKeepsEveryEditPendingUntilTheTrayBringsTheWindowBack)
{
    Open();
    Click(IDC_TAB_LIGHTING_PAGE);
    Click(IDC_LIGHT_COLOR);
    ChoosePopupItem(PopupSlotLightColor, "Cyan");
    m_kb.ClearLog();
    const std::string strProfile = ReadFile(ConfigPath("default0.psf"));
    for (UINT nId : {IDC_HIDE, IDC_HIDE_WITHOUT_APPLY})
    {
        Click(nId);
        EXPECT_FALSE(Dlg().isVisible()) << nId;
        CSkinWindow::SendMessage(&Dlg(), UM_TRAYNOTIFY, 128, CTrayIcon::DoubleClick);
        EXPECT_TRUE(Dlg().isVisible()) << nId;
        EXPECT_FALSE(Dlg().isMinimized()) << nId;
    }
    EXPECT_EQ(Caption(IDC_LIGHT_COLOR), "Cyan");
    EXPECT_TRUE(Dlg().DeviceLink().Pending(0).LightingPending);
    EXPECT_EQ(m_kb.FeatureTrace(), "");
    EXPECT_EQ(ReadFile(ConfigPath("default0.psf")), strProfile);
}

TEST_F(MainWindowTest, WithoutASystemTrayTheHideCommandsMinimiseSoTheWindowCanComeBack)
{
    Open(false);
    EXPECT_EQ(Dlg().Tray(), nullptr);
    for (UINT nId : {IDC_HIDE, IDC_HIDE_WITHOUT_APPLY, IDC_OK})
    {
        Dlg().showNormal();
        Click(nId);
        EXPECT_TRUE(Dlg().isVisible()) << nId;
        EXPECT_TRUE(Dlg().isMinimized()) << nId;
    }
}

// ---- Device arrival and removal ----

TEST_F(MainWindowTest, AKeyboardPluggedInIsReadAndEachRemovalIsReportedOnce)
{
    m_kb.Unplug();
    Open();
    EXPECT_FALSE(Dlg().DeviceLink().IsDeviceFound());
    m_kb.SetActiveProfile(2);
    m_kb.Plug();
    ASSERT_TRUE(PumpUntil([&] { return Dlg().DeviceLink().IsDeviceFound() && Dlg().SelectedSlotTab() == 2; }));
    EXPECT_NE(m_kb.FeatureTrace().find("G5"), std::string::npos);

    for (int nRemoval = 1; nRemoval <= 2; ++nRemoval)
    {
        m_kb.Unplug();
        ASSERT_TRUE(PumpUntil([&] { return m_vecModalRuns.size() == static_cast<size_t>(nRemoval); }));
        ASSERT_TRUE(PumpUntil([&] { return HotplugQueueEmpty(m_kb); }));
        m_kb.UnplugDevice(ForeignMouse); // another device going: no message
        ASSERT_TRUE(PumpUntil([&] { return HotplugQueueEmpty(m_kb); }));
        EXPECT_EQ(m_vecModalRuns.size(), static_cast<size_t>(nRemoval));
        EXPECT_EQ(m_vecModalRuns.back().strClass, "attention");
        EXPECT_EQ(m_vecModalRuns.back().strText, AttentionText::kDisconnected);
        m_kb.PlugDevice(ForeignMouse);
        m_kb.Plug();
        ASSERT_TRUE(PumpUntil([&] { return Dlg().DeviceLink().IsDeviceFound(); }));
    }
}
