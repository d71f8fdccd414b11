#include "storage/MacroKeyFile.h"

#include "model/Profile.h"
#include "storage/MacroLibraryFile.h"
#include "storage/TextFile.h"

namespace
{
constexpr const char* KeyHeader = "[MacroKey]";
}

std::string FormatMacroKeyFile(const MacroKey& key)
{
    std::string strOut = KeyHeader;
    strOut += "\r\n";
    // The single-key file sets its action line one tab deeper than the lines above it.
    AppendMacroKeyBody(strOut, key, "\t", "MacroKey", "\t\t");
    return strOut;
}

bool WriteMacroKeyFile(const std::string& strPath, const MacroKey& key)
{
    return WriteTextFileAtomic(strPath, FormatMacroKeyFile(key));
}

bool ReadMacroKeyFile(const std::string& strPath, MacroKey& key)
{
    CTextFileLines lines;
    return lines.Read(strPath) && ParseMacroKeyLines(lines, key);
}

bool ParseMacroKeyLines(const CTextFileLines& lines, MacroKey& key)
{
    if (lines.Count() < 6 || lines.Line(0) != KeyHeader)
        return false;
    std::string_view values[4];
    for (int i = 0; i < 4; ++i)
    {
        const std::string_view line = lines.Line(1 + static_cast<size_t>(i));
        const size_t nEq = line.find('=');
        if (nEq == std::string_view::npos || nEq + 1 == line.size())
            return false;
        values[i] = line.substr(nEq + 1);
    }
    const std::string_view actions = lines.Line(5);
    const size_t nEq = actions.find('=');
    if (nEq == std::string_view::npos)
        return false;
    MacroKey imported = key;
    if (!ParseActionDigits(actions, nEq + 1, imported))
        return false;
    // Each number saturates at the range of its field.
    imported.LoopEnable = ParseDecimalAs<unsigned>(values[0]);
    imported.LoopNum = ParseDecimalAs<uint8_t>(values[1]);
    imported.SetActionCount(ParseDecimalAs<unsigned>(values[2]));
    imported.MacroCommandActionNum = ParseDecimalAs<uint8_t>(values[3]);
    key = imported;
    return true;
}
