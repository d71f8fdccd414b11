#pragma once
// Starts a program with posix_spawn: no shell, the path is the program and its only argument
// (argv[0]); the child runs in a session of its own with default signal handling and is reaped
// by a detached thread, so no zombie stays behind and the caller never waits for it.

#include "platform/ProgramLauncher.h"

#include <atomic>
#include <sys/types.h>

class CSpawnLauncher : public CProgramLauncher
{
public:
    bool Launch(const std::string& strPath) override;
    // The process id of the last program started (for tests); 0 before any.
    pid_t LastChildPid() const { return m_nLastPid.load(); }

private:
    std::atomic<pid_t> m_nLastPid{0};
};
