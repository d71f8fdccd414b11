#include "device/ProfileCommands.h"

#include <string>

#include "device/DeviceLink.h"
#include "model/Profile.h"
#include "storage/DataFiles.h"

ProfileCommandOutcome ApplyProfiles(CDeviceLink& link, const CDataFiles& files, ProfileStore& profiles,
                                    SettingsStore& settings)
{
    ProfileCommandOutcome outcome;
    outcome.m_bConnected = link.HasCommandHandle();
    outcome.m_bSent = link.FlushPendingChanges();
    const int nActive = settings.GetActiveSlot();
    outcome.m_bSent = link.SendActiveProfile(nActive) && outcome.m_bSent;
    outcome.m_strFailedWrite = link.LastFailedWrite();
    settings.SetActiveSlot(nActive);
    outcome.m_bSaved = files.SaveSettings(settings);
    outcome.m_bSaved = files.SaveAllProfiles(profiles, settings) && outcome.m_bSaved;
    outcome.m_bSaved = link.SaveMacroLibraryIfChanged() && outcome.m_bSaved;
    // The keyboard has no profiles 3 and 4: their edits are done once they are in the files.
    if (outcome.m_bSaved)
        for (int nSlot = DeviceProfileCount; nSlot < ProfileSlotCount; ++nSlot)
            link.ClearPending(nSlot);
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
    link.ClearPending(nSlot);
    if (!IsDeviceSlot(nSlot))
        return;
    // What the keyboard does not take now waits for it, so a reset made without the keyboard
    // still reaches it.
    PendingChanges unsent;
    unsent.LightingPending = !link.WriteLighting(nSlot);
    unsent.KeyTablePending = !link.WriteKeyTable(nSlot);
    if (unsent.Any())
    {
        outcome.m_bSent = false;
        if (outcome.m_strFailedWrite.empty())
            outcome.m_strFailedWrite = "the factory settings of profile " + std::to_string(nSlot + 1);
        link.KeepUnsent(nSlot, unsent);
    }
}
} // namespace

ProfileCommandOutcome ResetActiveSlot(CDeviceLink& link, const CDataFiles& files, ProfileStore& profiles,
                                      SettingsStore& settings)
{
    ProfileCommandOutcome outcome;
    outcome.m_bConnected = link.HasCommandHandle();
    const int nSlot = settings.GetActiveSlot();
    ResetSlot(nSlot, link, files, profiles, settings, outcome);
    // A slot the keyboard does not have (3 or 4, from a hand-edited settings file) is reset in
    // the program only: the keyboard is told nothing about it.
    if (IsDeviceSlot(nSlot))
        outcome.m_bSent = link.SendActiveProfile(nSlot) && outcome.m_bSent;
    return outcome;
}

ProfileCommandOutcome ResetAllSlots(CDeviceLink& link, const CDataFiles& files, ProfileStore& profiles,
                                    SettingsStore& settings)
{
    ProfileCommandOutcome outcome;
    outcome.m_bConnected = link.HasCommandHandle();
    settings.SetDefaults(files.AppDirectory());
    outcome.m_bSaved = files.SaveSettings(settings);
    link.ClearAllPending();
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
        ResetSlot(nSlot, link, files, profiles, settings, outcome);
    outcome.m_bSent = link.SendActiveProfile(0) && outcome.m_bSent;
    return outcome;
}
