#include "ctl/BackupArchive.h"

#include <array>
#include <cstdio>

namespace
{
constexpr std::string_view HeaderWord = "corvane-backup ";

constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n)
    {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> CrcTable = MakeCrcTable();

std::string HexCrc(uint32_t nCrc)
{
    char szText[9];
    std::snprintf(szText, sizeof szText, "%08X", static_cast<unsigned>(nCrc));
    return szText;
}

// A decimal number of plain digits that fits in size_t; false otherwise.
bool ParseCount(std::string_view strText, size_t& nValue)
{
    if (strText.empty() || strText.size() > 18)
        return false;
    nValue = 0;
    for (char c : strText)
    {
        if (c < '0' || c > '9')
            return false;
        nValue = nValue * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

// Splits "a b c" at single blanks.
std::vector<std::string_view> Words(std::string_view strLine)
{
    std::vector<std::string_view> vecWords;
    size_t nStart = 0;
    for (;;)
    {
        const size_t nBlank = strLine.find(' ', nStart);
        vecWords.push_back(strLine.substr(nStart, nBlank - nStart));
        if (nBlank == std::string_view::npos)
            return vecWords;
        nStart = nBlank + 1;
    }
}
} // namespace

uint32_t Crc32(std::string_view strData)
{
    uint32_t c = 0xFFFFFFFFu;
    for (char ch : strData)
        c = CrcTable[(c ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string FormatBackupArchive(const std::vector<ArchiveMember>& vecMembers)
{
    std::string strOut = std::string(HeaderWord) + std::to_string(BackupArchiveVersion) + "\n";
    for (const ArchiveMember& member : vecMembers)
    {
        strOut += "member " + member.m_strName + " " + std::to_string(member.m_strContent.size()) + " " +
                  HexCrc(Crc32(member.m_strContent)) + "\n";
        strOut += member.m_strContent;
        strOut += "\n";
    }
    strOut += "end " + std::to_string(vecMembers.size()) + "\n";
    return strOut;
}

bool ParseBackupArchive(std::string_view strData, std::vector<ArchiveMember>& vecMembers, std::string& strProblem)
{
    vecMembers.clear();
    size_t nPos = 0;
    // The next line without its line feed; false when the text ends without one.
    auto nextLine = [&](std::string_view& strLine)
    {
        const size_t nEnd = strData.find('\n', nPos);
        if (nEnd == std::string_view::npos)
            return false;
        strLine = strData.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        return true;
    };
    auto fail = [&](std::string strWhy)
    {
        vecMembers.clear();
        strProblem = std::move(strWhy);
        return false;
    };

    std::string_view strLine;
    if (!nextLine(strLine) || strLine.substr(0, HeaderWord.size()) != HeaderWord)
        return fail("not a Corvane backup archive");
    size_t nVersion = 0;
    if (!ParseCount(strLine.substr(HeaderWord.size()), nVersion))
        return fail("not a Corvane backup archive");
    if (nVersion != BackupArchiveVersion)
        return fail("archive format " + std::to_string(nVersion) + " is not known to this version");

    for (;;)
    {
        if (!nextLine(strLine))
            return fail("the archive is cut off after " + std::to_string(vecMembers.size()) + " members");
        const std::vector<std::string_view> vecWords = Words(strLine);
        if (vecWords.size() == 2 && vecWords[0] == "end")
        {
            size_t nCount = 0;
            if (!ParseCount(vecWords[1], nCount) || nCount != vecMembers.size())
                return fail("the archive's member count does not match its members");
            if (nPos != strData.size())
                return fail("the archive has data after its end");
            return true;
        }
        size_t nLength = 0;
        if (vecWords.size() != 4 || vecWords[0] != "member" || vecWords[1].empty() ||
            !ParseCount(vecWords[2], nLength) || vecWords[3].size() != 8)
            return fail("the archive's member line " + std::to_string(vecMembers.size() + 1) + " is damaged");
        ArchiveMember member;
        member.m_strName = std::string(vecWords[1]);
        // The content and the line feed after it must both be there.
        if (nLength >= strData.size() - nPos || strData[nPos + nLength] != '\n')
            return fail("member " + member.m_strName + " is cut off or has the wrong length");
        member.m_strContent = std::string(strData.substr(nPos, nLength));
        nPos += nLength + 1;
        if (HexCrc(Crc32(member.m_strContent)) != vecWords[3])
            return fail("member " + member.m_strName + " is damaged (its CRC-32 does not match)");
        vecMembers.push_back(std::move(member));
    }
}
