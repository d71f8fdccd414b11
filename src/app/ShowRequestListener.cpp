#include "app/ShowRequestListener.h"

#include <QSocketNotifier>

#include "mainwindow/MainWindowIds.h"
#include "skin/SkinWindow.h"

CShowRequestListener::CShowRequestListener(const std::string& strFolder, CSkinWindow& window) : m_channel(strFolder)
{
    if (!m_channel.Listen())
        return;
    m_pNotifier = std::make_unique<QSocketNotifier>(m_channel.Fd(), QSocketNotifier::Read);
    QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, &window,
                     [this, &window]
                     {
                         // The same command as the tray menu's, so the window decides alone how it shows itself.
                         if (m_channel.TakeRequests())
                             CSkinWindow::PostMessage(&window, MainWindow::WM_COMMAND, MainWindow::IDC_CONFIG_KEYBOARD,
                                                      0);
                     });
}

CShowRequestListener::~CShowRequestListener() = default;
