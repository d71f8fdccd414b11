#include "storage/TextFile.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool CTextFileLines::Read(const std::string& strPath)
{
    m_strData.clear();
    m_vecLines.clear();
    // Non-blocking, so a FIFO named as a data file cannot hang the program; a regular file
    // reads as usual.
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Read to the real end even if the file grows or shrinks while it is read.
    m_strData.resize(static_cast<size_t>(st.st_size) + 1);
    size_t nDone = 0;
    for (;;) {
        if (nDone == m_strData.size())
            m_strData.resize(m_strData.size() * 2);
        const ssize_t n = ::read(fd, m_strData.data() + nDone, m_strData.size() - nDone);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            m_strData.clear();
            return false;
        }
        if (n == 0)
            break;
        nDone += static_cast<size_t>(n);
    }
    ::close(fd);
    m_strData.resize(nDone);
    SplitLines();
    return true;
}

void CTextFileLines::SetText(std::string strData)
{
    m_strData = std::move(strData);
    SplitLines();
}

void CTextFileLines::SplitLines()
{
    m_vecLines.clear();
    const std::string_view data(m_strData);
    size_t nStart = 0;
    while (nStart < data.size()) {
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
    for (size_t i = 0; i < nMaxDigits && nPos + i < strText.size(); ++i) {
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
