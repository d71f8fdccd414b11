#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
bool IsUsableFolder(const std::string& strFolder)
{
    if (strFolder.empty() || strFolder[0] != '/')
        return false;
    struct stat info
    {
    };
    return stat(strFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && access(strFolder.c_str(), W_OK | X_OK) == 0;
}
} // namespace

std::string CInstanceLock::DefaultFolder()
{
    const char* pRuntime = std::getenv("XDG_RUNTIME_DIR");
    if (pRuntime && IsUsableFolder(pRuntime))
        return pRuntime;
    std::string strFolder = "/tmp/corvane-" + std::to_string(getuid());
    if (mkdir(strFolder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::string();
    // A folder in /tmp that someone else made (or a link planted there) is not ours to trust.
    struct stat info
    {
    };
    if (lstat(strFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return std::string();
    return strFolder;
}

CInstanceLock::CInstanceLock() : CInstanceLock(DefaultFolder()) {}

CInstanceLock::CInstanceLock(const std::string& strFolder) : m_strFolder(strFolder)
{
    if (!strFolder.empty())
        m_strPath = strFolder + "/" + kLockFileName;
}

CInstanceLock::~CInstanceLock()
{
    if (m_nFd >= 0)
        close(m_nFd);
}

bool CInstanceLock::Acquire()
{
    if (m_nFd >= 0)
        return true;
    if (m_strPath.empty())
        return true;
    int nFd = open(m_strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (nFd < 0)
        return true;
    int nResult;
    do
        nResult = flock(nFd, LOCK_EX | LOCK_NB);
    while (nResult != 0 && errno == EINTR);
    if (nResult != 0)
    {
        bool bHeldElsewhere = errno == EWOULDBLOCK;
        close(nFd);
        return !bHeldElsewhere;
    }
    m_nFd = nFd;
    return true;
}
