#include "platform/ShowRequestChannel.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
constexpr const char kShowRequest[] = "show\n";
// A second start writes its line right after connecting; one that stalls is not waited for.
constexpr int RequestWaitMs = 200;

bool MakeAddress(const std::string& strPath, sockaddr_un& address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (strPath.empty() || strPath.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, strPath.c_str(), strPath.size() + 1);
    return true;
}

bool SentByThisUser(int nFd)
{
    ucred credentials{};
    socklen_t nLength = sizeof credentials;
    return getsockopt(nFd, SOL_SOCKET, SO_PEERCRED, &credentials, &nLength) == 0 && credentials.uid == getuid();
}

bool ReadsShowRequest(int nFd)
{
    char szLine[sizeof kShowRequest] = {};
    size_t nGot = 0;
    while (nGot < sizeof kShowRequest - 1)
    {
        pollfd wait{nFd, POLLIN, 0};
        if (poll(&wait, 1, RequestWaitMs) <= 0)
            return false;
        const ssize_t n = read(nFd, szLine + nGot, sizeof kShowRequest - 1 - nGot);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        nGot += static_cast<size_t>(n);
    }
    return std::memcmp(szLine, kShowRequest, sizeof kShowRequest - 1) == 0;
}
} // namespace

CShowRequestChannel::CShowRequestChannel(const std::string& strFolder)
{
    if (!strFolder.empty())
        m_strPath = strFolder + "/" + kSocketName;
}

CShowRequestChannel::~CShowRequestChannel()
{
    if (m_nFd < 0)
        return;
    close(m_nFd);
    unlink(m_strPath.c_str());
}

bool CShowRequestChannel::Listen()
{
    if (m_nFd >= 0)
        return true;
    sockaddr_un address;
    if (!MakeAddress(m_strPath, address))
        return false;
    const int nFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (nFd < 0)
        return false;
    // Whoever holds the lock owns the name: what is there is a dead copy's socket. Anything else
    // of that name (a user's file, a folder) is left alone and the program runs without it.
    struct stat info
    {
    };
    if (lstat(m_strPath.c_str(), &info) == 0 && S_ISSOCK(info.st_mode))
        unlink(m_strPath.c_str());
    if (bind(nFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(nFd, 4) != 0)
    {
        close(nFd);
        return false;
    }
    chmod(m_strPath.c_str(), 0600);
    m_nFd = nFd;
    return true;
}

bool CShowRequestChannel::TakeRequests()
{
    bool bShow = false;
    for (;;)
    {
        const int nClient = accept4(m_nFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (nClient < 0)
        {
            if (errno == EINTR)
                continue;
            return bShow; // EAGAIN: no more waiting, or the socket is not listening
        }
        if (SentByThisUser(nClient) && ReadsShowRequest(nClient))
            bShow = true;
        close(nClient);
    }
}

bool CShowRequestChannel::SendShowRequest(const std::string& strFolder)
{
    sockaddr_un address;
    if (strFolder.empty() || !MakeAddress(strFolder + "/" + kSocketName, address))
        return false;
    const int nFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (nFd < 0)
        return false;
    bool bSent = connect(nFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (bSent)
        bSent = send(nFd, kShowRequest, sizeof kShowRequest - 1, MSG_NOSIGNAL) ==
                static_cast<ssize_t>(sizeof kShowRequest - 1);
    close(nFd);
    return bSent;
}
