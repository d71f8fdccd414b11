#pragma once
// The backup archive: several named text files in one text file, each with its length and
// CRC-32, so that any damage (a cut-off copy, a changed byte) is found before anything is
// restored from it.
//
//   corvane-backup 1
//   member config.ini 205 5F1C09A2
//   <205 bytes>
//   member ...
//   end 7
//
// Each member's content is followed by one line feed; "end" gives the number of members and
// nothing may follow its line. The CRC is the common CRC-32 (as zlib's crc32) of the content,
// written as eight upper-case hexadecimal digits.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ArchiveMember
{
    std::string m_strName; // no blanks, no line ends
    std::string m_strContent;
};

constexpr int BackupArchiveVersion = 1;

std::string FormatBackupArchive(const std::vector<ArchiveMember>& vecMembers);

// The members of an archive, in order. False with the reason in strProblem when the text is not
// an intact archive of this version.
bool ParseBackupArchive(std::string_view strData, std::vector<ArchiveMember>& vecMembers, std::string& strProblem);

uint32_t Crc32(std::string_view strData);
