#pragma once
// The single-instance lock: an exclusive flock on a file in the user's runtime folder
// ($XDG_RUNTIME_DIR, else /tmp/corvane-<uid>). The operating system drops it when the process
// ends, however it ends. The descriptor is close-on-exec, so programs started from here do not
// keep the lock alive.

#include <string>

class CInstanceLock
{
public:
    static constexpr const char* kLockFileName = "Dravon Quelmar KB.lock";

    CInstanceLock();                                      // the user's runtime folder
    explicit CInstanceLock(const std::string& strFolder); // a given folder (tests)
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // False only when another instance holds the lock. When the lock cannot be set up at all
    // (no usable folder, unwritable file) it returns true and the program runs unguarded.
    bool Acquire();
    bool IsHeld() const { return m_nFd >= 0; }
    const std::string& Path() const { return m_strPath; }
    // Where the lock file is (empty when there is none); the show-request socket lives there too.
    const std::string& Folder() const { return m_strFolder; }

    // The folder the default constructor uses; created (mode 0700) when it is the fallback.
    static std::string DefaultFolder();

private:
    std::string m_strFolder;
    std::string m_strPath;
    int m_nFd = -1;
};
