#pragma once
// How a second start asks the copy already running to show its window: a Unix stream socket
// beside the single-instance lock, in the same private folder, so only the same user reaches it.
// The copy holding the lock listens; a second start connects, writes one line and goes. Taking
// the socket costs a few system calls at start-up and nothing while nobody asks.

#include <string>

class CShowRequestChannel
{
public:
    static constexpr const char* kSocketName = "Dravon Quelmar KB.socket";

    explicit CShowRequestChannel(const std::string& strFolder); // the lock's folder
    ~CShowRequestChannel();
    CShowRequestChannel(const CShowRequestChannel&) = delete;
    CShowRequestChannel& operator=(const CShowRequestChannel&) = delete;

    // Only for the holder of the single-instance lock: a socket left by a copy that died is
    // replaced. False when the folder cannot hold the socket (the program then runs without it).
    bool Listen();
    // The listening socket, readable when a request waits; -1 when not listening.
    int Fd() const { return m_nFd; }
    // Takes every waiting request; true when one of them, from this user, asked for the window.
    bool TakeRequests();

    // From a second start: asks the copy listening in strFolder to show its window. False when
    // no copy listens there.
    static bool SendShowRequest(const std::string& strFolder);

private:
    std::string m_strPath;
    int m_nFd = -1;
};
