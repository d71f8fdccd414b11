#include "app/CorvaneApp.h"

#include <QApplication>
#include <QMessageBox>

#include "app/CorvaneDlg.h"
#include "app/PlatformServices.h"
#include "platform/AppDirectory.h"
#include "platform/HidapiBackend.h"
#include "platform/InstanceLock.h"
#include "platform/SpawnLauncher.h"
#include "platform/SystemClock.h"
#include "platform/UdevHotplugMonitor.h"
#include "skin/ResourceInit.h"

int CCorvaneApp::InitInstance(int argc, char** argv)
{
    // The lock is held until the process ends; the operating system drops it however it ends.
    CInstanceLock lock;
    QApplication app(argc, argv);
    return RunSingleInstance(lock, [] {
        CorvaneInitResources();
        // The window lives in the tray when hidden; only Exit (or Escape) ends the program.
        QApplication::setQuitOnLastWindowClosed(false);
        CHidapiBackend hid;
        CUdevHotplugMonitor hotplug;
        CSystemClock clock;
        CSpawnLauncher launcher;
        // The data files live in config/ beside a program run from its build or a portable folder,
        // and in the user's config folder for an installed one.
        const std::string strAppDirectory =
            ResolveAppDirectory(QCoreApplication::applicationDirPath().toStdString());
        CPlatformServices services{strAppDirectory, hid, hotplug, clock, launcher};
        CCorvaneDlg dlg(services);
        dlg.DoModal();
        return 0;
    });
}

int CCorvaneApp::RunSingleInstance(CInstanceLock& lock, const std::function<int()>& fnRunMainWindow)
{
    if (!lock.Acquire())
    {
        QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromUtf8(SecondInstanceText), QMessageBox::Ok);
        box.exec();
        return 0;
    }
    return fnRunMainWindow();
}
