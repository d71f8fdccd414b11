#include "mainwindow/KeyAssignmentHandler.h"

#include "device/EditSession.h"
#include "dialogs/KeyMapSettingDlg.h"
#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "model/Profile.h"
#include "skin/Buttons.h"

using namespace MainWindow;

bool CKeyAssignmentHandler::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (IsKeyButtonId(nMsg))
    {
        if (lParam == NOTIFY_CLICK)
            RunKeyMapDialog(nMsg);
        return true;
    }
    if (nMsg == UM_KEY_MAP_RESULT)
    {
        StoreRemap(static_cast<UINT>(wParam), lParam);
        return true;
    }
    return false;
}

CKeyboardButton* CKeyAssignmentHandler::KeyButton(UINT nId) const
{
    return IsKeyButtonId(nId) ? dynamic_cast<CKeyboardButton*>(m_host.FindControl(nId)) : nullptr;
}

void CKeyAssignmentHandler::RunKeyMapDialog(UINT nId)
{
    const CKeyboardButton* pKey = KeyButton(nId);
    if (!pKey)
        return;
    // The result arrives as UM_KEY_MAP_RESULT while the dialog still runs; its return value
    // says nothing more.
    CKeyMapSettingDlg dlg(m_host.DialogParent(), nId, pKey->m_strKeyCaption, pKey->m_nDefaultCode,
                          pKey->m_nCurrentCode);
    m_host.RunModalDialog(dlg);
}

void CKeyAssignmentHandler::StoreRemap(UINT nId, LPARAM nCode)
{
    CKeyboardButton* pKey = KeyButton(nId);
    if (!pKey)
        return;
    const auto nChosen = static_cast<DeviceKeyCode>(nCode & 0xFF);
    // The button shows what the table holds: the code after the keyboard's alternate-code rule.
    pKey->SetKeyAssignment(pKey->m_strKeyCaption, pKey->m_nDefaultCode,
                           ApplyOwnKeyCode(static_cast<int>(nId), nChosen));
    m_host.RepaintControl(*pKey);
    m_host.Session().RemapKey(m_host.ActiveSlot(), static_cast<int>(nId), nChosen);
}

void CKeyAssignmentHandler::Refresh(const ProfileRecord& record)
{
    for (UINT nId = IDC_KEY_FIRST; nId <= IDC_KEY_LAST; ++nId)
        if (CKeyboardButton* pKey = KeyButton(nId))
            pKey->SetKeyAssignment(pKey->m_strKeyCaption, pKey->m_nDefaultCode,
                                   record.GetRemapEntry(static_cast<int>(nId)));
}
