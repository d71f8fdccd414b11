#include "storage/MacroLibraryFile.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <vector>

#include "model/Profile.h"
#include "storage/TextFile.h"

namespace
{

constexpr const char* LibraryHeader = "[MacroLibrary]";
constexpr size_t ActionDigits = MacroActionSlots * 8;

bool DecodeCleanDigits(const char* pDigits, MacroKey& key);

// Walks the text line by line, as CTextFileLines cuts it: a line ends at LF, and a CR just
// before the LF is dropped. Every line taken after the header must carry a non-empty value after
// its first "=".
class CLineReader
{
public:
    explicit CLineReader(std::string_view text) : m_text(text) {}

    // The next line; false at the end of the text.
    bool NextLine(std::string_view& line)
    {
        if (m_nPos >= m_text.size())
            return false;
        size_t nEnd = m_text.find('\n', m_nPos);
        const bool bLast = nEnd == std::string_view::npos;
        if (bLast)
            nEnd = m_text.size();
        line = m_text.substr(m_nPos, nEnd - m_nPos);
        if (!bLast && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_nPos = nEnd + 1;
        return true;
    }
    // The value of the next line; false on a missing or malformed line.
    bool NextValue(std::string_view& value)
    {
        std::string_view line;
        if (!NextLine(line))
            return false;
        const size_t nEq = line.find('=');
        if (nEq == std::string_view::npos || nEq + 1 == line.size())
            return false;
        value = line.substr(nEq + 1);
        return true;
    }
    bool NextText(std::string& strValue)
    {
        std::string_view value;
        if (!NextValue(value))
            return false;
        strValue.assign(value);
        return true;
    }
    // The number, brought into the range of the value it is read into.
    template <typename T>
    bool NextNumber(T& nNumber)
    {
        std::string_view value;
        if (!NextValue(value))
            return false;
        nNumber = ParseDecimalAs<T>(value);
        return true;
    }
    // The action line into the key's slots. Its digits are decoded straight from the text,
    // without looking for the line's end first (a third of the file's bytes are digits read
    // once instead of twice); a line whose value is not 1600 clean digits followed by its end
    // takes the general way.
    bool NextActions(MacroKey& key)
    {
        const size_t nLine = m_nPos;
        const size_t nEq = m_text.find_first_of("=\n", m_nPos);
        if (nEq != std::string_view::npos && m_text[nEq] == '=')
        {
            const size_t nEnd = nEq + 1 + ActionDigits;
            if (nEnd <= m_text.size() && LineEndsAt(nEnd) && DecodeCleanDigits(m_text.data() + nEq + 1, key))
            {
                m_nPos = nEnd + (nEnd < m_text.size() && m_text[nEnd] == '\r' ? 2 : 1);
                return true;
            }
        }
        m_nPos = nLine;
        std::string_view actions;
        return NextValue(actions) && ParseActionDigits(actions, 0, key);
    }

    size_t BytesLeft() const { return m_nPos < m_text.size() ? m_text.size() - m_nPos : 0; }

private:
    bool LineEndsAt(size_t nPos) const
    {
        return nPos == m_text.size() || m_text[nPos] == '\n' ||
               (m_text[nPos] == '\r' && nPos + 1 < m_text.size() && m_text[nPos + 1] == '\n');
    }

    std::string_view m_text;
    size_t m_nPos = 0;
};

} // namespace

void AppendActionDigits(std::string& strOut, const MacroKey& key)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const size_t nStart = strOut.size();
    strOut.resize(nStart + ActionDigits);
    char* pOut = strOut.data() + nStart;
    for (const MacroAction& action : key.m_actions)
        for (uint8_t nByte : action.m_bytes)
        {
            *pOut++ = digits[nByte >> 4];
            *pOut++ = digits[nByte & 0x0F];
        }
}

void AppendMacroKeyBody(std::string& strOut, const MacroKey& key, std::string_view strIndent,
                        std::string_view strLoopPrefix, std::string_view strActionIndent)
{
    const auto line = [&](std::string_view strName, unsigned nValue)
    { strOut.append(strIndent).append(strName).append("=").append(std::to_string(nValue)).append("\r\n"); };
    line(std::string(strLoopPrefix) + "LoopEnable", key.LoopEnable);
    line(std::string(strLoopPrefix) + "LoopNum", key.LoopNum);
    line("MacroActionNum", key.m_nActionCount);
    line("MacroCommandActionNum", key.MacroCommandActionNum);
    strOut.append(strActionIndent).append("AllAction=");
    AppendActionDigits(strOut, key);
    strOut += "\r\n";
}

namespace
{

// Slow, lenient conversion of every slot: each two-digit group converts up to its first
// non-digit.
void ParseActionSlots(std::string_view strLine, size_t nStart, MacroKey& key)
{
    for (unsigned i = 0; i < MacroActionSlots; ++i)
        for (unsigned b = 0; b < 4; ++b)
            key.m_actions[i].m_bytes[b] = static_cast<uint8_t>(ParseHexGroup(strLine, nStart + i * 8 + b * 2, 2));
}

// Decodes the 1600 characters at pDigits into the key's slots when every one of them is a
// hexadecimal digit; false otherwise (the slots are then partly written).
bool DecodeCleanDigits(const char* pDigits, MacroKey& key)
{
#if defined(__SSE2__)
    // A macro library holds about a thousand of these lines; decoding thirty-two digits (four
    // actions) at a time keeps a load close to the cost of reading the file.
    static_assert(sizeof(key.m_actions) == MacroActionSlots * 4, "actions are 4 packed bytes");
    static_assert(MacroActionSlots % 4 == 0, "whole blocks of four actions");
    auto* pOut = reinterpret_cast<unsigned char*>(key.m_actions.data());
    // The value of each hexadecimal digit, and a mask bit for each character that is one.
    const auto decode = [](__m128i x, int& nMask)
    {
        // A range test in one signed compare: shifted so that the range starts at -128.
        const auto inRange = [](__m128i v, char cFirst, int nCount)
        {
            return _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - cFirst))),
                                  _mm_set1_epi8(static_cast<char>(-128 + nCount)));
        };
        const __m128i lower = _mm_or_si128(x, _mm_set1_epi8(0x20)); // digits stay as they are
        const __m128i letter = inRange(lower, 'a', 6);
        nMask = _mm_movemask_epi8(_mm_or_si128(inRange(x, '0', 10), letter));
        // 'a' is 0x31 above '0' and stands for 10.
        const __m128i value =
            _mm_sub_epi8(_mm_sub_epi8(lower, _mm_set1_epi8('0')), _mm_and_si128(letter, _mm_set1_epi8('a' - '0' - 10)));
        // Each 16-bit lane holds one byte's two digits, the high digit first in memory.
        return _mm_and_si128(_mm_or_si128(_mm_slli_epi16(value, 4), _mm_srli_epi16(value, 8)), _mm_set1_epi16(0x00FF));
    };
    for (unsigned nBlock = 0; nBlock < MacroActionSlots / 4; ++nBlock)
    {
        const char* pBlock = pDigits + nBlock * 32;
        int nMaskLow = 0, nMaskHigh = 0;
        const __m128i low = decode(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pBlock)), nMaskLow);
        const __m128i high = decode(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pBlock + 16)), nMaskHigh);
        if ((nMaskLow & nMaskHigh) != 0xFFFF)
            return false;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + nBlock * 16), _mm_packus_epi16(low, high));
    }
    return true;
#else
    const std::string_view digits(pDigits, ActionDigits);
    if (!std::all_of(digits.begin(), digits.end(),
                     [](char c) { return TextFileDetail::HexTable[static_cast<uint8_t>(c)] >= 0; }))
        return false;
    ParseActionSlots(digits, 0, key);
    return true;
#endif
}

} // namespace

bool ParseActionDigits(std::string_view strLine, size_t nStart, MacroKey& key)
{
    if (nStart > strLine.size() || strLine.size() - nStart != ActionDigits)
        return false;
    if (!DecodeCleanDigits(strLine.data() + nStart, key))
        ParseActionSlots(strLine, nStart, key);
    return true;
}

bool ReadMacroLibraryFile(const std::string& strPath, MacroLibrary& library)
{
    library.Clear();
    CTextFileLines lines;
    return lines.Read(strPath, CTextFileLines::ESplit::None) && ParseMacroLibraryLines(lines, library);
}

bool ParseMacroLibraryLines(const CTextFileLines& lines, MacroLibrary& library)
{
    library.Clear();
    CLineReader reader(lines.Text());
    std::string_view header;
    if (!reader.NextLine(header) || header != LibraryHeader)
        return false;
    int nSets = 0;
    if (!reader.NextNumber(nSets))
        return false;
    for (int s = 0; s < nSets; ++s)
    {
        std::string strName;
        if (!reader.NextText(strName))
            return false;
        MacroSet& set = library.AppendSet(strName);
        int nKeys = 0;
        if (!reader.NextNumber(nKeys))
            return false;
        // A key takes more than its 1600 digits: never reserve more keys than the file can
        // still hold.
        if (nKeys > 0)
            set.m_vecKeys.reserve(std::min<size_t>(static_cast<size_t>(nKeys), reader.BytesLeft() / ActionDigits));
        for (int k = 0; k < nKeys; ++k)
        {
            if (!reader.NextText(strName))
                return false;
            MacroKey& key = set.AppendKey(strName);
            unsigned nCount = 0;
            if (!reader.NextNumber(key.LoopEnable) || !reader.NextNumber(key.LoopNum) || !reader.NextNumber(nCount) ||
                !reader.NextNumber(key.MacroCommandActionNum))
                return false;
            key.SetActionCount(nCount);
            if (!reader.NextActions(key))
                return false;
        }
    }
    return true;
}

std::string FormatMacroLibraryFile(const MacroLibrary& library)
{
    size_t nKeys = 0;
    for (const MacroSet& set : library.m_vecSets)
        nKeys += set.m_vecKeys.size();
    std::string strOut;
    strOut.reserve(64 + library.m_vecSets.size() * 64 + nKeys * (ActionDigits + 256));

    strOut += LibraryHeader;
    strOut += "\r\nMacroSetNum=" + std::to_string(library.m_vecSets.size()) + "\r\n";
    for (size_t s = 0; s < library.m_vecSets.size(); ++s)
    {
        const MacroSet& set = library.m_vecSets[s];
        strOut += "\tMacroSet" + std::to_string(s) + "Name=" + set.m_strName + "\r\n";
        strOut += "\t\tMacroKeyNum=" + std::to_string(set.m_vecKeys.size()) + "\r\n";
        for (size_t k = 0; k < set.m_vecKeys.size(); ++k)
        {
            const MacroKey& key = set.m_vecKeys[k];
            const std::string strKey = "MacroKey" + std::to_string(k);
            strOut += "\t\t" + strKey + "Name=" + key.m_strName + "\r\n";
            AppendMacroKeyBody(strOut, key, "\t\t\t", strKey, "\t\t\t");
        }
    }
    return strOut;
}

bool WriteMacroLibraryFile(const std::string& strPath, const MacroLibrary& library)
{
    return WriteTextFileAtomic(strPath, FormatMacroLibraryFile(library));
}

bool LoadMacroLibraryFile(const std::string& strPath, MacroLibrary& library)
{
    if (ReadMacroLibraryFile(strPath, library))
        return true;
    library.SetDefault();
    if (KeepDamagedCopy(strPath))
        WriteMacroLibraryFile(strPath, library);
    return false;
}
