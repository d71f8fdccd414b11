// The macro library reader: what it accepts stays within the model's limits and is written and
// read back to the same library.

#include "FuzzSupport.h"
#include "storage/MacroLibraryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CTextFileLines lines;
    SetLines(lines, pData, nSize);
    MacroLibrary library;
    if (!ParseMacroLibraryLines(lines, library))
        return 0;
    for (const MacroSet& set : library.m_vecSets)
        for (const MacroKey& key : set.m_vecKeys)
            Require(key.m_nActionCount <= MacroActionSlots, "action count beyond the slots");

    CTextFileLines written;
    written.SetText(FormatMacroLibraryFile(library));
    MacroLibrary again;
    again.SetDefault();
    Require(ParseMacroLibraryLines(written, again), "written library is not read back");
    Require(again == library, "library read back differs");
    return 0;
}
