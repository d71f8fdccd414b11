// What the window tells of the keyboard: where it stands, what became of an Apply, and the
// question before an end that would drop changes never applied.

#include "MainWindowTestSupport.h"

#include "mainwindow/StatusLineHandler.h"
#include "skin/AttentionDlg.h"
#include "storage/DataFiles.h"

using namespace MainWindow;

namespace
{
std::string StateText(EKeyboardState eState)
{
    return CStatusLineHandler::StateText(eState);
}
} // namespace

// ---- The status line ----

TEST_F(MainWindowTest, TheStatusLineFollowsTheKeyboardAndTellsMissingAccessApart)
{
    Open();
    EXPECT_EQ(Dlg().StatusLine().Text(), "Keyboard connected");
    m_kb.Unplug();
    ASSERT_TRUE(PumpUntil([&] { return Dlg().StatusLine().Text() == StateText(EKeyboardState::NotFound); }));
    EXPECT_EQ(StateText(EKeyboardState::NotFound),
              "No keyboard found. Changes are kept and sent when it is plugged in.");
    // Plugged in, but no node can be opened: what a missing udev rule looks like.
    m_kb.FailOpen("", kSimAlways);
    m_kb.Plug();
    ASSERT_TRUE(PumpUntil([&] { return Dlg().StatusLine().Text() == StateText(EKeyboardState::NoAccess); }));
    EXPECT_NE(Dlg().StatusLine().Text().find("udev rule"), std::string::npos);
    m_kb.ClearFaults();
    m_kb.Unplug();
    m_kb.Plug();
    ASSERT_TRUE(PumpUntil([&] { return Dlg().StatusLine().Text() == "Keyboard connected"; }));
}

TEST_F(MainWindowTest, AfterApplyTheStatusLineSaysWhatBecameOfTheChanges)
{
    Open();
    Click(IDC_APPLY);
    EXPECT_EQ(Dlg().StatusLine().Text(), "Changes sent to the keyboard and saved.");

    Dlg().Session().SetColour(0, 5);
    m_kb.FailSet(ReportLighting, 1);
    Click(IDC_APPLY);
    EXPECT_EQ(Dlg().StatusLine().Text(), "The keyboard did not take the lighting of profile 1: it is sent again at "
                                         "the next Apply or connection. Saved.");
    EXPECT_TRUE(Dlg().DeviceLink().Pending(0).LightingPending);

    m_kb.Unplug();
    ASSERT_TRUE(PumpUntil([&] { return !Dlg().DeviceLink().IsDeviceFound(); }));
    Click(IDC_APPLY);
    EXPECT_EQ(Dlg().StatusLine().Text(),
              "Changes kept for the keyboard: they are sent when it is plugged in and saved.");
    m_kb.Plug();
    ASSERT_TRUE(PumpUntil([&] { return m_kb.Colour(0) == 5; }));
}

// ---- Ending with changes never applied ----

TEST_F(MainWindowTest, EndingWithChangesNeverAppliedAsksToApplyDiscardOrGoBack)
{
    Open();
    m_kb.ClearLog();
    CSkinWindow::PostMessage(&Dlg(), WM_KEYDOWN, VK_ESCAPE, 0); // nothing to lose: ends at once
    EXPECT_EQ(Dlg().DoModal(), IDCANCEL);
    EXPECT_TRUE(m_vecModalRuns.empty());
    m_pDlg.reset();

    Open();
    Dlg().Session().SetColour(1, 6);
    m_deqAnswers = {IDCANCEL, CQuitQuestionDlg::kDiscard};
    CSkinWindow::PostMessage(&Dlg(), WM_KEYDOWN, VK_ESCAPE, 0); // go back: still running
    CSkinWindow::PostMessage(&Dlg(), WM_COMMAND, IDC_EXIT, 0);  // the tray's Exit: discard
    EXPECT_EQ(Dlg().DoModal(), IDCANCEL);
    ASSERT_EQ(m_vecModalRuns.size(), 2u);
    EXPECT_EQ(m_vecModalRuns[0].strText, CQuitQuestionDlg::kQuestion);
    EXPECT_NE(m_kb.Colour(1), 6);
    m_pDlg.reset();

    Open();
    Dlg().Session().SetColour(1, 6);
    m_deqAnswers = {IDOK};
    CSkinWindow::PostMessage(&Dlg(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Dlg().DoModal(), IDCANCEL);
    EXPECT_EQ(m_kb.Colour(1), 6); // applied, then ended
    EXPECT_NE(ReadFile(Dlg().m_SettingsStore.GetSlotUrl(1)).find("LightColor=6"), std::string::npos);
}
