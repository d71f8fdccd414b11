#pragma once
// Starts what a quick-launch key names, without a shell and without splitting the path into
// arguments: a file the user may execute is started directly (the path is the program and its
// argv[0]); any other existing file or folder goes to the desktop's opener, `xdg-open` found on
// PATH, as its single argument. An executable that the system cannot run (a document with its
// execute bit set on a foreign file system) is also handed to the opener. Children run in a
// session of their own with default signal handling and are reaped by a detached thread, so
// no zombie stays behind and the caller never waits for one.

#include "platform/ProgramLauncher.h"

#include <atomic>
#include <sys/types.h>
#include <vector>

class CSpawnLauncher : public CProgramLauncher
{
public:
    static constexpr const char* kOpener = "xdg-open";

    bool Launch(const std::string& strPath) override;
    // The process id of the last child started (for tests); 0 before any.
    pid_t LastChildPid() const { return m_nLastPid.load(); }

private:
    // posix_spawn (bSearchPath false) or posix_spawnp of strProgram with vecArgs; 0 or an errno.
    int Spawn(const std::string& strProgram, bool bSearchPath, std::vector<std::string> vecArgs);

    std::atomic<pid_t> m_nLastPid{0};
};
