#include "storage/TextFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool CTextFileLines::Read(const std::string& strPath, ESplit eSplit)
{
    m_pData.reset();
    m_text = {};
    m_vecLines.clear();
    // Non-blocking, so a FIFO named as a data file cannot hang the program; a regular file
    // reads as usual.
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return false;
    }
    // Read to the real end even if the file grows or shrinks while it is read.
    size_t nCapacity = static_cast<size_t>(st.st_size) + 1;
    auto pData = std::make_unique_for_overwrite<char[]>(nCapacity);
    size_t nDone = 0;
    for (;;)
    {
        if (nDone == nCapacity)
        {
            auto pLarger = std::make_unique_for_overwrite<char[]>(nCapacity * 2);
            std::copy(pData.get(), pData.get() + nDone, pLarger.get());
            pData = std::move(pLarger);
            nCapacity *= 2;
        }
        const ssize_t n = ::read(fd, pData.get() + nDone, nCapacity - nDone);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        nDone += static_cast<size_t>(n);
    }
    ::close(fd);
    m_pData = std::move(pData);
    m_text = std::string_view(m_pData.get(), nDone);
    if (eSplit == ESplit::Lines)
        SplitLines(m_text);
    return true;
}

void CTextFileLines::SetText(std::string strData)
{
    m_pData = std::make_unique_for_overwrite<char[]>(strData.size() + 1);
    std::copy(strData.begin(), strData.end(), m_pData.get());
    m_text = std::string_view(m_pData.get(), strData.size());
    SplitLines(m_text);
}

void CTextFileLines::SplitLines(std::string_view data)
{
    m_vecLines.clear();
    size_t nStart = 0;
    while (nStart < data.size())
    {
        size_t nEnd = data.find('\n', nStart);
        const bool bLast = nEnd == std::string_view::npos;
        if (bLast)
            nEnd = data.size();
        size_t nLineEnd = nEnd;
        if (!bLast && nLineEnd > nStart && data[nLineEnd - 1] == '\r')
            --nLineEnd;
        m_vecLines.push_back(data.substr(nStart, nLineEnd - nStart));
        nStart = nEnd + 1;
    }
}

bool ReadTextLines(const std::string& strPath, std::vector<std::string>& vecLines)
{
    vecLines.clear();
    CTextFileLines lines;
    if (!lines.Read(strPath))
        return false;
    vecLines.reserve(lines.Count());
    for (size_t i = 0; i < lines.Count(); ++i)
        vecLines.emplace_back(lines.Line(i));
    return true;
}

unsigned ParseHexGroup(std::string_view strText, size_t nPos, size_t nMaxDigits)
{
    unsigned nValue = 0;
    for (size_t i = 0; i < nMaxDigits && nPos + i < strText.size(); ++i)
    {
        const int nDigit = HexDigitValue(strText[nPos + i]);
        if (nDigit < 0)
            break;
        nValue = nValue * 16 + static_cast<unsigned>(nDigit);
    }
    return nValue;
}

void AppendHexByte(std::string& strOut, unsigned char nByte)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    strOut.push_back(digits[nByte >> 4]);
    strOut.push_back(digits[nByte & 0x0F]);
}
