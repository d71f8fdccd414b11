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
    struct stat info
    {
    };
    if (stat(strPath.c_str(), &info) != 0)
        return false;
    if (S_ISREG(info.st_mode) && access(strPath.c_str(), X_OK) == 0)
    {
        const int nError = Spawn(strPath, false, {strPath});
        if (nError == 0)
            return true;
        if (nError != ENOEXEC && nError != EACCES)
            return false;
    }
    // The opener would read a leading '-' as one of its options.
    const std::string strArgument = strPath.front() == '-' ? "./" + strPath : strPath;
    return Spawn(kOpener, true, {kOpener, strArgument}) == 0;
}

int CSpawnLauncher::Spawn(const std::string& strProgram, bool bSearchPath, std::vector<std::string> vecArgs)
{
    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0)
        return EINVAL;
    // The child should not inherit our blocked signals or ignored dispositions, nor end with
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

    std::vector<char*> vecArgv;
    for (std::string& strArg : vecArgs)
        vecArgv.push_back(strArg.data());
    vecArgv.push_back(nullptr);
    pid_t nPid = 0;
    const int nError = bSearchPath ? posix_spawnp(&nPid, strProgram.c_str(), nullptr, &attr, vecArgv.data(), environ)
                                   : posix_spawn(&nPid, strProgram.c_str(), nullptr, &attr, vecArgv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (nError != 0)
        return nError;

    m_nLastPid = nPid;
    std::thread(
        [nPid]
        {
            int nStatus = 0;
            while (waitpid(nPid, &nStatus, 0) < 0 && errno == EINTR)
            {
            }
        })
        .detach();
    return 0;
}
