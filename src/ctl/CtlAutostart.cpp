#include "ctl/CtlAutostart.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "ctl/CtlArguments.h"
#include "ctl/CtlServices.h"
#include "platform/AppDirectory.h"
#include "storage/AtomicWrite.h"

namespace
{
constexpr const char* WindowProgram = "corvane";
constexpr const char* TrayArgument = "--tray";

// One argument of an Exec line: quoted when it holds a character the entry format reserves, and
// then written as a string value of the entry file (backslashes doubled).
std::string ExecArgument(const std::string& strArgument)
{
    const bool bQuote = strArgument.find_first_of(" \t\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string strOut;
    for (char c : strArgument)
    {
        if (c == '%')
            strOut += '%'; // "%%" is a literal percent sign
        else if (bQuote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            strOut += '\\';
        strOut += c;
    }
    if (bQuote)
        strOut = '"' + strOut + '"';
    std::string strValue;
    for (char c : strOut)
        strValue += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return strValue;
}

// The window's program beside this one (as they are installed and built); else the bare name,
// found on PATH at login. A path no entry line can hold is not used.
std::string WindowProgramPath()
{
    const std::string strPath = RunningProgramFolder() + WindowProgram;
    const bool bPrintable = strPath.find_first_of("\n\r") == std::string::npos;
    return bPrintable && access(strPath.c_str(), X_OK) == 0 ? strPath : WindowProgram;
}

std::string HomeFolder()
{
    if (const char* pHome = std::getenv("HOME"); pHome && *pHome)
        return pHome;
    const passwd* pUser = getpwuid(getuid());
    return pUser && pUser->pw_dir ? pUser->pw_dir : "";
}

// Creates every missing folder of an absolute path ending in '/', private to the user as the XDG
// folders are.
bool MakeFolders(const std::string& strFolder)
{
    for (size_t nSlash = strFolder.find('/', 1); nSlash != std::string::npos; nSlash = strFolder.find('/', nSlash + 1))
    {
        const std::string strPart = strFolder.substr(0, nSlash);
        if (mkdir(strPart.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info
    {
    };
    return stat(strFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An entry is on unless it is missing or the desktop was told to skip it.
bool IsEntryOn(const std::string& strPath)
{
    std::ifstream in(strPath);
    if (!in)
        return false;
    std::string strLine;
    while (std::getline(in, strLine))
        if (strLine == "Hidden=true" || strLine == "X-GNOME-Autostart-enabled=false")
            return false;
    return true;
}
} // namespace

std::string AutostartFolder(const std::string& strXdgConfigHome, const std::string& strHome)
{
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules ask.
    std::string strBase;
    if (!strXdgConfigHome.empty() && strXdgConfigHome[0] == '/')
        strBase = strXdgConfigHome;
    else if (!strHome.empty() && strHome[0] == '/')
        strBase = strHome + (strHome.back() == '/' ? "" : "/") + ".config";
    else
        return std::string();
    return strBase + (strBase.back() == '/' ? "" : "/") + "autostart/";
}

std::string AutostartEntryText(const std::string& strProgram)
{
    std::ostringstream out;
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=Corvane\n"
        << "Comment=Keyboard settings in the tray: profile and lock key notices, the keyboard kept in step\n"
        << "Exec=" << ExecArgument(strProgram) << ' ' << TrayArgument << '\n'
        << "Icon=" << DesktopEntryId() << '\n'
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    return out.str();
}

int RunAutostart(const CtlRequest& request, const CCtlServices& services)
{
    const char* pXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string strFolder = AutostartFolder(pXdg ? pXdg : "", HomeFolder());
    if (strFolder.empty())
    {
        services.m_err << "corvanectl: no autostart folder: neither XDG_CONFIG_HOME nor HOME is an absolute path\n";
        return CtlExitFailure;
    }
    const std::string strPath = strFolder + DesktopEntryId() + ".desktop";

    if (request.strSwitch == "on")
    {
        const std::string strProgram = WindowProgramPath();
        if (!MakeFolders(strFolder) || !WriteTextFileAtomic(strPath, AutostartEntryText(strProgram)))
        {
            services.m_err << "corvanectl: cannot write " << strPath << ": " << std::strerror(errno) << '\n';
            return CtlExitFailure;
        }
        services.m_out << "autostart: on (" << strPath << ")\n"
                       << "At the next login the program starts hidden in the tray: " << strProgram << ' '
                       << TrayArgument << '\n';
        return CtlExitOk;
    }
    if (request.strSwitch == "off")
    {
        if (unlink(strPath.c_str()) != 0 && errno != ENOENT)
        {
            services.m_err << "corvanectl: cannot remove " << strPath << ": " << std::strerror(errno) << '\n';
            return CtlExitFailure;
        }
        services.m_out << "autostart: off\n";
        return CtlExitOk;
    }
    services.m_out << "autostart: " << (IsEntryOn(strPath) ? "on (" + strPath + ")" : std::string("off")) << '\n';
    return CtlExitOk;
}
