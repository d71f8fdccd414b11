// corvane-demo: the program with the keyboard simulator in place of the HID devices and udev,
// for trying it without the keyboard and for end-to-end tests. The same main window runs on
// other platform services; standard input takes commands for the simulated keyboard.

#include "DemoConsole.h"
#include "MappedNotice.h"
#include "StdinLines.h"
#include "app/CorvaneApp.h"
#include "app/CorvaneDlg.h"
#include "app/PlatformServices.h"
#include "app/ShowRequestListener.h"
#include "platform/InstanceLock.h"
#include "platform/SpawnLauncher.h"
#include "platform/SystemClock.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "skin/ResourceInit.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

namespace
{
const char* const Usage =
    "Usage: corvane-demo [--data DIR] [--unplugged]\n"
    "The keyboard configuration program with a simulated keyboard, so it can be tried without one.\n"
    "  --data DIR    keep the data files in DIR/config/ (as the program keeps them in config/ beside\n"
    "                itself); by default a fresh temporary folder, removed at the end\n"
    "  --unplugged   start with the keyboard pulled out (\"plug\" plugs it in)\n"
    "  --help        this text\n"
    "The simulated keyboard keeps the real protocol's pauses. Once the window is first on the screen\n"
    "the demo prints \"mapped\".\n";

struct DemoOptions
{
    std::optional<std::string> strDataFolder;
    bool bUnplugged = false;
};

// Answers the exit code to end with at once, or nothing to go on.
std::optional<int> ParseOptions(int argc, char** argv, DemoOptions& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (strArg == "--help" || strArg == "-h")
        {
            std::cout << Usage << "\n" << DemoCommandHelp;
            return 0;
        }
        if (strArg == "--unplugged")
            options.bUnplugged = true;
        else if (strArg == "--data" && i + 1 < argc && argv[i + 1][0] != '\0')
            options.strDataFolder = argv[++i];
        else
        {
            std::cerr << "corvane-demo: unknown or incomplete option " << strArg << "\n" << Usage;
            return 2;
        }
    }
    return std::nullopt;
}

// The program's start-up with the simulator's services in place of the real ones.
int RunDemo(const std::string& strFolder, const DemoOptions& options)
{
    CorvaneInitResources();
    QApplication::setQuitOnLastWindowClosed(false);
    std::cout << "data folder " << strFolder << "/config" << std::endl;

    // Real sleeps on both sides, so the demo shows the protocol's true timing.
    CSystemClock clock;
    CSimulatedKeyboard keyboard(clock);
    if (options.bUnplugged)
        keyboard.Unplug();
    keyboard.SetHotplugCallback(
        [](const HotplugEvent& event)
        {
            std::cout << "  hot-plug: " << (event.eAction == EHotplugAction::Arrival ? "arrival " : "removal ")
                      << event.strDevNode << "\n";
        });
    CSpawnLauncher launcher;
    CPlatformServices services{strFolder + "/", keyboard, keyboard, clock, launcher};
    CCorvaneDlg dlg(services);
    CMappedNotice mapped(dlg);
    // A second demo on the same data folder brings this one's window forward, as the program does.
    CShowRequestListener showRequests(strFolder, dlg);

    CDemoConsole console(keyboard, dlg, std::cout,
                         [](int nMs, std::function<void()> fnResume) { QTimer::singleShot(nMs, std::move(fnResume)); });
    // At the end of the input the window stays, as it would without a terminal.
    CStdinLines input([&console](const std::string& strLine) { console.Submit(strLine); }, [] {});

    dlg.DoModal();
    std::cout << "ended" << std::endl;
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    DemoOptions options;
    if (const std::optional<int> nExit = ParseOptions(argc, argv, options))
        return *nExit;

    QApplication app(argc, argv);
    QTemporaryDir tempFolder(QDir::tempPath() + QStringLiteral("/corvane-demo-XXXXXX"));
    std::string strFolder;
    if (options.strDataFolder)
        strFolder = QDir(QString::fromStdString(*options.strDataFolder)).absolutePath().toStdString();
    else if (tempFolder.isValid())
        strFolder = tempFolder.path().toStdString();
    if (strFolder.empty() || !QDir().mkpath(QString::fromStdString(strFolder)))
    {
        std::cerr << "corvane-demo: cannot use the data folder " << strFolder << "\n";
        return 1;
    }
    // One demo per data folder, so two never write the same files; it runs beside the real
    // program, whose lock lives elsewhere.
    CInstanceLock lock(strFolder);
    return CCorvaneApp::RunSingleInstance(lock, [&] { return RunDemo(strFolder, options); });
}
