// The settings file reader: nothing it accepts breaks it, and what it accepts is written and read
// back to the same store; the active slot and the slot paths it leaves are always usable.

#include "FuzzSupport.h"
#include "storage/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CTextFileLines lines;
    SetLines(lines, pData, nSize);
    SettingsStore settings;
    settings.SetDefaults("/app/");
    if (!ParseSettingsLines(lines, settings))
        return 0;
    const int nSlot = settings.GetActiveSlot();
    Require(nSlot >= 0 && nSlot < ProfileSlotCount, "active slot outside the store");

    CTextFileLines written;
    written.SetText(FormatSettingsFile(settings));
    SettingsStore again;
    again.SetDefaults("/elsewhere/");
    Require(ParseSettingsLines(written, again), "written settings are not read back");
    Require(again == settings, "settings read back differ");

    RepairSlotPaths(settings, "/app/");
    for (int n = 0; n < ProfileSlotCount; ++n)
        Require(IsProfileFilePath(settings.GetSlotUrl(n)), "a repaired slot path is no profile file");
    return 0;
}
