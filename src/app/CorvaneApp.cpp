#include "app/CorvaneApp.h"

#include <QApplication>
#include <QMessageBox>

#include "app/CorvaneDlg.h"
#include "platform/InstanceLock.h"
#include "skin/ResourceInit.h"

int CCorvaneApp::InitInstance(int argc, char** argv)
{
    // The lock is held until the process ends; the operating system drops it however it ends.
    CInstanceLock lock;
    QApplication app(argc, argv);
    if (!lock.Acquire()) {
        QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("you had run one app!"),
                        QMessageBox::Ok);
        box.exec();
        return 0;
    }
    CorvaneInitResources();
    // The window lives in the tray when hidden; only Exit (or Escape) ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    {
        CCorvaneDlg dlg;
        dlg.DoModal();
    }
    return 0;
}
