#pragma once
// The window-level commands of the header: hide to the tray (2001, and 2048 which leaves without
// applying) and minimise (2002). Hiding keeps every edit and its pending mark.

#include "mainwindow/MainWindowHandler.h"

class CMainWindowHost;

class CHeaderHandler : public CMainWindowHandler
{
public:
    explicit CHeaderHandler(CMainWindowHost& host) : m_host(host) {}

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord&) override {}

private:
    CMainWindowHost& m_host;
};
