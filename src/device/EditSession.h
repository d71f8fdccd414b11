#pragma once
// The user's edits, one call per intent, for every front end (the window's handlers and
// corvanectl). Each call changes the model and marks exactly what that change makes due, in one
// place: the slot's pending flags for the keyboard (lighting, key table, a programmable key's
// macro) and the macro library's changed mark, and writes the macro library where the macro page
// always has (a macro added, deleted, imported, or a recording ended). Apply and the resets send
// and save through ProfileCommands. Front ends read the stores through the const accessors and
// change them only through these calls.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/ProfileCommands.h"
#include "model/KeyTables.h"
#include "model/Profile.h"

class CDataFiles;
class CDeviceLink;
struct MacroKey;
struct MacroLibrary;
struct MacroSet;

class CEditSession
{
public:
    CEditSession(ProfileStore& profiles, SettingsStore& settings, MacroLibrary& library, CDeviceLink& link,
                 const CDataFiles& files);

    const ProfileStore& Profiles() const { return m_profiles; }
    const SettingsStore& Settings() const { return m_settings; }
    const MacroLibrary& Library() const { return m_library; }
    const CDeviceLink& Link() const { return m_link; }

    // ---- Profile slots ----
    // The slot the window works on; the keyboard is told at the next Apply.
    void SwitchSlot(int nSlot);
    ProfileCommandOutcome Apply();
    ProfileCommandOutcome ResetActiveSlot();
    ProfileCommandOutcome ResetAllSlots();
    // Edits that neither reached the keyboard nor the files: ending now would lose them.
    bool HasUnappliedEdits() const;

    // ---- Lighting ----
    void SetColour(int nSlot, int nColour);
    void SetBrightness(int nSlot, int nBrightness);
    void SetLighting(int nSlot, int nColour, int nBrightness);

    // ---- Keys ----
    // Key button nButtonId of the slot now sends nCode (after the keyboard's own-code rule).
    void RemapKey(int nSlot, int nButtonId, DeviceKeyCode nCode);
    // A programmable key gets a function of its own: multimedia, web, window, mouse, or a key
    // combination; nothing else changes.
    void AssignKeyFunction(int nSlot, int nKey, const std::string& strName, const KeyValue& value);
    // "Default Function" or "No Function". False when the value is neither (the key is unchanged,
    // though the slot's key table is still marked, as a menu choice always marks it).
    bool RestoreKeyFunction(int nSlot, int nKey, const KeyValue& value);
    // A library macro, found by its name when it is sent.
    void AssignMacro(int nSlot, int nKey, const std::string& strMacroName);
    // A program or file started by the key.
    void AssignQuickLaunch(int nSlot, int nKey, const std::string& strName, const std::string& strPath);

    // ---- Macros ----
    // A new empty macro of that name at the end of the set; the library is written.
    MacroKey& AddMacro(MacroSet& set, const std::string& strName);
    // A name the macro list itself added to its set; the library is written.
    void MacroAddedByList();
    enum class EDeleteResult
    {
        Deleted,
        InUse, // a programmable key of some slot holds it: kept
        NoSuchMacro,
    };
    EDeleteResult DeleteMacro(MacroSet& set, size_t nIndex);
    void SetLoopCount(MacroKey& macro, std::uint8_t nCount);
    void SetLoopEnabled(MacroKey& macro, bool bEnabled);
    // Recording: the macro starts empty (an edit even if no key follows), each recorded step is
    // one, and the end writes the library and makes every key that plays the macro due.
    void BeginRecording(MacroKey& macro);
    void StepRecorded();
    void EndRecording(const MacroKey& macro);
    // The macro was replaced from a macro key file: written, and due wherever it is played. False
    // when the library could not be written (it stays marked as changed).
    bool MacroImported(const MacroKey& macro);

    // ---- corvanectl ----
    // Makes the saved profiles of slots 0..2 due as a whole (the files are what is sent). A macro
    // key whose macro is not in the library cannot be sent; each is listed as {slot, key}.
    std::vector<std::pair<int, int>> QueueSavedProfiles();

private:
    bool SaveLibrary();
    // Every programmable key of slots 0..2 that plays the named macro gets its macro sent again.
    void MarkMacroUsersPending(const std::string& strMacroName);

    ProfileStore& m_profiles;
    SettingsStore& m_settings;
    MacroLibrary& m_library;
    CDeviceLink& m_link;
    const CDataFiles& m_files;
};
