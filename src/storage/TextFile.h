#pragma once
// Line-oriented reading and crash-safe writing of the program's text data files.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/AtomicWrite.h"

// A whole file held in memory and cut into lines without copying them. Lines end at LF; a CR
// just before the LF is dropped, so CR LF and LF files read alike; a last line without a line
// end still counts.
class CTextFileLines
{
public:
    CTextFileLines() = default;
    CTextFileLines(const CTextFileLines&) = delete; // the lines point into this object's text
    CTextFileLines& operator=(const CTextFileLines&) = delete;

    // Whether Read cuts the text into lines; a reader that walks the text itself (Text) saves
    // the pass over it.
    enum class ESplit
    {
        Lines,
        None
    };
    // False when the file cannot be opened or read (a folder is not a file).
    bool Read(const std::string& strPath, ESplit eSplit = ESplit::Lines);
    // Takes the text as if it had been read from a file.
    void SetText(std::string strData);
    size_t Count() const { return m_vecLines.size(); }
    std::string_view Line(size_t nIndex) const { return m_vecLines[nIndex]; }
    std::string_view Text() const { return m_text; }

private:
    void SplitLines(std::string_view data);

    // Read into memory that is not cleared first: a macro library is 1.75 MB, and clearing it
    // cost a tenth of its load.
    std::unique_ptr<char[]> m_pData;
    std::string_view m_text;
    std::vector<std::string_view> m_vecLines;
};

// Reads a whole file as lines. A line ends at LF; a CR just before the LF is dropped, so files
// with CR LF or LF line ends read alike. A last line without a line end still counts.
// False when the file cannot be opened or read.
bool ReadTextLines(const std::string& strPath, std::vector<std::string>& vecLines);

// Hexadecimal value of up to nMaxDigits characters starting at nPos. Conversion stops at the first
// character that is not a hexadecimal digit; a group that starts with one (or lies beyond the
// text) gives 0.
unsigned ParseHexGroup(std::string_view strText, size_t nPos, size_t nMaxDigits);
namespace TextFileDetail
{
constexpr std::array<int8_t, 256> MakeHexTable()
{
    std::array<int8_t, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int i = 0; i < 10; ++i)
        t['0' + i] = static_cast<int8_t>(i);
    for (int i = 0; i < 6; ++i)
    {
        t['A' + i] = static_cast<int8_t>(10 + i);
        t['a' + i] = static_cast<int8_t>(10 + i);
    }
    return t;
}
inline constexpr std::array<int8_t, 256> HexTable = MakeHexTable();
} // namespace TextFileDetail

// Value of one hexadecimal digit, -1 for any other character.
inline int HexDigitValue(char c)
{
    return TextFileDetail::HexTable[static_cast<unsigned char>(c)];
}

// Appends a byte as two upper-case hexadecimal digits.
void AppendHexByte(std::string& strOut, unsigned char nByte);
