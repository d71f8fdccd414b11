#pragma once
// Starts the program, or opens the file, that a quick-launch key names by its full path,
// detached, without a shell and without splitting the path into arguments.

#include <string>

class CProgramLauncher
{
public:
    virtual ~CProgramLauncher() = default;
    // False when the path is empty, missing or cannot be started or opened. Never blocks on the child.
    virtual bool Launch(const std::string& strPath) = 0;
};
