// Key remapping through the key map dialog and the programmable keys' function menu with its
// submenus and dialogs, on the real window; Apply sends what they changed to the simulator.

#include "MainWindowTestSupport.h"

#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QFileDialog>
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>

#include "device/DeviceProtocol.h"
#include "dialogs/ShortcutDlg.h"
#include "mainwindow/FunctionMenuHandler.h"
#include "skin/Buttons.h"
#include "skin/Popups.h"

using namespace MainWindow;

namespace
{
constexpr quint32 EvQ = 16, EvA = 30, EvF1 = 59, EvF5 = 63;

class KeyAssignmentTest : public MainWindowTest
{
protected:
    CKeyboardButton& Key(UINT nId) { return *dynamic_cast<CKeyboardButton*>(Dlg().FindControl(nId)); }
    CComboButton& KeyButton(int k)
    {
        return *dynamic_cast<CComboButton*>(Dlg().FindControl(IDC_PROGRAMMABLE_KEY_FIRST + static_cast<UINT>(k)));
    }
    // The user presses a key in the key map dialog and confirms with OK (or leaves with Cancel).
    void ScriptKeyMap(quint32 nEvdev, UINT nButton = IDC_DLG_OK)
    {
        m_deqDialogScripts.push_back(
            [nEvdev, nButton](CDlgBase& dlg)
            {
                QueueDialogKey(dlg, nEvdev);
                QueueDialogClick(dlg, nButton);
            });
    }
    // Opens key k's menu and picks an entry, through a submenu when one is named.
    void ChooseFunction(int k, const std::string& strEntry, int nSubmenuSlot = 0, const std::string& strItem = "")
    {
        Click(IDC_PROGRAMMABLE_KEY_FIRST + static_cast<UINT>(k));
        if (nSubmenuSlot == 0)
        {
            ChoosePopupItem(PopupSlotFunctionMenu, strEntry);
            return;
        }
        HoverPopupItem(PopupSlotFunctionMenu, strEntry);
        ChoosePopupItem(nSubmenuSlot, strItem);
    }
    bool AnyPopupOpen()
    {
        for (int nSlot = 1; nSlot < CDlgBase::kPopupSlots; ++nSlot)
            if (Dlg().GetPopup(nSlot))
                return true;
        return false;
    }
};
} // namespace

// ---- Key remapping ----

TEST_F(KeyAssignmentTest, AKeyMapResultIsStoredAfterTheAlternateCodeRuleInTheActiveSlotOnly)
{
    Open();
    Click(IDC_SLOT_TAB_FIRST + 1);
    ScriptKeyMap(EvQ);
    Click(2200); // Esc
    EXPECT_EQ(m_vecModalRuns.back().strClass, "key map");
    EXPECT_EQ(Slot(1).GetRemapEntry(2200), 0x14);
    EXPECT_TRUE(Key(2200).m_bKeyChanged);
    EXPECT_TRUE(Dlg().DeviceLink().Pending(1).KeyTablePending);
    EXPECT_FALSE(Dlg().DeviceLink().Pending(0).KeyTablePending);
    Click(IDC_SLOT_TAB_FIRST);
    EXPECT_EQ(Key(2200).m_nCurrentCode, 0x29);
    EXPECT_FALSE(Key(2200).m_bKeyChanged);

    // F5 on the F1 key takes the F-row's own code and shows as changed; F1 again is the factory
    // code and no longer changed.
    ScriptKeyMap(EvF5);
    Click(2201);
    EXPECT_EQ(Slot(0).GetRemapEntry(2201), 0xC4);
    EXPECT_EQ(Key(2201).m_nCurrentCode, 0xC4);
    EXPECT_TRUE(Key(2201).m_bKeyChanged);
    ScriptKeyMap(EvF1);
    Click(2201);
    EXPECT_EQ(Slot(0).GetRemapEntry(2201), 0xC0);
    EXPECT_FALSE(Key(2201).m_bKeyChanged);

    // Cancel changes nothing.
    const ProfileRecord before = Slot(0);
    ScriptKeyMap(EvQ, IDC_DLG_CANCEL);
    Click(2202);
    EXPECT_EQ(Slot(0), before);
    EXPECT_EQ(m_kb.FeatureTrace().find("S6"), std::string::npos); // only Apply sends
}

// ---- Function menu ----

TEST_F(KeyAssignmentTest, EveryFunctionMenuChoiceStoresItsNameAndBytesAndMarksTheKeyTable)
{
    Open();
    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    struct Choice
    {
        const char* pszEntry;
        int nSlot;
        const char* pszItem;
        KeyValue value;
    };
    const Choice choices[] = {
        {"Multimedia", PopupSlotMultimedia, "Mute", {2, 0xA0, 0}},
        {"Multimedia", PopupSlotMultimedia, "Volume+", {2, 0xA1, 0}},
        {"Multimedia", PopupSlotMultimedia, "Volume-", {2, 0xA2, 0}},
        {"Multimedia", PopupSlotMultimedia, "Open Media", {2, 0xA3, 0}},
        {"Multimedia", PopupSlotMultimedia, "PreTrack", {2, 0xA4, 0}},
        {"Multimedia", PopupSlotMultimedia, "NextTrack", {2, 0xA5, 0}},
        {"Multimedia", PopupSlotMultimedia, "Play/Pause", {2, 0xA6, 0}},
        {"Multimedia", PopupSlotMultimedia, "Stop", {2, 0xA7, 0}},
        {"Window Manage", PopupSlotWindowManage, "WWW Search", {2, 0xA8, 0}},
        {"Window Manage", PopupSlotWindowManage, "WWW Home", {2, 0xA9, 0}},
        {"Window Manage", PopupSlotWindowManage, "WWW Back", {2, 0xAA, 0}},
        {"Window Manage", PopupSlotWindowManage, "WWW Forward", {2, 0xAB, 0}},
        {"Window Manage", PopupSlotWindowManage, "WWW Stop", {2, 0xAC, 0}},
        {"Window Manage", PopupSlotWindowManage, "WWW Refresh", {2, 0xAD, 0}},
        {"Window Manage", PopupSlotWindowManage, "WWW Favorite", {2, 0xAE, 0}},
        {"Window Manage", PopupSlotWindowManage, "Email", {2, 0xAF, 0}},
        {"Window Manage", PopupSlotWindowManage, "My Computer", {2, 0xB0, 0}},
        {"Window Manage", PopupSlotWindowManage, "Calculator", {2, 0xB1, 0}},
        {"Mouse Function", PopupSlotMouseFunction, "Click", {3, 0x01, 0}},
        {"Mouse Function", PopupSlotMouseFunction, "Menu", {3, 0x02, 0}},
        {"Mouse Function", PopupSlotMouseFunction, "Middle Button", {3, 0x04, 0}},
        {"Mouse Function", PopupSlotMouseFunction, "IE Backward", {3, 0x08, 0}},
        {"Mouse Function", PopupSlotMouseFunction, "IE Forward", {3, 0x10, 0}},
        {"Mouse Function", PopupSlotMouseFunction, "Double-click", {4, 0, 0}},
        {"Mouse Function", PopupSlotMouseFunction, "Fire", {5, 0, 0}},
        {"No Function", 0, "No Function", {0, 0, 0}},
    };
    for (const Choice& choice : choices)
    {
        SCOPED_TRACE(choice.pszItem);
        Slot(0).m_keys[3].m_strUrl = "/left/over";
        Dlg().DeviceLink().ClearAllPending();
        ChooseFunction(3, choice.pszEntry, choice.nSlot, choice.pszItem);
        EXPECT_EQ(Slot(0).m_keys[3], (ProgrammableKey{choice.pszItem, "", choice.value}));
        EXPECT_EQ(KeyButton(3).GetCaption(), choice.pszItem);
        EXPECT_FALSE(KeyButton(3).IsPopupOpen());
        EXPECT_FALSE(AnyPopupOpen());
        EXPECT_TRUE(Dlg().DeviceLink().Pending(0).KeyTablePending);
        EXPECT_FALSE(Dlg().DeviceLink().Pending(0).MacroPending[3]);
    }
    // "Default Function" gives each key its own Ctrl+digit.
    ChooseFunction(2, "Default Function");
    EXPECT_EQ(Slot(0).m_keys[2], (ProgrammableKey{"CTRL+3", "", KeyValue{6, 1, 0x20}}));
    EXPECT_EQ(KeyButton(2).GetCaption(), "CTRL+3");
    ChooseFunction(3, "Default Function");
    EXPECT_EQ(Slot(0).m_keys[3].m_value, (KeyValue{6, 1, 0x21}));
    EXPECT_EQ(m_kb.FeatureTrace().find("S6"), std::string::npos);
}

TEST_F(KeyAssignmentTest, PointingAtASubmenuEntryLeavesOnlyThatSubmenuOpenAndLossOfActivationClosesAsTheRulesSay)
{
    Open();
    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    QCursor::setPos(-500, -500); // the pointer is nowhere near the menus
    Click(2078);
    ASSERT_NE(Dlg().GetPopup(PopupSlotFunctionMenu), nullptr);
    EXPECT_TRUE(KeyButton(0).IsPopupOpen());
    const CRect rcButton = KeyButton(0).GetRect();
    EXPECT_EQ(Dlg().mapFromGlobal(Dlg().GetPopup(PopupSlotFunctionMenu)->pos()),
              QPoint(rcButton.left, rcButton.bottom));

    HoverPopupItem(PopupSlotFunctionMenu, "Multimedia");
    ASSERT_NE(Dlg().GetPopup(PopupSlotMultimedia), nullptr);
    EXPECT_EQ(Dlg().mapFromGlobal(Dlg().GetPopup(PopupSlotMultimedia)->pos()),
              QPoint(rcButton.right - 6, rcButton.bottom + 16));
    HoverPopupItem(PopupSlotFunctionMenu, "Window Manage");
    EXPECT_EQ(Dlg().GetPopup(PopupSlotMultimedia), nullptr);
    EXPECT_NE(Dlg().GetPopup(PopupSlotWindowManage), nullptr);
    HoverPopupItem(PopupSlotFunctionMenu, "Assign a Shortcut");
    EXPECT_EQ(Dlg().GetPopup(PopupSlotWindowManage), nullptr);
    EXPECT_NE(Dlg().GetPopup(PopupSlotFunctionMenu), nullptr);

    // The menu keeps itself while a submenu is open or when the code is not its own; a submenu
    // closes on its own code, and the menu goes with the last submenu.
    HoverPopupItem(PopupSlotFunctionMenu, "Mouse Function");
    ASSERT_NE(Dlg().GetPopup(PopupSlotMouseFunction), nullptr);
    EXPECT_EQ(Dlg().GetPopup(PopupSlotMouseFunction)->width(), 157);
    CSkinWindow::SendMessage(&Dlg(), UM_FUNCTION_GONE, 2078, 0);
    CSkinWindow::SendMessage(&Dlg(), UM_MOUSE_FUNCTION_GONE, 2078, 2);
    EXPECT_NE(Dlg().GetPopup(PopupSlotMouseFunction), nullptr);
    // Pointing back at the menu keeps the submenu.
    const CWndPopup* pMenu = Dlg().GetPopup(PopupSlotFunctionMenu);
    QCursor::setPos(pMenu->mapToGlobal(QPoint(10, 10)));
    CSkinWindow::SendMessage(&Dlg(), UM_MOUSE_FUNCTION_GONE, 2078, 3);
    EXPECT_NE(Dlg().GetPopup(PopupSlotMouseFunction), nullptr);
    QCursor::setPos(-500, -500);
    CSkinWindow::SendMessage(&Dlg(), UM_MOUSE_FUNCTION_GONE, 2078, 3);
    EXPECT_FALSE(AnyPopupOpen());
    EXPECT_FALSE(KeyButton(0).IsPopupOpen());

    Click(2078);
    CSkinWindow::SendMessage(&Dlg(), UM_FUNCTION_GONE, 2078, 0);
    EXPECT_FALSE(AnyPopupOpen());
    EXPECT_FALSE(KeyButton(0).IsPopupOpen());
    EXPECT_EQ(Slot(0).m_keys[0].m_strName, "CTRL+1");
    EXPECT_FALSE(Dlg().DeviceLink().Pending(0).KeyTablePending);
}

TEST_F(KeyAssignmentTest, ShortcutAndQuickLaunchResultsGoToTheKeyTheMenuWasOpenedFor)
{
    Open();
    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    m_deqDialogScripts.push_back(
        [](CDlgBase& dlg)
        {
            QueueDialogClick(dlg, CShortcutDlg::kCtrlBoxId);
            QueueDialogClick(dlg, CShortcutDlg::kAltBoxId);
            QueueDialogKey(dlg, EvA);
            QueueDialogClick(dlg, IDC_DLG_OK);
        });
    ChooseFunction(1, "Assign a Shortcut");
    EXPECT_FALSE(AnyPopupOpen());
    EXPECT_FALSE(KeyButton(1).IsPopupOpen());
    EXPECT_TRUE(m_vecModalRuns.empty()); // runs once the popup's click has returned
    PumpPosted();
    ASSERT_EQ(m_vecModalRuns.size(), 1u);
    EXPECT_EQ(m_vecModalRuns[0].strClass, "shortcut");
    EXPECT_EQ(Slot(0).m_keys[1], (ProgrammableKey{"Ctrl+Alt+A", "", KeyValue{6, 0x05, 0x04}}));
    EXPECT_EQ(KeyButton(1).GetCaption(), "Ctrl+Alt+A");
    EXPECT_TRUE(Dlg().DeviceLink().Pending(0).KeyTablePending);

    // A program in a folder with spaces and shell characters in its name.
    const std::filesystem::path folder = std::filesystem::path(m_strDir) / "My Tools";
    std::filesystem::create_directories(folder);
    const std::string strProgram = (folder / "run me;$(x).sh").string();
    std::ofstream(strProgram) << "#!/bin/sh\n";
    std::filesystem::permissions(strProgram, std::filesystem::perms::owner_all);
    m_deqDialogScripts.push_back(
        [strProgram](CDlgBase& dlg)
        {
            auto* pTimer = new QTimer(&dlg);
            QObject::connect(pTimer, &QTimer::timeout, pTimer,
                             [pTimer, &dlg, strProgram]
                             {
                                 auto* pFiles = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                                 if (!pFiles)
                                     return;
                                 pTimer->stop();
                                 pFiles->selectFile(QString::fromStdString(strProgram));
                                 static_cast<QDialog*>(pFiles)->accept(); // QFileDialog checks the file first
                                 QueueDialogClick(dlg, IDC_DLG_OK);
                             });
            pTimer->start(5);
            QueueDialogClick(dlg, 2012); // browse
        });
    ChooseFunction(4, "Quick Launch");
    PumpPosted();
    EXPECT_EQ(m_vecModalRuns.back().strClass, "quick launch");
    EXPECT_EQ(Slot(0).m_keys[4], (ProgrammableKey{"run me;$(x).sh", strProgram, KeyValue{7, 0, 0}}));
    EXPECT_EQ(KeyButton(4).GetCaption(), "run me;$(x).sh");

    // Cancelled: the key stays as it was, and its button no longer looks pressed.
    m_deqDialogScripts.push_back([](CDlgBase& dlg) { QueueDialogClick(dlg, IDC_DLG_CANCEL); });
    ChooseFunction(1, "Quick Launch");
    EXPECT_FALSE(KeyButton(1).IsPopupOpen());
    PumpPosted();
    EXPECT_EQ(Slot(0).m_keys[1].m_strName, "Ctrl+Alt+A");
}

// ---- Macros on programmable keys ----

TEST_F(KeyAssignmentTest, AMacroChosenForAKeyIsUploadedByApplyAndAgainAfterItIsEdited)
{
    Open();
    MacroKey& jump = Dlg().m_MacroLibrary.FirstSet()->AppendKey("Jump");
    jump.InsertAction(0, MacroAction::Key(0x41, false));
    jump.InsertAction(1, MacroAction::Delay(50));
    jump.InsertAction(2, MacroAction::Key(0x41, true));
    jump.MacroCommandActionNum = 2;
    jump.LoopNum = 3;
    Click(IDC_SLOT_TAB_FIRST + 2);
    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    ChooseFunction(1, "Assign a Macro", PopupSlotMacroLibrary, "Jump");
    EXPECT_EQ(Slot(2).m_keys[1], (ProgrammableKey{"Jump", "", KeyValue{1, 0, 0}}));
    EXPECT_EQ(KeyButton(1).GetCaption(), "Jump");
    EXPECT_FALSE(AnyPopupOpen());
    EXPECT_TRUE(Dlg().DeviceLink().Pending(2).KeyTablePending);
    EXPECT_TRUE(Dlg().DeviceLink().Pending(2).MacroPending[1]);
    EXPECT_FALSE(Dlg().DeviceLink().Pending(2).MacroPending[0]);
    EXPECT_FALSE(Dlg().DeviceLink().Pending(0).KeyTablePending);

    m_kb.ClearLog();
    Click(IDC_APPLY);
    EXPECT_EQ(m_kb.FeatureTrace(), "S6 S8 S5");
    const std::vector<uint8_t> report = m_kb.LastSet(ReportMacro);
    ASSERT_EQ(report.size(), MacroReportLength);
    EXPECT_EQ(std::vector<uint8_t>(report.begin(), report.begin() + 12),
              (std::vector<uint8_t>{8, 0xE2, 2, 1, 0, 0, 0, 0, 'J', 'u', 'm', 'p'}));
    EXPECT_EQ(report[MacroLoopOffset], 3);
    EXPECT_EQ(report[MacroStepCountOffset], 2);
    // A press, then the release 50 ms later (6 units of 8 ms).
    EXPECT_EQ(std::vector<uint8_t>(report.begin() + MacroStepsOffset, report.begin() + MacroStepsOffset + 6),
              (std::vector<uint8_t>{0x04, 0x00, 0x04, 0x86, 0, 0}));
    EXPECT_EQ(m_kb.MacroName(2, 1), "Jump");
    EXPECT_EQ(m_kb.ViolationsText(), "");

    // A new recording of the macro reaches the key at the next Apply.
    Click(IDC_TAB_MACRO_PAGE);
    const CRect rcList = Dlg().FindControl(IDC_MACRO_LIST)->GetRect();
    ClickAt(rcList.left + 20, rcList.top + 10); // selects "Jump"
    Click(IDC_RECORD);
    SendKey(EvQ, false, 10);
    SendKey(EvQ, true, 20);
    Click(IDC_RECORD);
    EXPECT_TRUE(Dlg().DeviceLink().Pending(2).MacroPending[1]);
    m_kb.ClearLog();
    Click(IDC_APPLY);
    EXPECT_EQ(m_kb.FeatureTrace(), "S8 S5");
    EXPECT_EQ(m_kb.MacroSteps(2, 1), (std::vector<SimStep>{{0x14, 0x00}, {0x14, 0x80}}));
}

TEST_F(KeyAssignmentTest, AMacroTheKeyboardCannotTakeWholeIsMarkedInTheMacroSubmenu)
{
    Open();
    MacroSet& set = *Dlg().m_MacroLibrary.FirstSet();
    set.AppendKey("Fits");
    set.AppendKey("Imported");
    MacroKey& fits = set.m_vecKeys[0];
    MacroKey& tooLong = set.m_vecKeys[1];
    // 96 key events fill a report exactly; one more (as an older library or a file may hold)
    // does not fit.
    for (unsigned i = 0; i < 96; ++i)
    {
        fits.InsertAction(i, MacroAction::Key(0x41, i % 2 == 1));
        tooLong.InsertAction(i, MacroAction::Key(0x41, i % 2 == 1));
    }
    tooLong.InsertAction(96, MacroAction::Key(0x42, false));
    EXPECT_TRUE(CFunctionMenuHandler::FitsTheKeyboard(fits));
    EXPECT_FALSE(CFunctionMenuHandler::FitsTheKeyboard(tooLong));

    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    Click(2080);
    HoverPopupItem(PopupSlotFunctionMenu, "Assign a Macro");
    auto* pMacros = dynamic_cast<CItemPopup*>(Dlg().GetPopup(PopupSlotMacroLibrary));
    ASSERT_NE(pMacros, nullptr);
    ASSERT_EQ(pMacros->GetItems().size(), 2u);
    EXPECT_EQ(pMacros->GetItems()[0].m_strTag, "");
    EXPECT_EQ(pMacros->GetItems()[1].m_strTag, CFunctionMenuHandler::TooLongTag);
    // The mark is no part of the name the key gets.
    ChoosePopupItem(PopupSlotMacroLibrary, "Imported");
    EXPECT_EQ(Slot(0).m_keys[2].m_strName, "Imported");
}

// ---- What a key tells on hover ----

namespace
{
// The tooltip the window shows when the pointer rests on a control; empty when none shows.
std::string ToolTipShownOver(CDlgBase& dlg, UINT nId)
{
    const QPoint pt = dlg.FindControl(nId)->GetRect().ToQRect().center();
    QHelpEvent help(QEvent::ToolTip, pt, dlg.mapToGlobal(pt));
    QApplication::sendEvent(&dlg, &help);
    const std::string strShown = QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    QToolTip::hideText();
    return strShown;
}
} // namespace

TEST_F(KeyAssignmentTest, ARemappedKeyAndAProgrammableKeyTellWhatTheyDoWhileThePointerRestsOnThem)
{
    Open();
    EXPECT_EQ(ToolTipShownOver(Dlg(), 2232), "Page Up") << "a short legend's full name";
    ScriptKeyMap(EvA);
    Click(2238);
    EXPECT_EQ(ToolTipShownOver(Dlg(), 2238), "Q \u2192 A");

    Dlg().m_MacroLibrary.FirstSet()->AppendKey("Greeting");
    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    EXPECT_EQ(ToolTipShownOver(Dlg(), IDC_PROGRAMMABLE_KEY_FIRST), "G1: keys CTRL+1");
    ChooseFunction(1, "Assign a Macro", PopupSlotMacroLibrary, "Greeting");
    EXPECT_EQ(ToolTipShownOver(Dlg(), IDC_PROGRAMMABLE_KEY_FIRST + 1), "G2: macro Greeting");
    ChooseFunction(1, "No Function");
    EXPECT_EQ(ToolTipShownOver(Dlg(), IDC_PROGRAMMABLE_KEY_FIRST + 1), "G2: no function");
}
