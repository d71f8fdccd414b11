// The macro key file reader (import): a file it refuses leaves the target as it was; one it
// accepts keeps the target's name, stays within the slots and is exported and imported back to
// the same key.

#include "FuzzSupport.h"
#include "storage/MacroKeyFile.h"

namespace
{
MacroKey Target()
{
    MacroKey key;
    key.m_strName = "Target";
    key.InsertAction(0, MacroAction::Key(0x41, false));
    key.InsertAction(1, MacroAction::Delay(100));
    key.InsertAction(2, MacroAction::Key(0x41, true));
    key.MacroCommandActionNum = 2;
    return key;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const MacroKey target = Target();
    CTextFileLines lines;
    SetLines(lines, pData, nSize);
    MacroKey key = target;
    if (!ParseMacroKeyLines(lines, key))
    {
        Require(key == target, "a refused import changed the target");
        return 0;
    }
    Require(key.m_strName == target.m_strName, "an import changed the name");
    Require(key.m_nActionCount <= MacroActionSlots, "action count beyond the slots");

    CTextFileLines written;
    written.SetText(FormatMacroKeyFile(key));
    MacroKey again = target;
    Require(ParseMacroKeyLines(written, again), "exported key is not imported back");
    Require(again == key, "key imported back differs");
    return 0;
}
