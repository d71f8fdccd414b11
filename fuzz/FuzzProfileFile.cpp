// The profile file reader: what it accepts is written and read back to the same record.

#include "FuzzSupport.h"
#include "storage/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CTextFileLines lines;
    SetLines(lines, pData, nSize);
    ProfileRecord record;
    record.SetFactoryDefaults(0);
    if (!ParseProfileLines(lines, record))
        return 0;
    // Colour and brightness are read as numbers wherever the record is shown or sent.
    (void)record.GetColour();
    (void)record.GetBrightness();

    CTextFileLines written;
    written.SetText(FormatProfileFile(record));
    ProfileRecord again;
    again.SetFactoryDefaults(4);
    Require(ParseProfileLines(written, again), "written profile is not read back");
    Require(again == record, "profile read back differs");
    return 0;
}
