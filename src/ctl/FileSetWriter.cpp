#include "ctl/FileSetWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/TextFile.h"

namespace
{
struct StagedFile
{
    std::string m_strTarget;
    std::string m_strStaged;
    bool m_bHadOld = false;
    std::string m_strOld;
};

// Flushes a folder's entries (the renames) to disk.
void SyncFolderOf(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    const std::string strFolder = nSlash == std::string::npos ? "." : strPath.substr(0, nSlash + 1);
    const int fd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
    {
        ::fsync(fd);
        ::close(fd);
    }
}

void RemoveStaged(const std::vector<StagedFile>& vecStaged, size_t nFrom)
{
    for (size_t i = nFrom; i < vecStaged.size(); ++i)
        ::unlink(vecStaged[i].m_strStaged.c_str());
}
} // namespace

bool ReadWholeFile(const std::string& strPath, std::string& strContent, size_t nMaxBytes)
{
    strContent.clear();
    FILE* pFile = std::fopen(strPath.c_str(), "rb");
    if (!pFile)
        return false;
    struct stat info
    {
    };
    bool bOk = ::fstat(::fileno(pFile), &info) == 0 && S_ISREG(info.st_mode) &&
               static_cast<unsigned long long>(info.st_size) <= nMaxBytes;
    char buffer[65536];
    while (bOk)
    {
        const size_t nRead = std::fread(buffer, 1, sizeof buffer, pFile);
        strContent.append(buffer, nRead);
        if (strContent.size() > nMaxBytes)
            bOk = false;
        if (nRead < sizeof buffer)
        {
            bOk = bOk && !std::ferror(pFile);
            break;
        }
    }
    std::fclose(pFile);
    if (!bOk)
        strContent.clear();
    return bOk;
}

bool ReplaceFilesTogether(const std::vector<FileReplacement>& vecRequested)
{
    // A path named twice gets the later content, as two saves one after the other would leave.
    std::vector<FileReplacement> vecFiles;
    for (const FileReplacement& file : vecRequested)
    {
        auto it = std::find_if(vecFiles.begin(), vecFiles.end(),
                               [&](const FileReplacement& other) { return other.m_strPath == file.m_strPath; });
        if (it != vecFiles.end())
            it->m_strContent = file.m_strContent;
        else
            vecFiles.push_back(file);
    }
    std::vector<StagedFile> vecStaged;
    const std::string strSuffix = ".new-" + std::to_string(::getpid());
    for (const FileReplacement& file : vecFiles)
    {
        StagedFile staged;
        staged.m_strTarget = file.m_strPath;
        staged.m_strStaged = file.m_strPath + strSuffix;
        struct stat info
        {
        };
        staged.m_bHadOld = ::stat(file.m_strPath.c_str(), &info) == 0;
        if (staged.m_bHadOld && !ReadWholeFile(file.m_strPath, staged.m_strOld, SIZE_MAX))
            staged.m_bHadOld = false; // not a readable file: nothing of it can be kept anyway
        if (!WriteTextFileAtomic(staged.m_strStaged, file.m_strContent))
        {
            RemoveStaged(vecStaged, 0);
            return false;
        }
        if (staged.m_bHadOld)
            ::chmod(staged.m_strStaged.c_str(), info.st_mode & 07777); // keep what the user set
        vecStaged.push_back(std::move(staged));
    }
    for (size_t i = 0; i < vecStaged.size(); ++i)
    {
        if (::rename(vecStaged[i].m_strStaged.c_str(), vecStaged[i].m_strTarget.c_str()) == 0)
            continue;
        // Put back what was already replaced, newest first.
        for (size_t j = i; j-- > 0;)
        {
            if (vecStaged[j].m_bHadOld)
                WriteTextFileAtomic(vecStaged[j].m_strTarget, vecStaged[j].m_strOld);
            else
                ::unlink(vecStaged[j].m_strTarget.c_str());
        }
        RemoveStaged(vecStaged, i);
        return false;
    }
    for (const StagedFile& staged : vecStaged)
        SyncFolderOf(staged.m_strTarget);
    return true;
}
