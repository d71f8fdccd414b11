#pragma once
// The profile-slot commands that send to the keyboard and save the data files, in the one order
// every front end uses (the window's Apply/OK and reset buttons, corvanectl): Apply, the reset of
// one slot and the reset of all slots. No dialog here: the caller asks for confirmation first and
// refreshes its view afterwards.

#include <string>

class CDataFiles;
class CDeviceLink;
struct ProfileStore;
struct SettingsStore;

// What became of a command: each is false when any of its keyboard writes, or any of its file
// saves, failed. Without a keyboard every write fails, yet the files are still saved.
struct ProfileCommandOutcome
{
    bool m_bSent = true;
    bool m_bSaved = true;
    // The keyboard's command collection was open when the command began.
    bool m_bConnected = false;
    // The first write the keyboard did not take, for the user ("the lighting of profile 2");
    // what was not taken waits for the keyboard and is sent at the next connection or Apply.
    std::string m_strFailedWrite;
};

// Which command an outcome belongs to, for what the user is told of it.
enum class EProfileCommand
{
    Apply,
    Reset,
};

// Sends the pending changes of slots 0..2, makes the active slot the keyboard's profile, then
// saves the settings, the five profile files and, when it changed, the macro library.
ProfileCommandOutcome ApplyProfiles(CDeviceLink& link, const CDataFiles& files, ProfileStore& profiles,
                                    SettingsStore& settings);

// Factory state for the active slot: saved, its lighting and key table sent, the slot made the
// keyboard's profile, its pending changes dropped. Slots 3 and 4 are reset in the files only.
ProfileCommandOutcome ResetActiveSlot(CDeviceLink& link, const CDataFiles& files, ProfileStore& profiles,
                                      SettingsStore& settings);

// Default settings (slot 0 active, every slot's file in the config folder) saved; factory state
// for slots 0..2, each saved and sent; profile 0 selected; every pending change dropped. Slots 3
// and 4 stay as they are in memory and on disk.
ProfileCommandOutcome ResetAllSlots(CDeviceLink& link, const CDataFiles& files, ProfileStore& profiles,
                                    SettingsStore& settings);
