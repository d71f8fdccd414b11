#include "DialogTestSupport.h"

#include "dialogs/ShortcutDlg.h"
#include "skin/ListControls.h"

#include <gtest/gtest.h>

namespace
{

struct ShortcutCase
{
    const char* pszWhat;
    std::vector<UINT> vecTicks;   // boxes clicked, in order
    std::vector<quint32> vecKeys; // keys pressed on the keyboard, in order
    std::string strName;
    KeyValue bytes;
};

std::string KeyNameShown(const CShortcutDlg& dlg)
{
    const auto* pName = dynamic_cast<const CStaticText*>(dlg.FindControl(CShortcutDlg::kKeyNameId));
    return pName ? pName->GetDisplayText() : "<none>";
}

} // namespace

// ---- The combination sent ----

TEST(ShortcutDialog, TickedModifiersAndTheLastCapturedKeyMakeTheCombination)
{
    const ShortcutCase kCases[] = {
        {"Ctrl and Alt with A", {2006, 2007}, {kEvA}, "Ctrl+Alt+A", {0x06, 0x05, 0x04}},
        {"single key ignores a ticked Ctrl", {2006, 2005}, {kEvF5}, "F5", {0x06, 0x00, 0x3E}},
        {"a modifier alone", {2008}, {}, "Shift", {0x06, 0x02, 0x00}},
        {"the second key replaces the first", {}, {kEvQ, kEvLeftShift}, "Shift", {0x06, 0x00, 0xE1}},
        {"every modifier, in the fixed order",
         {2009, 2007, 2008, 2006},
         {kEvEsc},
         "Ctrl+Shift+Alt+Win+Esc",
         {0x06, 0x0F, 0x29}},
        {"a key named with a plus keeps it", {}, {kEvKeypadPlus}, "Keypad +", {0x06, 0x00, 0x57}},
    };
    for (const ShortcutCase& entry : kCases)
    {
        CResultWindow parent;
        CShortcutDlg dlg(&parent);
        dlg.Create();
        for (UINT nBox : entry.vecTicks)
            Click(dlg, nBox);
        for (quint32 nKey : entry.vecKeys)
            TypeKey(&dlg, nKey);
        if (!entry.vecKeys.empty())
        {
            EXPECT_EQ(KeyNameShown(dlg), dlg.GetCapturedKeyName()) << entry.pszWhat;
        }
        Click(dlg, IDC_DLG_OK);
        ASSERT_EQ(parent.m_vecResults.size(), 1u) << entry.pszWhat;
        const DialogResult& sent = parent.m_vecResults[0];
        EXPECT_EQ(sent.nMsg, UM_SHORTCUT_RESULT);
        EXPECT_EQ(sent.wParam, 0u);
        EXPECT_EQ(sent.result.m_strName, entry.strName) << entry.pszWhat;
        EXPECT_EQ(sent.result.m_keyValue, entry.bytes) << entry.pszWhat;
    }
}

TEST(ShortcutDialog, SingleKeyDisablesTheModifierBoxesButKeepsTheirTicks)
{
    CShortcutDlg dlg;
    dlg.Create();
    Click(dlg, CShortcutDlg::kCtrlBoxId);
    Click(dlg, CShortcutDlg::kSingleKeyBoxId);
    auto* pCtrl = dynamic_cast<CCheckButton*>(dlg.FindControl(CShortcutDlg::kCtrlBoxId));
    ASSERT_NE(pCtrl, nullptr);
    EXPECT_TRUE(pCtrl->IsDisabled());
    EXPECT_EQ(pCtrl->GetDrawnFrame(), 6);
    Click(dlg, CShortcutDlg::kCtrlBoxId); // a disabled box does not toggle
    Click(dlg, CShortcutDlg::kSingleKeyBoxId);
    EXPECT_FALSE(pCtrl->IsDisabled());
    EXPECT_TRUE(pCtrl->GetChecked());
}

// ---- The modal run ----

TEST(ShortcutDialog, WhileOpenEnterIsCapturedInsteadOfPressingOkAndAfterwardsKeysReachTheOpener)
{
    CResultWindow parent;
    CShortcutDlg dlg(&parent);
    dlg.Create();
    QueueKey(&dlg, kEvEnter, Qt::Key_Return);
    QueueClick(dlg, CShortcutDlg::kCtrlBoxId);
    QueueClick(dlg, IDC_DLG_OK);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(parent.m_vecResults.size(), 1u);
    EXPECT_EQ(parent.m_vecResults[0].result.m_strName, "Ctrl+Enter");
    EXPECT_EQ(parent.m_vecResults[0].result.m_keyValue, (KeyValue{0x06, 0x01, 0x28}));
    // The run is over: the dialog no longer takes the keys.
    TypeKey(&parent, kEvEsc, Qt::Key_Escape);
    EXPECT_EQ(parent.m_vecKeys, std::vector<WPARAM>{VK_ESCAPE});
}
