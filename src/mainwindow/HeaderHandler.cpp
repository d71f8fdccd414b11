#include "mainwindow/HeaderHandler.h"

#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"

using namespace MainWindow;

bool CHeaderHandler::HandleMessage(UINT nMsg, WPARAM, LPARAM lParam)
{
    if (nMsg != IDC_HIDE && nMsg != IDC_HIDE_WITHOUT_APPLY && nMsg != IDC_MINIMISE)
        return false;
    if (lParam != NOTIFY_CLICK)
        return true;
    if (nMsg == IDC_MINIMISE)
        m_host.MinimiseWindow();
    else
        m_host.HideWindow();
    return true;
}
