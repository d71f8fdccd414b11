#include "dialogs/KeyMapSettingDlg.h"

#include "dialogs/DialogMessages.h"
#include "keyboardhook/KeyboardHook.h"
#include "model/KeyTables.h"

namespace
{
constexpr CRect kKeyNameRect(180, 116, 346, 135);
} // namespace

CKeyMapSettingDlg::CKeyMapSettingDlg(CSkinWindow* pParent, UINT nKeyButtonId, const std::string& strKeyCaption,
                                     std::uint8_t nFactoryCode, std::uint8_t nCurrentCode)
    : CAssignmentDlg(pParent, kBackgroundBitmap, EWindowShape::Rectangle, std::make_unique<CKeyboardHook>()),
      m_nKeyButtonId(nKeyButtonId), m_strKeyCaption(strKeyCaption), m_nFactoryCode(nFactoryCode),
      m_nCurrentCode(nCurrentCode)
{
    SetWindowSize(400, 270);
}

void CKeyMapSettingDlg::CreateControls(int nLeft, int nTop, int, int)
{
    const bool bMouse = m_nCurrentCode >= MouseFunctionFirst && m_nCurrentCode <= MouseFunctionLast;
    std::string strKeyName;
    if (bMouse)
    {
        m_nMouseCode = m_nCurrentCode;
        m_nKeyboardCode = m_nFactoryCode;
        strKeyName = m_strKeyCaption;
    }
    else
    {
        m_nMouseCode = MouseFunctionFirst;
        m_nKeyboardCode = m_nCurrentCode;
        strKeyName = DeviceKeyNameTable[m_nCurrentCode];
    }
    SetMode(bMouse ? kMouseModeBit : kKeyboardModeBit);

    const auto At = [nLeft, nTop](int x, int y, int nWidth, int nHeight)
    { return CRect(nLeft + x, nTop + y, nLeft + x + nWidth, nTop + y + nHeight); };
    AddBitmapButtons(nLeft, nTop, {{IDC_DLG_CLOSE, 365, 8, 26, 24, 154}});
    auto* pDefault = new CImageButton(this, kDefaultId, At(247, 72, 99, 23), "", true, false);
    pDefault->LoadImage(276);
    AddControl(0, pDefault);
    AddLabel(kCaptionId, At(118, 77, 126, 23), DT_LEFT | DT_VCENTER, m_strKeyCaption);
    AddLabel(kKeyNameId, At(180, 116, 166, 19), DT_LEFT | DT_VCENTER, strKeyName);
    const struct
    {
        UINT nId;
        int y;
        UINT nBit;
    } kRadios[] = {{kKeyboardRadioId, 117, kKeyboardModeBit}, {kMouseRadioId, 159, kMouseModeBit}};
    for (const auto& radio : kRadios)
    {
        auto* pRadio = new CRadioButton(this, radio.nId, At(37, radio.y, 19, 19), "", true, false,
                                        CRadioOption{&m_nOptionWord, radio.nBit, kModeMask});
        pRadio->SetBitmap(275, 19, 19, 0, 0);
        AddControl(0, pRadio);
        if (radio.nId == kKeyboardRadioId)
        {
            // The mouse-function button sits between the radios in list order, as it does on screen.
            auto* pMouse = new CComboButton(this, kMouseFunctionId, At(136, 154, 210, 21), "", true, false,
                                            UM_MOUSE_FUNCTION_BUTTON, MouseFunctionName(m_nMouseCode));
            pMouse->LoadImage(273);
            AddControl(0, pMouse);
        }
    }
    AddBitmapButtons(nLeft, nTop, {{IDC_DLG_OK, 223, 230, 73, 29, 162}, {IDC_DLG_CANCEL, 325, 230, 66, 29, 163}});
}

std::uint8_t CKeyMapSettingDlg::MouseFunctionCodeOf(const KeyValue& choice)
{
    switch (choice.m_nKind)
    {
    case 0x03:
        switch (choice.m_nParam1)
        {
        case 0x02: return 0xD1; // Menu
        case 0x04: return 0xD2; // Middle Button
        case 0x08: return 0xD3; // IE Backward
        case 0x10: return 0xD4; // IE Forward
        default: return 0xD0;   // Click
        }
    case 0x04: return 0xD5; // Double-click
    default: return 0xD6;   // Fire
    }
}

void CKeyMapSettingDlg::SetMode(UINT nModeBit)
{
    m_nOptionWord = (m_nOptionWord & ~kModeMask) | nModeBit;
}

void CKeyMapSettingDlg::RepaintRadios()
{
    for (UINT nId : {kKeyboardRadioId, kMouseRadioId})
    {
        if (const CControlBase* pRadio = FindControl(nId))
        {
            const CRect rc = pRadio->GetRect();
            InvalidateRect(&rc, true);
        }
    }
}

void CKeyMapSettingDlg::ShowKeyName(const std::string& strName)
{
    if (auto* pName = dynamic_cast<CStaticText*>(FindControl(kKeyNameId)))
        pName->SetDisplayText(strName);
    InvalidateRect(&kKeyNameRect, true);
}

CComboButton* CKeyMapSettingDlg::MouseFunctionButton() const
{
    return dynamic_cast<CComboButton*>(FindControl(kMouseFunctionId));
}

void CKeyMapSettingDlg::OnKeyCaptured(std::uint8_t nVk)
{
    if (nVk == 0)
        return; // a key the hook cannot place, or a popup's closing notice (same number)
    m_nCapturedVk = nVk;
    m_strCapturedName = VkNameTable[nVk];
    m_nKeyboardCode = VkToDeviceCode[nVk];
    ShowKeyName(m_strCapturedName);
}

void CKeyMapSettingDlg::OnDefault()
{
    m_nKeyboardCode = m_nFactoryCode;
    SetMode(kKeyboardModeBit);
    RepaintRadios();
    ShowKeyName(m_strKeyCaption);
}

void CKeyMapSettingDlg::OpenMouseFunctionPopup()
{
    CComboButton* pButton = MouseFunctionButton();
    if (!pButton)
        return;
    pButton->SetPopupOpen(true);
    const CRect rc = pButton->GetRect();
    OpenPopup(kMousePopupSlot, CRect(rc.left, rc.bottom, rc.right, rc.bottom + rc.Height()), new CMultimediaPopup,
              kMouseFunctionId);
}

void CKeyMapSettingDlg::OnMouseFunctionChosen(const PopupResult* pChoice)
{
    if (!pChoice)
        return;
    m_nMouseCode = MouseFunctionCodeOf(pChoice->m_keyValue);
    if (CComboButton* pButton = MouseFunctionButton())
    {
        pButton->SetCaption(pChoice->m_strName);
        pButton->SetPopupOpen(false);
    }
    ClosePopup(kMousePopupSlot);
}

void CKeyMapSettingDlg::OnMouseFunctionPopupGone()
{
    if (!GetPopup(kMousePopupSlot))
        return;
    CComboButton* pButton = MouseFunctionButton();
    if (pButton)
    {
        const CRect rc = pButton->GetRect();
        InvalidateRect(&rc, true);
    }
    ClosePopup(kMousePopupSlot);
    if (pButton)
        pButton->SetPopupOpen(false);
}

void CKeyMapSettingDlg::OnOK()
{
    EndDialog(IDOK);
    if (GetResultWindow())
    {
        const std::uint8_t nCode = IsMouseMode() ? m_nMouseCode : m_nKeyboardCode;
        SendResult(UM_KEY_MAP_RESULT, m_nKeyButtonId, nCode);
    }
}

LRESULT CKeyMapSettingDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (HandleOkCancelButtons(nMsg, lParam))
        return 0;
    switch (nMsg)
    {
    case kKeyboardRadioId:
    case kMouseRadioId:
        if (lParam == NOTIFY_CLICK)
            RepaintRadios();
        return 0;
    case kDefaultId:
        if (lParam == NOTIFY_CLICK)
            OnDefault();
        return 0;
    case UM_HOOK_KEY: OnKeyCaptured(static_cast<std::uint8_t>(wParam & 0xFF)); return 0;
    case UM_MOUSE_FUNCTION_BUTTON:
        if (wParam == kMouseFunctionId)
            OpenMouseFunctionPopup();
        return 0;
    case UM_MOUSE_FUNCTION_RESULT:
        if (wParam == kMouseFunctionId)
            OnMouseFunctionChosen(reinterpret_cast<const PopupResult*>(lParam));
        return 0;
    case UM_MOUSE_FUNCTION_GONE:
        if (wParam == kMouseFunctionId)
            OnMouseFunctionPopupGone();
        return 0;
    default: return CAssignmentDlg::WindowProc(nMsg, wParam, lParam);
    }
}
