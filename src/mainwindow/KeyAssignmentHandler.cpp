#include "mainwindow/KeyAssignmentHandler.h"

#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "model/Profile.h"
#include "skin/Buttons.h"

using namespace MainWindow;

bool CKeyAssignmentHandler::HandleMessage(UINT, WPARAM, LPARAM)
{
    return false;
}

void CKeyAssignmentHandler::Refresh(const ProfileRecord& record)
{
    for (UINT nId = IDC_KEY_FIRST; nId <= IDC_KEY_LAST; ++nId)
        if (auto* pKey = dynamic_cast<CKeyboardButton*>(m_host.FindControl(nId)))
            pKey->SetKeyAssignment(pKey->m_strKeyCaption, pKey->m_nDefaultCode,
                                   record.GetRemapEntry(static_cast<int>(nId)));
    for (int k = 0; k < ProgrammableKeyCount; ++k)
        if (auto* pButton = dynamic_cast<CComboButton*>(m_host.FindControl(IDC_PROGRAMMABLE_KEY_FIRST + k)))
            pButton->SetCaption(record.m_keys[static_cast<size_t>(k)].m_strName);
}
