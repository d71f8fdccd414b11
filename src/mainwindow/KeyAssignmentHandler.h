#pragma once
// The active slot's key assignments on the window: the remapped code of each key button of the
// keyboard picture (a key whose code differs from its factory code shows as changed) and the
// names of the five programmable keys.

#include "mainwindow/MainWindowHandler.h"

class CMainWindowHost;

class CKeyAssignmentHandler : public CMainWindowHandler
{
public:
    explicit CKeyAssignmentHandler(CMainWindowHost& host) : m_host(host) {}

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord& record) override;

private:
    CMainWindowHost& m_host;
};
