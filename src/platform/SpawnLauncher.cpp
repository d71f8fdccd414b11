#include "platform/SpawnLauncher.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

bool CSpawnLauncher::Launch(const std::string& strPath)
{
    if (strPath.empty() || strPath.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    if (stat(strPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || access(strPath.c_str(), X_OK) != 0)
        return false;

    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0)
        return false;
    // The program should not inherit our blocked signals or ignored dispositions, nor end with
    // our terminal session.
    sigset_t setEmpty;
    sigemptyset(&setEmpty);
    sigset_t setAll;
    sigfillset(&setAll);
    sigdelset(&setAll, SIGKILL);
    sigdelset(&setAll, SIGSTOP);
    posix_spawnattr_setsigmask(&attr, &setEmpty);
    posix_spawnattr_setsigdefault(&attr, &setAll);
    short nFlags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    nFlags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&attr, nFlags);

    std::string strArg0 = strPath;
    char* argv[] = {strArg0.data(), nullptr};
    pid_t nPid = 0;
    int nError = posix_spawn(&nPid, strPath.c_str(), nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    if (nError != 0)
        return false;

    m_nLastPid = nPid;
    std::thread([nPid] {
        int nStatus = 0;
        while (waitpid(nPid, &nStatus, 0) < 0 && errno == EINTR)
        {
        }
    }).detach();
    return true;
}
