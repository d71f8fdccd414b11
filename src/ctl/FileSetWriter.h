#pragma once
// Replaces several files together: every new file is first written completely beside the one it
// replaces (crash-safe, synced to disk), and only when all of them are there are they renamed
// over the old ones. A failure before that leaves every old file untouched; a rename that fails
// half-way puts the files already replaced back as they were. So a restore never leaves a mix of
// old and new files behind unless the machine stops during the renames themselves.

#include <string>
#include <vector>

struct FileReplacement
{
    std::string m_strPath;
    std::string m_strContent;
};

// True when every file now holds its new content. Nothing is changed when it returns false,
// except in the rare case described above. A path given twice gets the later content.
bool ReplaceFilesTogether(const std::vector<FileReplacement>& vecFiles);

// The whole file, read as bytes; false when it cannot be read or is larger than nMaxBytes.
bool ReadWholeFile(const std::string& strPath, std::string& strContent, size_t nMaxBytes);
