#include "device/ProfileCommands.h"

#include "device/DeviceLink.h"
#include "model/Profile.h"
#include "storage/DataFiles.h"

ProfileCommandOutcome ApplyProfiles(CDeviceLink& link, const CDataFiles& files,
                                    ProfileStore& profiles, SettingsStore& settings)
{
    ProfileCommandOutcome outcome;
    outcome.m_bSent = link.FlushPendingChanges();
    const int nActive = settings.GetActiveSlot();
    outcome.m_bSent = link.SetDeviceProfile(nActive) && outcome.m_bSent;
    settings.SetActiveSlot(nActive);
    outcome.m_bSaved = files.SaveSettings(settings);
    outcome.m_bSaved = files.SaveAllProfiles(profiles, settings) && outcome.m_bSaved;
    outcome.m_bSaved = link.SaveMacroLibraryIfChanged() && outcome.m_bSaved;
    return outcome;
}

namespace
{
// The keyboard keeps profiles 0..2 only; slots 3 and 4 live in the program's files alone.
bool IsDeviceSlot(int nSlot)
{
    return nSlot >= 0 && nSlot < DeviceProfileCount;
}

// Factory state of one slot, saved and then, for a slot the keyboard has, sent (lighting before
// the key table).
void ResetSlot(int nSlot, CDeviceLink& link, const CDataFiles& files, ProfileStore& profiles,
               const SettingsStore& settings, ProfileCommandOutcome& outcome)
{
    profiles[nSlot].SetFactoryDefaults(nSlot);
    outcome.m_bSaved = files.SaveProfile(nSlot, profiles, settings) && outcome.m_bSaved;
    if (!IsDeviceSlot(nSlot))
        return;
    outcome.m_bSent = link.WriteLighting(nSlot) && outcome.m_bSent;
    outcome.m_bSent = link.WriteKeyTable(nSlot) && outcome.m_bSent;
}
} // namespace

ProfileCommandOutcome ResetActiveSlot(CDeviceLink& link, const CDataFiles& files,
                                      ProfileStore& profiles, SettingsStore& settings)
{
    ProfileCommandOutcome outcome;
    const int nSlot = settings.GetActiveSlot();
    ResetSlot(nSlot, link, files, profiles, settings, outcome);
    // A slot the keyboard does not have (3 or 4, from a hand-edited settings file) is reset in
    // the program only: the keyboard is told nothing about it.
    if (IsDeviceSlot(nSlot))
        outcome.m_bSent = link.SetDeviceProfile(nSlot) && outcome.m_bSent;
    link.ClearPending(nSlot);
    return outcome;
}

ProfileCommandOutcome ResetAllSlots(CDeviceLink& link, const CDataFiles& files,
                                    ProfileStore& profiles, SettingsStore& settings)
{
    ProfileCommandOutcome outcome;
    settings.SetDefaults(files.AppDirectory());
    outcome.m_bSaved = files.SaveSettings(settings);
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
        ResetSlot(nSlot, link, files, profiles, settings, outcome);
    outcome.m_bSent = link.SetDeviceProfile(0) && outcome.m_bSent;
    link.ClearAllPending();
    return outcome;
}
