#pragma once
// Builds a key combination for a programmable key: up to four modifiers ticked in check boxes
// and one key captured from the keyboard through the dialog's own keyboard hook.
//
// Use: CShortcutDlg dlg(pMainWindow); dlg.DoModal();
// On OK with a key or a modifier, the parent receives UM_SHORTCUT_RESULT (DialogMessages.h)
// with a PopupResult: name such as "Ctrl+Alt+A", KeyValue 06, modifier mask (Ctrl 0x01,
// Shift 0x02, Alt 0x04, Win 0x08), DeviceKeyCode of the key (0 without one). Close, Cancel and
// an OK with nothing chosen send nothing. The dialog always ends as IDCANCEL.

#include "dialogs/AssignmentDlg.h"
#include "skin/Popups.h"

class CShortcutDlg : public CAssignmentDlg
{
public:
    static constexpr unsigned kBackgroundBitmap = 153; // also the window's shape
    static constexpr UINT kSingleKeyBoxId = 2005;
    static constexpr UINT kCtrlBoxId = 2006;
    static constexpr UINT kAltBoxId = 2007;
    static constexpr UINT kShiftBoxId = 2008;
    static constexpr UINT kWinBoxId = 2009;
    static constexpr UINT kKeyNameId = 2012;

    explicit CShortcutDlg(CSkinWindow* pParent = nullptr);

    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;

    const std::string& GetCapturedKeyName() const { return m_strKeyName; }
    const PopupResult& GetResult() const { return m_result; }

private:
    void OnKeyCaptured(std::uint8_t nVk);
    void OnSingleKeyClicked();
    bool IsChecked(UINT nBoxId) const;

    PopupResult m_result;
    std::string m_strKeyName;
};
