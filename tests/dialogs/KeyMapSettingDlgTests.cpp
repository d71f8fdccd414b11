#include "DialogTestSupport.h"

#include "dialogs/KeyMapSettingDlg.h"
#include "skin/Buttons.h"
#include "skin/ListControls.h"

#include <gtest/gtest.h>

namespace
{

constexpr UINT kEscButton = 2200;
constexpr UINT kF1Button = 2201;

std::string LabelText(const CDlgBase& dlg, UINT nId)
{
    const auto* pLabel = dynamic_cast<const CStaticText*>(dlg.FindControl(nId));
    return pLabel ? pLabel->GetDisplayText() : "<none>";
}

std::string MouseCaption(const CDlgBase& dlg)
{
    const auto* pButton = dynamic_cast<const CComboButton*>(dlg.FindControl(CKeyMapSettingDlg::kMouseFunctionId));
    return pButton ? pButton->GetCaption() : "<none>";
}

// Opens the mouse-function popup with a click and picks one of its items with the mouse.
void ChooseMouseFunction(CKeyMapSettingDlg& dlg, const std::string& strItem)
{
    Click(dlg, CKeyMapSettingDlg::kMouseFunctionId);
    auto* pPopup = dynamic_cast<CItemPopup*>(dlg.GetPopup(CKeyMapSettingDlg::kMousePopupSlot));
    ASSERT_NE(pPopup, nullptr);
    for (const PopupItem& item : pPopup->GetItems())
    {
        if (item.m_strText != strItem)
            continue;
        const LPARAM lPoint = MakeLParam(item.m_rect.left + 4, item.m_rect.top + 4);
        pPopup->WindowProc(WM_MOUSEMOVE, 0, lPoint);
        pPopup->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
        pPopup->WindowProc(WM_LBUTTONUP, 0, lPoint);
        ProcessPosted();
        return;
    }
    FAIL() << "no item " << strItem;
}

UINT SentCode(const CResultWindow& parent, UINT nButtonId)
{
    if (parent.m_vecResults.size() != 1 || parent.m_vecResults[0].nMsg != UM_KEY_MAP_RESULT ||
        parent.m_vecResults[0].wParam != nButtonId)
        return 0xFFFF;
    return static_cast<UINT>(parent.m_vecResults[0].lParam);
}

} // namespace

// ---- Opening ----

TEST(KeyMapDialog, OpensInTheModeOfTheKeysCurrentCode)
{
    {
        CResultWindow parent;
        CKeyMapSettingDlg dlg(&parent, kEscButton, "Fire", 0x29, 0xD6);
        dlg.Create();
        EXPECT_TRUE(dlg.IsMouseMode());
        EXPECT_EQ(MouseCaption(dlg), "Fire");
        EXPECT_EQ(LabelText(dlg, CKeyMapSettingDlg::kCaptionId), "Fire");
        EXPECT_EQ(LabelText(dlg, CKeyMapSettingDlg::kKeyNameId), "Fire");
        Click(dlg, IDC_DLG_OK);
        EXPECT_EQ(SentCode(parent, kEscButton), 0xD6u);
    }
    {
        CResultWindow parent;
        CKeyMapSettingDlg dlg(&parent, kEscButton, "Esc", 0x29, 0x29);
        dlg.Create();
        EXPECT_FALSE(dlg.IsMouseMode());
        EXPECT_EQ(dlg.GetOptionWord(), 0xAAu);
        EXPECT_EQ(MouseCaption(dlg), "Click");
        EXPECT_EQ(LabelText(dlg, CKeyMapSettingDlg::kKeyNameId), "Esc");
        TypeKey(&dlg, kEvQ, Qt::Key_A); // the Q key, whatever the layout prints on it
        EXPECT_EQ(LabelText(dlg, CKeyMapSettingDlg::kKeyNameId), "Q");
        Click(dlg, IDC_DLG_OK);
        EXPECT_EQ(SentCode(parent, kEscButton), 0x14u);
    }
}

// ---- Choosing ----

TEST(KeyMapDialog, TheSelectedModeDecidesWhichCodeOkSends)
{
    { // Middle Button chosen, keyboard mode kept: the keyboard code goes.
        CResultWindow parent;
        CKeyMapSettingDlg dlg(&parent, kEscButton, "Esc", 0x29, 0x29);
        dlg.Create();
        ChooseMouseFunction(dlg, "Middle Button");
        EXPECT_EQ(MouseCaption(dlg), "Middle Button");
        EXPECT_EQ(dlg.GetPopup(CKeyMapSettingDlg::kMousePopupSlot), nullptr);
        EXPECT_FALSE(dynamic_cast<CComboButton*>(dlg.FindControl(CKeyMapSettingDlg::kMouseFunctionId))->IsPopupOpen());
        Click(dlg, IDC_DLG_OK);
        EXPECT_EQ(SentCode(parent, kEscButton), 0x29u);
    }
    { // Mouse mode selected: a key pressed meanwhile shows but the mouse code goes.
        CResultWindow parent;
        CKeyMapSettingDlg dlg(&parent, kEscButton, "Esc", 0x29, 0x29);
        dlg.Create();
        ChooseMouseFunction(dlg, "Double-click");
        Click(dlg, CKeyMapSettingDlg::kMouseRadioId);
        EXPECT_EQ(dlg.GetOptionWord(), 0x12Au);
        TypeKey(&dlg, kEvA);
        EXPECT_EQ(LabelText(dlg, CKeyMapSettingDlg::kKeyNameId), "A");
        Click(dlg, IDC_DLG_OK);
        EXPECT_EQ(SentCode(parent, kEscButton), 0xD5u);
    }
}

TEST(KeyMapDialog, DefaultTakesTheFactoryCodeInKeyboardMode)
{
    CResultWindow parent;
    CKeyMapSettingDlg dlg(&parent, kF1Button, "Click", 0xC0, 0xD0);
    dlg.Create();
    ASSERT_TRUE(dlg.IsMouseMode());
    Click(dlg, CKeyMapSettingDlg::kDefaultId);
    EXPECT_FALSE(dlg.IsMouseMode());
    EXPECT_EQ(dlg.GetKeyboardCode(), 0xC0u);
    EXPECT_EQ(LabelText(dlg, CKeyMapSettingDlg::kKeyNameId), "Click");
    Click(dlg, IDC_DLG_OK);
    EXPECT_EQ(SentCode(parent, kF1Button), 0xC0u);
}

TEST(KeyMapDialog, APopupThatLosesActivationClosesAndItsClosingNoticeIsNoKey)
{
    CKeyMapSettingDlg dlg(nullptr, kEscButton, "Esc", 0x29, 0x29);
    dlg.Create();
    Click(dlg, CKeyMapSettingDlg::kMouseFunctionId);
    CWndPopup* pPopup = dlg.GetPopup(CKeyMapSettingDlg::kMousePopupSlot);
    ASSERT_NE(pPopup, nullptr);
    CSkinWindow::SendMessage(&dlg, UM_MOUSE_FUNCTION_GONE, CKeyMapSettingDlg::kMouseFunctionId, 3);
    ProcessPosted(); // the popup closes and says so with 1025, wParam 0
    EXPECT_EQ(dlg.GetPopup(CKeyMapSettingDlg::kMousePopupSlot), nullptr);
    EXPECT_FALSE(dynamic_cast<CComboButton*>(dlg.FindControl(CKeyMapSettingDlg::kMouseFunctionId))->IsPopupOpen());
    EXPECT_EQ(LabelText(dlg, CKeyMapSettingDlg::kKeyNameId), "Esc");
    EXPECT_EQ(dlg.GetKeyboardCode(), 0x29u);
}
