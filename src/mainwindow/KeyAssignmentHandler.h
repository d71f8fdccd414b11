#pragma once
// The key page: a click on a key of the keyboard picture runs the key map dialog for that key,
// and its result becomes the key's code in the active slot's remap table (a key whose code
// differs from its factory code shows as changed). Refresh shows the active slot's codes.

#include "mainwindow/MainWindowHandler.h"

class CKeyboardButton;
class CMainWindowHost;

class CKeyAssignmentHandler : public CMainWindowHandler
{
public:
    explicit CKeyAssignmentHandler(CMainWindowHost& host) : m_host(host) {}

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord& record) override;

private:
    CKeyboardButton* KeyButton(UINT nId) const;
    void RunKeyMapDialog(UINT nId);
    void StoreRemap(UINT nId, LPARAM nCode);

    CMainWindowHost& m_host;
};
