#include "storage/TextFile.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadTextLines(const std::string& strPath, std::vector<std::string>& vecLines)
{
    vecLines.clear();
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::string strData;
    strData.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        strData.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);

    size_t nStart = 0;
    while (nStart < strData.size()) {
        size_t nEnd = strData.find('\n', nStart);
        const bool bLast = nEnd == std::string::npos;
        if (bLast)
            nEnd = strData.size();
        size_t nLineEnd = nEnd;
        if (!bLast && nLineEnd > nStart && strData[nLineEnd - 1] == '\r')
            --nLineEnd;
        vecLines.emplace_back(strData, nStart, nLineEnd - nStart);
        nStart = nEnd + 1;
    }
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

namespace {

constexpr std::array<int8_t, 256> MakeHexTable()
{
    std::array<int8_t, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int i = 0; i < 10; ++i)
        t['0' + i] = static_cast<int8_t>(i);
    for (int i = 0; i < 6; ++i) {
        t['A' + i] = static_cast<int8_t>(10 + i);
        t['a' + i] = static_cast<int8_t>(10 + i);
    }
    return t;
}

constexpr std::array<int8_t, 256> HexTable = MakeHexTable();

inline int HexDigit(char c)
{
    return HexTable[static_cast<unsigned char>(c)];
}

} // namespace

unsigned ParseHexGroup(const std::string& strText, size_t nPos, size_t nMaxDigits)
{
    unsigned nValue = 0;
    for (size_t i = 0; i < nMaxDigits && nPos + i < strText.size(); ++i) {
        const int nDigit = HexDigit(strText[nPos + i]);
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
