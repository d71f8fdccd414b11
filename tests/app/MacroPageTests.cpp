// The macro page on the real window: recording through the keyboard hook (key events with native
// scan codes and time stamps), new names, delete, the repeat count, import and export of macro
// key files, and scrolling.

#include "MainWindowTestSupport.h"

#include <filesystem>
#include <fstream>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "skin/AttentionDlg.h"
#include "skin/Buttons.h"
#include "skin/ListControls.h"
#include "storage/DataFiles.h"
#include "storage/MacroKeyFile.h"

using namespace MainWindow;

namespace
{
// evdev codes of the keys the tests press.
constexpr quint32 EvEsc = 1, EvA = 30, EvB = 48;

std::vector<std::string> ActionsOf(const MacroKey& key)
{
    std::vector<std::string> vecActions;
    for (unsigned i = 0; i < key.m_nActionCount; ++i)
    {
        char szAction[12];
        const auto& b = key.m_actions[i].m_bytes;
        std::snprintf(szAction, sizeof szAction, "%02X %02X %02X %02X", b[0], b[1], b[2], b[3]);
        vecActions.push_back(szAction);
    }
    return vecActions;
}

class MacroPageTest : public MainWindowTest
{
protected:
    // Opens the window on the macro page with these macros in the first set; the first selected.
    void OpenWithMacros(std::initializer_list<const char*> names)
    {
        Open();
        for (const char* pszName : names)
            Dlg().m_MacroLibrary.FirstSet()->AppendKey(pszName);
        Dlg().RefreshProfileView();
        Click(IDC_TAB_MACRO_PAGE);
        if (names.size() > 0)
            SelectRow(0);
    }
    CEditShowList& List() { return *dynamic_cast<CEditShowList*>(Dlg().FindControl(IDC_MACRO_LIST)); }
    CImageShowList& Actions() { return *dynamic_cast<CImageShowList*>(Dlg().FindControl(IDC_ACTION_LIST)); }
    CCheckButton& Check(UINT nId) { return *dynamic_cast<CCheckButton*>(Dlg().FindControl(nId)); }
    MacroKey& Macro(size_t nIndex) { return Dlg().m_MacroLibrary.FirstSet()->m_vecKeys.at(nIndex); }
    void SelectRow(int nRow)
    {
        const CRect rc = List().GetRect();
        ClickAt(rc.left + 20, rc.top + (nRow - List().GetFirstVisibleRow()) * 20 + 10);
    }
    void TypeNewName(const std::string& strName)
    {
        ASSERT_TRUE(List().HasEditBox());
        List().GetEditBox()->setText(QString::fromStdString(strName));
    }
    // Enter as the window system delivers it to the focused name editor.
    void PressEnterInEditor()
    {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, 28 + 8, 0, 0);
        QCoreApplication::sendEvent(List().GetEditBox(), &event);
    }
    // Escape as the window system delivers it to a focused edit box.
    static void PressEscapeIn(QWidget* pEdit)
    {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, 1 + 8, 0, 0);
        QCoreApplication::sendEvent(pEdit, &event);
    }
    void TypeIntoLoopCount(const QString& strText)
    {
        QLineEdit* pEdit = Dlg().LoopCountEdit();
        pEdit->selectAll();
        for (QChar ch : strText)
        {
            QKeyEvent event(QEvent::KeyPress, Qt::Key_0 + (ch.unicode() - '0'), Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(pEdit, &event);
        }
    }
    void KeyTap(quint32 nEvdev, std::uint32_t nDownMs, std::uint32_t nUpMs)
    {
        SendKey(nEvdev, false, nDownMs);
        SendKey(nEvdev, true, nUpMs);
    }
    std::string LibraryFile() { return ReadFile(ConfigPath("MacroLibraryFile.mlf")); }
    std::string WriteMkf(const std::string& strName, const std::string& strContent)
    {
        const std::string strPath = m_strDir + strName;
        std::ofstream(strPath, std::ios::binary) << strContent;
        return strPath;
    }
};
} // namespace

// ---- Recording ----

TEST_F(MacroPageTest, RecordingAPressAndReleaseFiftyMsApartWithDelaysGivesThreeActionsAndTwoSteps)
{
    OpenWithMacros({"Jump"});
    Click(IDC_RECORD_DELAYS);
    Click(IDC_RECORD);
    ASSERT_TRUE(Check(IDC_RECORD).GetChecked());
    // Only the record button and the delays box stay usable; the page cannot change meanwhile.
    for (UINT nId : {IDC_TAB_KEY_PAGE, IDC_APPLY, IDC_HIDE, IDC_SLOT_TAB_FIRST, IDC_NEW_MACRO, IDC_MACRO_LIST,
                     IDC_LOOP_ENABLE, IDC_ACTION_LIST_SCROLL})
        EXPECT_TRUE(Dlg().FindControl(nId)->IsDisabled()) << nId;
    EXPECT_FALSE(Dlg().LoopCountEdit()->isEnabled());
    EXPECT_FALSE(Dlg().FindControl(IDC_RECORD)->IsDisabled());
    EXPECT_FALSE(Dlg().FindControl(IDC_RECORD_DELAYS)->IsDisabled());
    Click(IDC_TAB_KEY_PAGE);
    EXPECT_EQ(Dlg().SelectedPage(), MacroPage);

    KeyTap(EvA, 100050, 100100);
    EXPECT_EQ(ActionsOf(Macro(0)), (std::vector<std::string>{"41 00 00 00", "03 00 00 32", "41 80 00 00"}));
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 2);
    EXPECT_TRUE(Dlg().DeviceLink().IsMacroLibraryChanged()); // written when the recording ends

    Click(IDC_RECORD);
    EXPECT_FALSE(Dlg().FindControl(IDC_TAB_KEY_PAGE)->IsDisabled());
    EXPECT_TRUE(Dlg().LoopCountEdit()->isEnabled());
    EXPECT_FALSE(Dlg().DeviceLink().IsMacroLibraryChanged());
    EXPECT_NE(LibraryFile().find("AllAction=410000000300003241800000"), std::string::npos);
    KeyTap(EvB, 100200, 100300); // the hook has stopped
    EXPECT_EQ(Macro(0).m_nActionCount, 3u);
    EXPECT_TRUE(AttentionTexts().empty());
}

TEST_F(MacroPageTest, ATwoSecondPauseTakesTwoStepsAndAHeldKeyIsRecordedOnce)
{
    OpenWithMacros({"Hold"});
    Click(IDC_RECORD_DELAYS);
    Click(IDC_RECORD);
    SendKey(EvA, false, 5000);
    // The window system repeats a held key as release/press pairs marked as repeats.
    for (std::uint32_t nAt : {5500u, 5530u, 5560u})
    {
        SendKey(EvA, true, nAt, true);
        SendKey(EvA, false, nAt, true);
    }
    SendKey(EvA, true, 7000);
    EXPECT_EQ(ActionsOf(Macro(0)), (std::vector<std::string>{"41 00 00 00", "03 00 07 D0", "41 80 00 00"}));
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 3);

    // Without delays every key event is one step and no pause is kept.
    Click(IDC_RECORD);
    Click(IDC_RECORD_DELAYS);
    Click(IDC_RECORD);
    KeyTap(EvB, 9000, 12000);
    EXPECT_EQ(ActionsOf(Macro(0)), (std::vector<std::string>{"42 00 00 00", "42 80 00 00"}));
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 2);
}

TEST_F(MacroPageTest, ARecordingEndsWithTheFullMessageWhenTheKeyboardCouldNotTakeTheNextStep)
{
    OpenWithMacros({"Long", "Paused"});
    Click(IDC_RECORD);
    std::uint32_t nStamp = 1000;
    for (int i = 0; i < 48; ++i, nStamp += 20)
        KeyTap(EvA, nStamp + 10, nStamp + 20);
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 96);
    EXPECT_TRUE(AttentionTexts().empty());
    SendKey(EvB, false, nStamp += 10);
    EXPECT_EQ(AttentionTexts(), (std::vector<std::string>{AttentionText::kActionsFull}));
    EXPECT_EQ(Macro(0).m_nActionCount, 96u); // the recorded part stays
    EXPECT_FALSE(Check(IDC_RECORD).GetChecked());
    EXPECT_FALSE(Dlg().FindControl(IDC_TAB_KEY_PAGE)->IsDisabled());
    EXPECT_NE(LibraryFile().find("MacroCommandActionNum=96"), std::string::npos);

    // With two-second pauses each later event needs two steps: 1 + 47 x 2 = 95, and the next
    // event would need 97.
    SelectRow(1);
    Click(IDC_RECORD_DELAYS);
    Click(IDC_RECORD);
    SendKey(EvA, false, nStamp += 2000);
    for (int i = 0; i < 47; ++i)
        SendKey(EvA, i % 2 == 0, nStamp += 2000);
    EXPECT_EQ(Macro(1).MacroCommandActionNum, 95);
    SendKey(EvB, false, nStamp += 2000);
    EXPECT_EQ(AttentionTexts().size(), 2u);
    EXPECT_EQ(Macro(1).MacroCommandActionNum, 95);
    EXPECT_EQ(Macro(1).m_nActionCount, 95u);
}

TEST_F(MacroPageTest, EscapePressedWhileRecordingIsRecordedAndTheProgramKeepsRunning)
{
    OpenWithMacros({"Esc"});
    Click(IDC_RECORD);
    bool bStillRunning = false;
    QTimer::singleShot(0, &Dlg(),
                       [&]
                       {
                           SendKey(EvEsc, false, 100);
                           SendKey(EvEsc, true, 150);
                           QTimer::singleShot(0, &Dlg(),
                                              [&]
                                              {
                                                  bStillRunning = Dlg().IsModalLoopRunning();
                                                  Click(IDC_RECORD);
                                                  Dlg().PostToWindow(WM_COMMAND, IDC_EXIT, 0);
                                              });
                       });
    Dlg().DoModal();
    EXPECT_TRUE(bStillRunning);
    EXPECT_EQ(ActionsOf(Macro(0)), (std::vector<std::string>{"1B 00 00 00", "1B 80 00 00"}));
}

// ---- Names ----

TEST_F(MacroPageTest, ANewNameIsCheckedWhenEnterOrAPressOutsideTheListTakesIt)
{
    OpenWithMacros({"First"});
    Click(IDC_NEW_MACRO);
    TypeNewName("ThirteenChars");
    PressEnterInEditor();
    TypeNewName("First");
    ClickAt(600, 300); // the page beside the lists
    EXPECT_EQ(AttentionTexts(),
              (std::vector<std::string>{AttentionText::kNewNameTooLong, AttentionText::kNewNameExists}));
    EXPECT_TRUE(List().HasEditBox()); // kept for correction

    TypeNewName("TwelveChars!");
    PressEnterInEditor();
    EXPECT_FALSE(List().HasEditBox());
    ASSERT_EQ(Dlg().m_MacroLibrary.FirstSet()->m_vecKeys.size(), 2u);
    EXPECT_EQ(Macro(1).m_strName, "TwelveChars!");
    EXPECT_NE(LibraryFile().find("MacroKey1Name=TwelveChars!"), std::string::npos);

    // Delete while typing throws the name away and deletes nothing; an empty name adds nothing.
    Click(IDC_NEW_MACRO);
    TypeNewName("Gone");
    Click(IDC_DELETE_MACRO);
    EXPECT_FALSE(List().HasEditBox());
    Click(IDC_NEW_MACRO);
    PressEnterInEditor();
    EXPECT_FALSE(List().HasEditBox());
    EXPECT_EQ(Dlg().m_MacroLibrary.FirstSet()->m_vecKeys.size(), 2u);
    EXPECT_EQ(AttentionTexts().size(), 2u);

    // A press in the list itself checks the name there, with the list's own messages.
    Click(IDC_NEW_MACRO);
    TypeNewName("First");
    SelectRow(0);
    TypeNewName("ThirteenChars");
    SelectRow(0);
    TypeNewName("Third");
    SelectRow(0);
    EXPECT_EQ(AttentionTexts(),
              (std::vector<std::string>{AttentionText::kNewNameTooLong, AttentionText::kNewNameExists,
                                        AttentionText::kListNameExists, AttentionText::kListNameTooLong}));
    EXPECT_NE(LibraryFile().find("MacroKey2Name=Third"), std::string::npos);
}

// ---- Delete ----

TEST_F(MacroPageTest, AMacroAssignedInSlotTwoCannotBeDeletedButOneAssignedOnlyInSlotFourCan)
{
    OpenWithMacros({"Used", "Spare"});
    Slot(2).AssignProgrammableKey(3, "Used", KeyValue{KeyKindMacro, 0, 0}, "");
    Slot(4).AssignProgrammableKey(0, "Spare", KeyValue{KeyKindMacro, 0, 0}, "");
    Slot(1).AssignProgrammableKey(0, "Spare", KeyValue{KeyKindSpecial, 0xA0, 0}, ""); // not a macro

    Click(IDC_DELETE_MACRO);
    EXPECT_EQ(AttentionTexts(), (std::vector<std::string>{AttentionText::kMacroInUse}));
    EXPECT_EQ(Dlg().m_MacroLibrary.FirstSet()->m_vecKeys.size(), 2u);

    SelectRow(1);
    Click(IDC_DELETE_MACRO);
    ASSERT_EQ(Dlg().m_MacroLibrary.FirstSet()->m_vecKeys.size(), 1u);
    EXPECT_EQ(Macro(0).m_strName, "Used");
    EXPECT_EQ(LibraryFile().find("Spare"), std::string::npos);
    EXPECT_EQ(List().GetSelectedRow(), -1);
    EXPECT_EQ(Actions().GetMacroKey(), nullptr);

    Click(IDC_DELETE_MACRO);
    EXPECT_EQ(AttentionTexts().back(), AttentionText::kSelectToDelete);
}

// ---- Repeat ----

TEST_F(MacroPageTest, ARepeatCountOutsideOneTo255BringsTheRangeMessageAndOne)
{
    OpenWithMacros({"Loop"});
    Slot(0).AssignProgrammableKey(1, "Loop", KeyValue{KeyKindMacro, 0, 0}, "");
    const std::string strFile = LibraryFile();
    TypeIntoLoopCount("0");
    EXPECT_EQ(AttentionTexts(), (std::vector<std::string>{AttentionText::kLoopRange}));
    EXPECT_EQ(Dlg().LoopCountEdit()->text(), "1");
    EXPECT_EQ(Macro(0).LoopNum, 1);
    TypeIntoLoopCount("256");
    EXPECT_EQ(AttentionTexts().size(), 2u);
    TypeIntoLoopCount("25");
    EXPECT_EQ(Macro(0).LoopNum, 25);
    EXPECT_EQ(AttentionTexts().size(), 2u);

    Click(IDC_LOOP_ENABLE);
    EXPECT_EQ(Macro(0).LoopEnable, 0u);
    // Marked for the next Apply, not written now; the key holding it sends it again.
    EXPECT_TRUE(Dlg().DeviceLink().IsMacroLibraryChanged());
    EXPECT_EQ(LibraryFile(), strFile);
    EXPECT_TRUE(Dlg().DeviceLink().Pending(0).MacroPending[1]);
}

TEST_F(MacroPageTest, EscapeInTheNameEditorOrTheRepeatBoxCancelsThatEditOnlyAndTheProgramKeepsRunning)
{
    OpenWithMacros({"Loop"});
    Macro(0).LoopNum = 7;
    Dlg().RefreshProfileView();
    const std::string strFile = LibraryFile();
    bool bRunning = false;
    QTimer::singleShot(0, &Dlg(),
                       [&]
                       {
                           Click(IDC_NEW_MACRO);
                           TypeNewName("Typed");
                           PressEscapeIn(List().GetEditBox());
                           EXPECT_FALSE(List().HasEditBox());
                           EXPECT_EQ(Dlg().m_MacroLibrary.FirstSet()->m_vecKeys.size(), 1u);

                           TypeIntoLoopCount("42");
                           EXPECT_EQ(Macro(0).LoopNum, 42);
                           PressEscapeIn(Dlg().LoopCountEdit());
                           EXPECT_EQ(Macro(0).LoopNum, 7);
                           EXPECT_EQ(Dlg().LoopCountEdit()->text(), "7");
                           QTimer::singleShot(0, &Dlg(),
                                              [&]
                                              {
                                                  bRunning = Dlg().IsModalLoopRunning();
                                                  Dlg().PostToWindow(WM_COMMAND, IDC_EXIT, 0);
                                              });
                       });
    // The count was edited and taken back: the end still asks, and is told to drop it.
    m_deqAnswers = {CQuitQuestionDlg::kDiscard};
    Dlg().DoModal();
    EXPECT_TRUE(bRunning);
    EXPECT_EQ(AttentionTexts(), std::vector<std::string>{CQuitQuestionDlg::kQuestion});
    EXPECT_EQ(LibraryFile(), strFile);
}

// ---- Import and export ----

TEST_F(MacroPageTest, ExportingAndImportingAMacroKeyFileCopiesItIntoAnotherMacroAndWritesTheLibrary)
{
    OpenWithMacros({"Source", "Target"});
    Click(IDC_RECORD_DELAYS);
    Click(IDC_RECORD);
    KeyTap(EvA, 100, 400);
    Click(IDC_RECORD);
    Macro(0).LoopNum = 7;
    const std::string strPath = m_strDir + "source.mkf";
    m_deqFilePaths = {strPath};
    Click(IDC_EXPORT_MACRO);
    ASSERT_EQ(m_vecFileDialogs.size(), 1u);
    EXPECT_EQ(m_vecFileDialogs[0].strTitle, "Save Macro Key as...");
    EXPECT_EQ(m_vecFileDialogs[0].strFilter, "mkf file(*.mkf)");
    EXPECT_EQ(m_vecFileDialogs[0].strSuffix, "mkf");
    EXPECT_TRUE(m_vecFileDialogs[0].bSave);
    EXPECT_EQ(ReadFile(strPath), FormatMacroKeyFile(Macro(0)));

    SelectRow(1);
    m_deqFilePaths = {strPath};
    Click(IDC_IMPORT_MACRO);
    EXPECT_EQ(m_vecFileDialogs[1].strTitle, "Load Macro Key from...");
    EXPECT_FALSE(m_vecFileDialogs[1].bSave);
    MacroKey expected = Macro(0);
    expected.m_strName = "Target";
    EXPECT_EQ(Macro(1), expected);
    EXPECT_EQ(Dlg().LoopCountEdit()->text(), "7");
    EXPECT_EQ(Actions().GetMacroKey(), &Macro(1));
    EXPECT_NE(LibraryFile().find("MacroKey1LoopNum=7"), std::string::npos);

    // A cancelled dialog does nothing.
    const std::string strFile = LibraryFile();
    Click(IDC_IMPORT_MACRO);
    EXPECT_EQ(LibraryFile(), strFile);
    EXPECT_TRUE(AttentionTexts().empty());
}

TEST_F(MacroPageTest, ABrokenImportKeepsTheRepeatValuesReadBeforeTheBreakAndWritesNothing)
{
    OpenWithMacros({"Mine"});
    Click(IDC_RECORD);
    KeyTap(EvA, 100, 200);
    Click(IDC_RECORD);
    const MacroKey before = Macro(0);
    const std::string strFile = LibraryFile();
    m_deqFilePaths = {
        WriteMkf("cut.mkf", "[MacroKey]\r\n\tMacroKeyLoopEnable=0\r\n\tMacroKeyLoopNum=9\r\n"),
        WriteMkf("long.mkf", "[MacroKey]\n\tA=1\n\tB=3\n\tC=1\n\tD=1\n\t\tAllAction=" + std::string(1601, '0') + "\n")};
    Click(IDC_IMPORT_MACRO);
    EXPECT_EQ(AttentionTexts(), (std::vector<std::string>{AttentionText::kImportError}));
    EXPECT_EQ(Macro(0).LoopEnable, 0u);
    EXPECT_EQ(Macro(0).LoopNum, 9);
    EXPECT_EQ(Dlg().LoopCountEdit()->text(), "9");
    EXPECT_EQ(ActionsOf(Macro(0)), ActionsOf(before)); // the actions and their count stay together
    Click(IDC_IMPORT_MACRO);
    EXPECT_EQ(AttentionTexts().size(), 2u);
    EXPECT_EQ(Macro(0).LoopNum, 3);
    EXPECT_EQ(Macro(0).MacroCommandActionNum, before.MacroCommandActionNum);
    EXPECT_EQ(LibraryFile(), strFile);

    // Without a selected macro neither file dialog opens.
    List().SetSelectedRow(-1);
    Click(IDC_IMPORT_MACRO);
    Click(IDC_EXPORT_MACRO);
    EXPECT_EQ(m_vecFileDialogs.size(), 2u);
    EXPECT_EQ(AttentionTexts().back(), AttentionText::kSelectToExport);
    EXPECT_EQ(AttentionTexts().at(2), AttentionText::kSelectToImport);
}

TEST_F(MacroPageTest, RepeatCountsAbove255ReadAs255FromTheLibraryAndFromWholeAndBrokenKeyFiles)
{
    // The library file as the program found it, with counts no keyboard can hold.
    std::filesystem::create_directories(m_strDir + "config");
    std::ofstream(ConfigPath("MacroLibraryFile.mlf"), std::ios::binary)
        << "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=Keyboard Macro "
           "Set\n\t\tMacroKeyNum=1\n\t\tMacroKey0Name=Big\n"
           "\t\t\tMacroKey0LoopEnable=1\n\t\t\tMacroKey0LoopNum=300\n\t\t\tMacroActionNum=0\n"
           "\t\t\tMacroCommandActionNum=300\n\t\t\tAllAction="
        << std::string(1600, '0') << "\n";
    Open();
    Click(IDC_TAB_MACRO_PAGE);
    SelectRow(0);
    ASSERT_EQ(Macro(0).m_strName, "Big");
    EXPECT_EQ(Macro(0).LoopNum, 255);
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 255);

    m_deqFilePaths = {WriteMkf("whole.mkf", "[MacroKey]\n\tMacroKeyLoopEnable=1\n\tMacroKeyLoopNum=301\n"
                                            "\tMacroActionNum=0\n\tMacroCommandActionNum=302\n\t\tAllAction=" +
                                                std::string(1600, '0') + "\n"),
                      WriteMkf("cut.mkf", "[MacroKey]\n\tMacroKeyLoopEnable=0\n\tMacroKeyLoopNum=300\n")};
    Macro(0).LoopNum = 2;
    Click(IDC_IMPORT_MACRO);
    EXPECT_EQ(Macro(0).LoopNum, 255);
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 255);
    Macro(0).LoopNum = 2;
    Click(IDC_IMPORT_MACRO);
    EXPECT_EQ(AttentionTexts(), (std::vector<std::string>{AttentionText::kImportError}));
    EXPECT_EQ(Macro(0).LoopNum, 255); // not 300's low byte, 44
    EXPECT_EQ(Dlg().LoopCountEdit()->text(), "255");
}

// ---- Scrolling ----

TEST_F(MacroPageTest, TheWheelScrollsTheListUnderThePointerAndTheScrollBarsScrollTheirList)
{
    OpenWithMacros({"M0", "M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8", "M9", "M10", "M11", "M12", "M13", "M14"});
    const int nVisible = List().GetVisibleRows();
    ASSERT_EQ(nVisible, 12);
    const CRect rcList = List().GetRect();
    const WPARAM kNotchTowardsUser = static_cast<WPARAM>(static_cast<std::uint16_t>(-WHEEL_DELTA)) << 16;
    Dlg().WindowProc(WM_MOUSEWHEEL, kNotchTowardsUser, MakeLParam(rcList.left + 5, rcList.top + 5));
    EXPECT_EQ(List().GetFirstVisibleRow(), 1);
    for (int i = 0; i < 5; ++i)
        Dlg().WindowProc(WM_MOUSEWHEEL, kNotchTowardsUser, MakeLParam(rcList.left + 5, rcList.top + 5));
    EXPECT_EQ(List().GetFirstVisibleRow(), 3); // the last row is at the bottom
    Dlg().WindowProc(WM_MOUSEWHEEL, static_cast<WPARAM>(WHEEL_DELTA) << 16,
                     MakeLParam(rcList.left + 5, rcList.top + 5));
    EXPECT_EQ(List().GetFirstVisibleRow(), 2);

    // The scroll bar's arrows and track, and a drag of its thumb.
    auto& bar = *dynamic_cast<CVScrollBar*>(Dlg().FindControl(IDC_MACRO_LIST_SCROLL));
    const CRect rcUp = bar.GetUpArrowRect();
    ClickAt(rcUp.left + 3, rcUp.top + 3);
    EXPECT_EQ(List().GetFirstVisibleRow(), 1);
    const CRect rcThumb = bar.GetThumbRect();
    ClickAt(rcThumb.left + 3, bar.GetTrackRect().bottom - 2);
    EXPECT_EQ(List().GetFirstVisibleRow(), 3);
    const CRect rcDragFrom = bar.GetThumbRect();
    Dlg().WindowProc(WM_MOUSEMOVE, 0, MakeLParam(rcDragFrom.left + 3, rcDragFrom.top + 2));
    Dlg().WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(rcDragFrom.left + 3, rcDragFrom.top + 2));
    Dlg().WindowProc(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(rcDragFrom.left + 3, bar.GetTrackRect().top));
    Dlg().WindowProc(WM_LBUTTONUP, 0, MakeLParam(rcDragFrom.left + 3, bar.GetTrackRect().top));
    EXPECT_EQ(List().GetFirstVisibleRow(), 0);

    // Off the macro page the wheel does nothing to the lists.
    Click(IDC_TAB_KEY_PAGE);
    Dlg().WindowProc(WM_MOUSEWHEEL, kNotchTowardsUser, MakeLParam(rcList.left + 5, rcList.top + 5));
    EXPECT_EQ(List().GetFirstVisibleRow(), 0);
}
