#include "dialogs/ShortcutDlg.h"

#include "dialogs/DialogMessages.h"
#include "keyboardhook/KeyboardHook.h"
#include "model/KeyTables.h"

namespace
{

constexpr CRect kKeyNameRect(287, 100, 405, 120);

struct ModifierBox
{
    UINT nId;
    const char* pszWord;
    std::uint8_t nBit;
};
// The order in which the name is built.
constexpr ModifierBox kModifiers[] = {
    {CShortcutDlg::kCtrlBoxId, "Ctrl+", 0x01},
    {CShortcutDlg::kShiftBoxId, "Shift+", 0x02},
    {CShortcutDlg::kAltBoxId, "Alt+", 0x04},
    {CShortcutDlg::kWinBoxId, "Win+", 0x08},
};

} // namespace

CShortcutDlg::CShortcutDlg(CSkinWindow* pParent)
    : CAssignmentDlg(pParent, kBackgroundBitmap, EWindowShape::FromBackground, std::make_unique<CKeyboardHook>())
{
    SetWindowSize(420, 206);
}

void CShortcutDlg::CreateControls(int nLeft, int nTop, int, int)
{
    AddBitmapButtons(nLeft, nTop,
                     {{IDC_DLG_CLOSE, 391, 3, 23, 21, 381},
                      {IDC_DLG_OK, 16, 162, 73, 29, 162},
                      {IDC_DLG_CANCEL, 118, 162, 66, 29, 163}});
    const struct
    {
        UINT nId;
        int x;
    } kBoxes[] = {{kSingleKeyBoxId, 22}, {kCtrlBoxId, 83}, {kShiftBoxId, 136}, {kAltBoxId, 186}, {kWinBoxId, 232}};
    for (const auto& box : kBoxes)
    {
        auto* pBox = new CCheckButton(this, box.nId, CRect(nLeft + box.x, nTop + 104, nLeft + box.x + 12, nTop + 116),
                                      "", true, false);
        pBox->LoadImage(156);
        AddControl(0, pBox);
    }
    CRect rcName = kKeyNameRect;
    rcName.Offset(nLeft, nTop);
    AddLabel(kKeyNameId, rcName, DT_LEFT | DT_VCENTER, m_strKeyName);
}

bool CShortcutDlg::IsChecked(UINT nBoxId) const
{
    const auto* pBox = dynamic_cast<const CCheckButton*>(FindControl(nBoxId));
    return pBox && pBox->GetChecked();
}

void CShortcutDlg::OnKeyCaptured(std::uint8_t nVk)
{
    // A new shortcut reads as the keys' legends do: "Ctrl+Shift", not "Ctrl+Shift_L".
    m_strKeyName = PlainKeyName(VkNameTable[nVk]);
    m_result.m_keyValue.m_nParam2 = VkToDeviceCode[nVk];
    if (auto* pName = dynamic_cast<CStaticText*>(FindControl(kKeyNameId)))
        pName->SetDisplayText(m_strKeyName);
    InvalidateRect(&kKeyNameRect, true);
}

void CShortcutDlg::OnSingleKeyClicked()
{
    // A disabled box keeps its tick; the single-key choice only stops it being used.
    const bool bSingle = IsChecked(kSingleKeyBoxId);
    for (const ModifierBox& box : kModifiers)
    {
        if (CControlBase* pBox = FindControl(box.nId))
        {
            pBox->SetDisabled(bSingle);
            const CRect rc = pBox->GetRect();
            InvalidateRect(&rc, true);
        }
    }
}

void CShortcutDlg::OnOK()
{
    if (GetResultWindow())
    {
        m_result.m_keyValue.m_nKind = 0x06;
        m_result.m_keyValue.m_nParam1 = 0;
        std::string strName;
        if (!IsChecked(kSingleKeyBoxId))
        {
            for (const ModifierBox& box : kModifiers)
            {
                if (IsChecked(box.nId))
                {
                    strName += box.pszWord;
                    m_result.m_keyValue.m_nParam1 |= box.nBit;
                }
            }
        }
        strName += m_strKeyName;
        if (!strName.empty())
        {
            // Modifiers alone read "Ctrl+Shift", not "Ctrl+Shift+"; a key whose own name ends
            // in "+" (Keypad +) keeps it.
            if (m_strKeyName.empty() && strName.back() == '+')
                strName.pop_back();
            m_result.m_strName = strName;
            SendResult(UM_SHORTCUT_RESULT, 0, reinterpret_cast<LPARAM>(&m_result));
        }
    }
    // The opener takes the result from the message, not from the dialog's return value.
    EndDialog(IDCANCEL);
}

LRESULT CShortcutDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (HandleOkCancelButtons(nMsg, lParam))
        return 0;
    switch (nMsg)
    {
    case kSingleKeyBoxId:
        if (lParam == NOTIFY_CLICK)
            OnSingleKeyClicked();
        return 0;
    case UM_HOOK_KEY: OnKeyCaptured(static_cast<std::uint8_t>(wParam & 0xFF)); return 0;
    default: return CAssignmentDlg::WindowProc(nMsg, wParam, lParam);
    }
}
