#include "app/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include "mainwindow/MainWindowIds.h"
#include "skin/SkinDraw.h"
#include "skin/SkinWindow.h"

using namespace MainWindow;

CTrayIcon::CTrayIcon(CSkinWindow& window) : m_window(window), m_pMenu(std::make_unique<QMenu>())
{
    QAction* pConfig = m_pMenu->addAction(QStringLiteral("Config Keyboard"));
    m_pMenu->addSeparator();
    QAction* pExit = m_pMenu->addAction(QStringLiteral("Exit"));
    // Commands are posted, as a menu's commands are: the window handles them after the menu has
    // closed.
    QObject::connect(pConfig, &QAction::triggered, &window,
                     [this] { CSkinWindow::PostMessage(&m_window, WM_COMMAND, IDC_CONFIG_KEYBOARD, 0); });
    QObject::connect(pExit, &QAction::triggered, &window,
                     [this] { CSkinWindow::PostMessage(&m_window, WM_COMMAND, IDC_EXIT, 0); });
}

CTrayIcon::~CTrayIcon()
{
    Remove();
}

void CTrayIcon::Add()
{
    if (m_pIcon)
        return;
    m_pIcon = std::make_unique<QSystemTrayIcon>();
    m_pIcon->setIcon(QIcon(QPixmap::fromImage(LoadIconResource(IconId))));
    m_pIcon->setToolTip(QString::fromUtf8(Tip));
    // The tray shows this menu itself on a right click (message 1056 with a right-button
    // release shows it at the pointer as well).
    m_pIcon->setContextMenu(m_pMenu.get());
    QObject::connect(m_pIcon.get(), &QSystemTrayIcon::activated, &m_window,
                     [this](QSystemTrayIcon::ActivationReason eReason)
                     {
                         // Many Linux trays report a single click and never a double click; both
                         // bring the window back.
                         if (eReason == QSystemTrayIcon::DoubleClick || eReason == QSystemTrayIcon::Trigger)
                             CSkinWindow::SendMessage(&m_window, UM_TRAYNOTIFY, IconId, DoubleClick);
                     });
    m_pIcon->show();
}

void CTrayIcon::Remove()
{
    if (!m_pIcon)
        return;
    m_pIcon->hide();
    m_pIcon.reset();
}

void CTrayIcon::ShowMenuAt(const QPoint& ptGlobal)
{
    m_pMenu->popup(ptGlobal);
}
