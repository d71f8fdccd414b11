#include "app/CorvaneApp.h"

#include <QApplication>
#include <QMessageBox>

#include <string_view>

#include "app/CorvaneDlg.h"
#include "app/PlatformServices.h"
#include "app/ShowRequestListener.h"
#include "platform/AppDirectory.h"
#include "platform/HidapiBackend.h"
#include "platform/InstanceLock.h"
#include "platform/ShowRequestChannel.h"
#include "platform/SpawnLauncher.h"
#include "platform/SystemClock.h"
#include "platform/UdevHotplugMonitor.h"
#include "skin/QtLook.h"
#include "skin/ResourceInit.h"

int CCorvaneApp::InitInstance(int argc, char** argv)
{
    // The lock is held until the process ends; the operating system drops it however it ends.
    CInstanceLock lock;
    const bool bTray = HasTrayOption(argc, argv);
    QApplication app(argc, argv);
    return RunSingleInstance(lock,
                             [&lock, bTray]
                             {
                                 CorvaneInitResources();
                                 // The window lives in the tray when hidden; only Exit (or Escape) ends the program.
                                 QApplication::setQuitOnLastWindowClosed(false);
                                 CHidapiBackend hid;
                                 CUdevHotplugMonitor hotplug;
                                 CSystemClock clock;
                                 CSpawnLauncher launcher;
                                 // The data files live in config/ beside a program run from its build or a portable
                                 // folder, and in the user's config folder for an installed one.
                                 const std::string strAppDirectory =
                                     ResolveAppDirectory(QCoreApplication::applicationDirPath().toStdString());
                                 CPlatformServices services{strAppDirectory, hid, hotplug, clock, launcher};
                                 CCorvaneDlg dlg(services);
                                 CShowRequestListener showRequests(lock.Folder(), dlg);
                                 if (bTray)
                                     dlg.StartInTray();
                                 dlg.DoModal();
                                 return 0;
                             });
}

int CCorvaneApp::RunSingleInstance(CInstanceLock& lock, const std::function<int()>& fnRunMainWindow)
{
    ApplySkinLookToQt();
    if (!lock.Acquire())
    {
        QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromUtf8(SecondInstanceText), QMessageBox::Ok);
        box.exec();
        // Only now: a window jumping up while the message is read would hide it.
        CShowRequestChannel::SendShowRequest(lock.Folder());
        return 0;
    }
    return fnRunMainWindow();
}

bool CCorvaneApp::HasTrayOption(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i] && std::string_view(argv[i]) == TrayOption)
            return true;
    return false;
}
