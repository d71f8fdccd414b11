#pragma once
// Chooses the new function of one key of the keyboard picture: a key pressed on the keyboard
// (keyboard mode) or one of the seven mouse functions (mouse mode); Default returns to the
// key's factory code.
//
// Use: CKeyMapSettingDlg dlg(pMainWindow, nButtonId, strKeyCaption, nFactoryCode, nCurrentCode);
//      dlg.DoModal();
// OK ends the dialog as IDOK and sends UM_KEY_MAP_RESULT (DialogMessages.h) to the parent:
// wParam = nButtonId, lParam = the mouse function code (0xD0..0xD6) in mouse mode, else the
// DeviceKeyCode of the keyboard mode. The code is sent as chosen; the receiver applies the
// OwnKeyCode rule (ApplyOwnKeyCode) before storing it. Close and Cancel send nothing.

#include "dialogs/AssignmentDlg.h"
#include "skin/Popups.h"

class CKeyMapSettingDlg : public CAssignmentDlg
{
public:
    static constexpr unsigned kBackgroundBitmap = 272;
    static constexpr UINT kMouseFunctionId = 2012;
    static constexpr UINT kKeyboardRadioId = 2013;
    static constexpr UINT kMouseRadioId = 2014;
    static constexpr UINT kCaptionId = 2015;
    static constexpr UINT kDefaultId = 2016;
    static constexpr UINT kKeyNameId = 2017;
    static constexpr int kMousePopupSlot = 4;
    // The dialog's radio option word: one bit per mode, one of the two set.
    static constexpr UINT kInitialOptionWord = 0xAA;
    static constexpr UINT kKeyboardModeBit = 0x080;
    static constexpr UINT kMouseModeBit = 0x100;
    static constexpr UINT kModeMask = kKeyboardModeBit | kMouseModeBit;

    CKeyMapSettingDlg(CSkinWindow* pParent, UINT nKeyButtonId, const std::string& strKeyCaption,
                      std::uint8_t nFactoryCode, std::uint8_t nCurrentCode);

    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;

    bool IsMouseMode() const { return (m_nOptionWord & kMouseModeBit) != 0; }
    UINT GetOptionWord() const { return m_nOptionWord; }
    std::uint8_t GetKeyboardCode() const { return m_nKeyboardCode; }
    std::uint8_t GetMouseCode() const { return m_nMouseCode; }
    std::uint8_t GetCapturedVk() const { return m_nCapturedVk; }

    // The mouse function code of a mouse-function popup choice.
    static std::uint8_t MouseFunctionCodeOf(const KeyValue& choice);

private:
    void SetMode(UINT nModeBit);
    void RepaintRadios();
    void ShowKeyName(const std::string& strName);
    void OnKeyCaptured(std::uint8_t nVk);
    void OnDefault();
    void OpenMouseFunctionPopup();
    void OnMouseFunctionChosen(const PopupResult* pChoice);
    void OnMouseFunctionPopupGone();
    CComboButton* MouseFunctionButton() const;

    UINT m_nKeyButtonId;
    std::string m_strKeyCaption;
    std::uint8_t m_nFactoryCode;
    std::uint8_t m_nCurrentCode;
    std::uint8_t m_nKeyboardCode = 0;
    std::uint8_t m_nMouseCode = MouseFunctionFirst;
    std::uint8_t m_nCapturedVk = 0;
    std::string m_strCapturedName;
    UINT m_nOptionWord = kInitialOptionWord;
};
