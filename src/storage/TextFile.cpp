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
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
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
    return true;
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

namespace {

bool WriteAll(int fd, const char* pData, size_t nLength)
{
    while (nLength > 0) {
        const ssize_t n = ::write(fd, pData, nLength);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        pData += n;
        nLength -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool WriteTextFileAtomic(const std::string& strPath, const std::string& strContent)
{
    if (strPath.empty() || strPath.back() == '/')
        return false;
    std::string strTemp = strPath + ".tmp-XXXXXX";
    const int fd = ::mkostemp(strTemp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced; a new file gets the usual 0644 less umask.
    struct stat st{};
    if (::stat(strPath.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    else {
        const mode_t nMask = ::umask(0);
        ::umask(nMask);
        ::fchmod(fd, 0666 & ~nMask);
    }
    bool bOk = WriteAll(fd, strContent.data(), strContent.size());
    bOk = (::fsync(fd) == 0) && bOk;
    bOk = (::close(fd) == 0) && bOk;
    if (bOk)
        bOk = ::rename(strTemp.c_str(), strPath.c_str()) == 0;
    if (!bOk)
        ::unlink(strTemp.c_str());
    return bOk;
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
