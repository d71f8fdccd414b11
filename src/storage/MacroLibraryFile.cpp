#include "storage/MacroLibraryFile.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <vector>

#include "model/Profile.h"
#include "storage/TextFile.h"

namespace {

constexpr const char* LibraryHeader = "[MacroLibrary]";
constexpr size_t ActionDigits = MacroActionSlots * 8;

// Walks the lines after the header; every line taken must carry a non-empty value after its
// first "=".
class CLineReader
{
public:
    explicit CLineReader(const CTextFileLines& lines) : m_lines(lines) {}

    // The value of the next line; false on a missing or malformed line.
    bool NextValue(std::string_view& value)
    {
        if (m_nLine >= m_lines.Count())
            return false;
        const std::string_view line = m_lines.Line(m_nLine++);
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

    size_t LinesLeft() const { return m_lines.Count() - m_nLine; }

private:
    const CTextFileLines& m_lines;
    size_t m_nLine = 1;
};

} // namespace

void AppendActionDigits(std::string& strOut, const MacroKey& key)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const size_t nStart = strOut.size();
    strOut.resize(nStart + ActionDigits);
    char* pOut = strOut.data() + nStart;
    for (const MacroAction& action : key.m_actions)
        for (uint8_t nByte : action.m_bytes) {
            *pOut++ = digits[nByte >> 4];
            *pOut++ = digits[nByte & 0x0F];
        }
}

void AppendMacroKeyBody(std::string& strOut, const MacroKey& key, std::string_view strIndent,
                        std::string_view strLoopPrefix, std::string_view strActionIndent)
{
    const auto line = [&](std::string_view strName, unsigned nValue) {
        strOut.append(strIndent).append(strName).append("=").append(std::to_string(nValue)).append("\r\n");
    };
    line(std::string(strLoopPrefix) + "LoopEnable", key.LoopEnable);
    line(std::string(strLoopPrefix) + "LoopNum", key.LoopNum);
    line("MacroActionNum", key.m_nActionCount);
    line("MacroCommandActionNum", key.MacroCommandActionNum);
    strOut.append(strActionIndent).append("AllAction=");
    AppendActionDigits(strOut, key);
    strOut += "\r\n";
}

namespace {

// Slow, lenient conversion of slots nFirst..nFirst+nCount-1: each two-digit group converts up
// to its first non-digit.
void ParseActionSlots(std::string_view strLine, size_t nStart, unsigned nFirst, unsigned nCount,
                      MacroKey& key)
{
    for (unsigned i = nFirst; i < nFirst + nCount; ++i)
        for (unsigned b = 0; b < 4; ++b)
            key.m_actions[i].m_bytes[b] =
                static_cast<uint8_t>(ParseHexGroup(strLine, nStart + i * 8 + b * 2, 2));
}

} // namespace

bool ParseActionDigits(std::string_view strLine, size_t nStart, MacroKey& key)
{
    if (nStart > strLine.size() || strLine.size() - nStart != ActionDigits)
        return false;
#if defined(__SSE2__)
    // A macro library holds about a thousand of these lines; decoding sixteen digits (two actions)
    // at a time keeps a load close to the cost of reading the file.
    static_assert(sizeof(key.m_actions) == MacroActionSlots * 4, "actions are 4 packed bytes");
    auto* pOut = reinterpret_cast<unsigned char*>(key.m_actions.data());
    const char* pDigits = strLine.data() + nStart;
    for (unsigned nBlock = 0; nBlock < MacroActionSlots / 2; ++nBlock) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pDigits + nBlock * 16));
        // Signed byte compares: anything at or above 0x80 is negative and matches neither range.
        const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8('0' - 1)),
                                            _mm_cmplt_epi8(x, _mm_set1_epi8('9' + 1)));
        const __m128i lower = _mm_or_si128(x, _mm_set1_epi8(0x20));
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)),
                                             _mm_cmplt_epi8(lower, _mm_set1_epi8('f' + 1)));
        if (_mm_movemask_epi8(_mm_or_si128(digit, letter)) != 0xFFFF) {
            ParseActionSlots(strLine, nStart, nBlock * 2, 2, key);
            continue;
        }
        const __m128i value = _mm_add_epi8(_mm_and_si128(x, _mm_set1_epi8(0x0F)),
                                           _mm_and_si128(letter, _mm_set1_epi8(9)));
        // Each 16-bit lane holds one byte's two digits, the high digit first in memory.
        const __m128i high = _mm_slli_epi16(_mm_and_si128(value, _mm_set1_epi16(0x00FF)), 4);
        const __m128i low = _mm_srli_epi16(value, 8);
        const __m128i bytes = _mm_packus_epi16(_mm_or_si128(high, low), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pOut + nBlock * 8), bytes);
    }
#else
    ParseActionSlots(strLine, nStart, 0, MacroActionSlots, key);
#endif
    return true;
}

bool ReadMacroLibraryFile(const std::string& strPath, MacroLibrary& library)
{
    library.Clear();
    CTextFileLines lines;
    return lines.Read(strPath) && ParseMacroLibraryLines(lines, library);
}

bool ParseMacroLibraryLines(const CTextFileLines& lines, MacroLibrary& library)
{
    library.Clear();
    if (lines.Count() == 0 || lines.Line(0) != LibraryHeader)
        return false;
    CLineReader reader(lines);
    int nSets = 0;
    if (!reader.NextNumber(nSets))
        return false;
    for (int s = 0; s < nSets; ++s) {
        std::string strName;
        if (!reader.NextText(strName))
            return false;
        MacroSet& set = library.AppendSet(strName);
        int nKeys = 0;
        if (!reader.NextNumber(nKeys))
            return false;
        // Six lines a key: never reserve more keys than the file can still hold.
        if (nKeys > 0)
            set.m_vecKeys.reserve(std::min<size_t>(static_cast<size_t>(nKeys), reader.LinesLeft() / 6));
        for (int k = 0; k < nKeys; ++k) {
            if (!reader.NextText(strName))
                return false;
            MacroKey& key = set.AppendKey(strName);
            unsigned nCount = 0;
            if (!reader.NextNumber(key.LoopEnable) || !reader.NextNumber(key.LoopNum) ||
                !reader.NextNumber(nCount) || !reader.NextNumber(key.MacroCommandActionNum))
                return false;
            key.SetActionCount(nCount);
            std::string_view actions;
            if (!reader.NextValue(actions) || !ParseActionDigits(actions, 0, key))
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
    for (size_t s = 0; s < library.m_vecSets.size(); ++s) {
        const MacroSet& set = library.m_vecSets[s];
        strOut += "\tMacroSet" + std::to_string(s) + "Name=" + set.m_strName + "\r\n";
        strOut += "\t\tMacroKeyNum=" + std::to_string(set.m_vecKeys.size()) + "\r\n";
        for (size_t k = 0; k < set.m_vecKeys.size(); ++k) {
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
