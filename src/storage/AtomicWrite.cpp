#include "storage/AtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <tuple>
#include <vector>

namespace
{

constexpr const char* TemporaryInfix = ".tmp-";
constexpr size_t TemporaryRandomLength = 6; // the XXXXXX of mkostemp
constexpr const char* DamagedInfix = ".damaged-";
constexpr int MaxLinkHops = 40; // as the kernel's own limit

std::string FolderOf(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

std::string NameOf(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

// The file a write to strPath must replace: strPath itself, or, when it is a symbolic link, the
// file at the end of its links (which need not exist yet), so the link itself is kept.
std::string WriteTarget(const std::string& strPath)
{
    std::string strTarget = strPath;
    for (int nHop = 0; nHop < MaxLinkHops; ++nHop)
    {
        struct stat st
        {
        };
        if (::lstat(strTarget.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return strTarget;
        std::vector<char> vecLink(PATH_MAX + 1);
        const ssize_t n = ::readlink(strTarget.c_str(), vecLink.data(), vecLink.size() - 1);
        if (n <= 0)
            return strTarget;
        std::string strLink(vecLink.data(), static_cast<size_t>(n));
        strTarget = strLink.front() == '/' ? strLink : FolderOf(strTarget) + "/" + strLink;
    }
    return strTarget; // a loop: the rename will replace the last link seen, losing nothing
}

bool WriteAll(int fd, const char* pData, size_t nLength)
{
    while (nLength > 0)
    {
        const ssize_t n = ::write(fd, pData, nLength);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        pData += n;
        nLength -= static_cast<size_t>(n);
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Creates and locks a fresh temporary beside strTarget. A clean-up in another process may open
// the new name before the lock is taken and remove it as a dead writer's; the name is then made
// again.
int CreateLockedTemporary(const std::string& strTarget, std::string& strTemp)
{
    for (int nTry = 0; nTry < 3; ++nTry)
    {
        strTemp = strTarget + TemporaryInfix + std::string(TemporaryRandomLength, 'X');
        const int fd = ::mkostemp(strTemp.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        struct stat stOpen
        {
        }, stName{};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &stOpen) == 0 && ::lstat(strTemp.c_str(), &stName) == 0 &&
            SameFile(stOpen, stName))
            return fd;
        ::close(fd);
    }
    return -1;
}

void SyncFolder(const std::string& strFolder)
{
    // The rename is only durable once the folder itself reaches the disk. Some file systems
    // refuse to sync a folder; the file's own content is on disk already, so that is no failure.
    const int fd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Names in strFolder that start with strPrefix, followed by what fnRest accepts.
template <typename Accept>
std::vector<std::string> NamesWithPrefix(const std::string& strFolder, const std::string& strPrefix, Accept fnRest)
{
    std::vector<std::string> vecNames;
    DIR* pDir = ::opendir(strFolder.c_str());
    if (!pDir)
        return vecNames;
    while (const dirent* pEntry = ::readdir(pDir))
    {
        const std::string strName = pEntry->d_name;
        if (strName.size() > strPrefix.size() && strName.compare(0, strPrefix.size(), strPrefix) == 0 &&
            fnRest(std::string_view(strName).substr(strPrefix.size())))
            vecNames.push_back(strName);
    }
    ::closedir(pDir);
    return vecNames;
}

thread_local CNewFileSyncBatch* t_pNewFileSyncBatch = nullptr;

void SyncFile(const std::string& strPath)
{
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::string TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char szStamp[32];
    std::strftime(szStamp, sizeof szStamp, "%Y%m%d-%H%M%S", &local);
    return szStamp;
}

// A copy of a damaged file: "<name>.damaged-<YYYYMMDD-HHMMSS>", with "-<counter>" for the second
// and later copies of one second.
struct DamagedCopy
{
    std::string strName;
    struct timespec tmWritten
    {
    };
    std::string strStamp;
    unsigned long nCounter = 0;
};

std::vector<DamagedCopy> DamagedCopiesOf(const std::string& strFolder, const std::string& strPrefix)
{
    constexpr size_t StampLength = 15; // YYYYMMDD-HHMMSS
    std::vector<DamagedCopy> vecCopies;
    for (std::string& strName :
         NamesWithPrefix(strFolder, strPrefix,
                         [](std::string_view rest) { return rest.find(TemporaryInfix) == std::string_view::npos; }))
    {
        struct stat st
        {
        };
        if (::lstat((strFolder + "/" + strName).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        DamagedCopy copy;
        const std::string_view rest = std::string_view(strName).substr(strPrefix.size());
        copy.strStamp = std::string(rest.substr(0, StampLength));
        if (rest.size() > StampLength + 1 && rest[StampLength] == '-')
            copy.nCounter = std::strtoul(std::string(rest.substr(StampLength + 1)).c_str(), nullptr, 10);
        copy.tmWritten = st.st_mtim;
        copy.strName = std::move(strName);
        vecCopies.push_back(std::move(copy));
    }
    return vecCopies;
}

} // namespace

bool WriteTextFileAtomic(const std::string& strPath, const std::string& strContent)
{
    if (strPath.empty() || strPath.back() == '/')
        return false;
    const std::string strTarget = WriteTarget(strPath);
    std::string strTemp;
    const int fd = CreateLockedTemporary(strTarget, strTemp);
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced; a new file gets the usual 0644 less umask.
    struct stat st
    {
    };
    const bool bNewFile = ::stat(strTarget.c_str(), &st) != 0;
    CNewFileSyncBatch* pBatch = bNewFile ? t_pNewFileSyncBatch : nullptr;
    if (!bNewFile)
        ::fchmod(fd, st.st_mode & 07777);
    else
    {
        const mode_t nMask = ::umask(0);
        ::umask(nMask);
        ::fchmod(fd, 0666 & ~nMask);
    }
    bool bOk = WriteAll(fd, strContent.data(), strContent.size());
    if (!pBatch)
        bOk = (::fsync(fd) == 0) && bOk;
    // Renamed while still locked: a clean-up never sees this temporary unlocked under its name.
    if (bOk)
        bOk = ::rename(strTemp.c_str(), strTarget.c_str()) == 0;
    if (!bOk)
        ::unlink(strTemp.c_str());
    ::close(fd); // the content reached the disk with the fsync; this only drops the lock
    if (bOk && pBatch)
    {
        pBatch->m_vecFiles.push_back(strTarget);
        std::string strFolder = FolderOf(strTarget);
        if (std::find(pBatch->m_vecFolders.begin(), pBatch->m_vecFolders.end(), strFolder) ==
            pBatch->m_vecFolders.end())
            pBatch->m_vecFolders.push_back(std::move(strFolder));
    }
    else if (bOk)
        SyncFolder(FolderOf(strTarget));
    return bOk;
}

CNewFileSyncBatch::CNewFileSyncBatch()
{
    if (!t_pNewFileSyncBatch)
        t_pNewFileSyncBatch = this;
}

CNewFileSyncBatch::~CNewFileSyncBatch()
{
    Sync();
    if (t_pNewFileSyncBatch == this)
        t_pNewFileSyncBatch = nullptr;
}

void CNewFileSyncBatch::Sync()
{
    for (const std::string& strFile : m_vecFiles)
        SyncFile(strFile);
    for (const std::string& strFolder : m_vecFolders)
        SyncFolder(strFolder);
    m_vecFiles.clear();
    m_vecFolders.clear();
}

size_t RemoveStaleTemporaries(const std::string& strPath)
{
    if (strPath.empty() || strPath.back() == '/')
        return 0;
    const std::string strTarget = WriteTarget(strPath);
    const std::string strFolder = FolderOf(strTarget);
    const std::vector<std::string> vecNames = NamesWithPrefix(
        strFolder, NameOf(strTarget) + TemporaryInfix,
        [](std::string_view rest)
        {
            return rest.size() == TemporaryRandomLength &&
                   std::all_of(rest.begin(), rest.end(),
                               [](char c)
                               { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
        });
    size_t nRemoved = 0;
    for (const std::string& strName : vecNames)
    {
        const std::string strTemp = strFolder + "/" + strName;
        const int fd = ::open(strTemp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A writer holds its lock until its temporary is renamed or removed: a lock we can take
        // belongs to a writer that died. The name must still be the file we locked.
        struct stat stOpen
        {
        }, stName{};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &stOpen) == 0 && S_ISREG(stOpen.st_mode) &&
            ::lstat(strTemp.c_str(), &stName) == 0 && SameFile(stOpen, stName) && ::unlink(strTemp.c_str()) == 0)
            ++nRemoved;
        ::close(fd);
    }
    return nRemoved;
}

bool KeepDamagedCopy(const std::string& strPath)
{
    // Non-blocking, so a FIFO named as a data file cannot hang the program; a regular file
    // reads as usual.
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT; // nothing there to keep; anything else cannot be kept
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return false;
    }
    std::string strContent;
    char buffer[65536];
    for (;;)
    {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        strContent.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (strContent.empty())
        return true;

    const std::string strFolder = FolderOf(strPath);
    const std::string strPrefix = NameOf(strPath) + DamagedInfix;
    std::vector<DamagedCopy> vecCopies = DamagedCopiesOf(strFolder, strPrefix);
    // A copy made in the same second as others gets the next counter, never a freed one, so the
    // names of one second also tell the order they were made in.
    const std::string strStamp = TimeStamp();
    unsigned long nCounter = 0;
    bool bStampTaken = false;
    for (const DamagedCopy& copy : vecCopies)
        if (copy.strStamp == strStamp)
        {
            nCounter = std::max(nCounter, copy.nCounter + 1);
            bStampTaken = true;
        }
    std::string strName = strPrefix + strStamp;
    if (bStampTaken)
        strName += "-" + std::to_string(nCounter);
    struct stat stExisting
    {
    };
    while (::lstat((strFolder + "/" + strName).c_str(), &stExisting) == 0)
        strName = strPrefix + strStamp + "-" + std::to_string(++nCounter);
    if (!WriteTextFileAtomic(strFolder + "/" + strName, strContent))
        return false;

    // The oldest go, by when they were written (a name may come from a clock set back, or from a
    // user's renaming); the copy just made always stays.
    std::sort(vecCopies.begin(), vecCopies.end(),
              [](const DamagedCopy& a, const DamagedCopy& b)
              {
                  if (a.tmWritten.tv_sec != b.tmWritten.tv_sec)
                      return a.tmWritten.tv_sec < b.tmWritten.tv_sec;
                  if (a.tmWritten.tv_nsec != b.tmWritten.tv_nsec)
                      return a.tmWritten.tv_nsec < b.tmWritten.tv_nsec;
                  return std::tie(a.strStamp, a.nCounter, a.strName) < std::tie(b.strStamp, b.nCounter, b.strName);
              });
    for (size_t i = 0; i + MaxDamagedCopies < vecCopies.size() + 1; ++i)
        ::unlink((strFolder + "/" + vecCopies[i].strName).c_str());
    return true;
}
