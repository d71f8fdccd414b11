#include "platform/AppDirectory.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef CORVANE_APP_ID
#error "CORVANE_APP_ID names the desktop entry that marks an installed copy"
#endif

namespace
{
std::string WithSlash(std::string strFolder)
{
    if (!strFolder.empty() && strFolder.back() != '/')
        strFolder += '/';
    return strFolder;
}

bool IsUnderUsr(const std::string& strFolder)
{
    return strFolder == "/usr/" || strFolder.rfind("/usr/", 0) == 0;
}

bool IsWritableFolder(const std::string& strFolder)
{
    struct stat info
    {
    };
    return stat(strFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && access(strFolder.c_str(), W_OK | X_OK) == 0;
}

bool Exists(const std::string& strPath)
{
    struct stat info
    {
    };
    return stat(strPath.c_str(), &info) == 0;
}

// Creates every missing folder of an absolute path, private to the user as the XDG folders are.
void MakeFolders(const std::string& strFolder)
{
    for (size_t nSlash = strFolder.find('/', 1); nSlash != std::string::npos; nSlash = strFolder.find('/', nSlash + 1))
    {
        const std::string strPart = strFolder.substr(0, nSlash);
        if (mkdir(strPart.c_str(), 0700) != 0 && errno != EEXIST)
            return;
    }
}
} // namespace

const char* DesktopEntryId()
{
    return CORVANE_APP_ID;
}

std::string PerUserAppDirectory(const std::string& strXdgConfigHome, const std::string& strHome)
{
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules ask.
    if (!strXdgConfigHome.empty() && strXdgConfigHome[0] == '/')
        return WithSlash(strXdgConfigHome) + "corvane/";
    if (!strHome.empty() && strHome[0] == '/')
        return WithSlash(strHome) + ".config/corvane/";
    return std::string();
}

std::string ChooseAppDirectory(const std::string& strProgramFolder, const std::string& strPerUserFolder)
{
    std::string strFolder = WithSlash(strProgramFolder);
    char szReal[PATH_MAX];
    if (realpath(strFolder.c_str(), szReal))
        strFolder = WithSlash(szReal);
    const std::string strPerUser = WithSlash(strPerUserFolder);
    // With no usable home at all, the program folder is the only place left to try.
    const std::string strFallback = strPerUser.empty() ? strFolder : strPerUser;

    if (IsUnderUsr(strFolder))
        return strFallback;
    if (IsWritableFolder(strFolder + "config"))
        return strFolder;
    if (Exists(strFolder + "../share/applications/" CORVANE_APP_ID ".desktop"))
        return strFallback;
    if (IsWritableFolder(strFolder))
        return strFolder;
    return strFallback;
}

std::string RunningProgramFolder()
{
    char szPath[PATH_MAX];
    const ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof szPath - 1);
    if (nLength <= 0)
        return std::string();
    std::string strPath(szPath, static_cast<size_t>(nLength));
    return strPath.substr(0, strPath.rfind('/') + 1);
}

std::string ResolveAppDirectory(const std::string& strProgramFolder)
{
    const char* pXdg = std::getenv("XDG_CONFIG_HOME");
    const char* pHome = std::getenv("HOME");
    std::string strHome = pHome ? pHome : "";
    if (strHome.empty())
    {
        if (const passwd* pUser = getpwuid(getuid()))
            strHome = pUser->pw_dir ? pUser->pw_dir : "";
    }
    const std::string strPerUser = PerUserAppDirectory(pXdg ? pXdg : "", strHome);
    const std::string strChosen = ChooseAppDirectory(strProgramFolder, strPerUser);
    if (strChosen == strPerUser && !strPerUser.empty())
        MakeFolders(strPerUser);
    return strChosen;
}
