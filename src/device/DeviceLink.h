#pragma once
// The link to the keyboard: finding its two HID collections, the command handle and the
// feature-report commands, the read of the keyboard's settings and the upload of pending edits,
// the reactions to device arrival and removal, and the listener for the keyboard's own events.
//
// Threads. Everything here is called on the owner's UI thread, except the listener thread's
// own loop. The listener only reads event reports and hands each one, in order, to the UI
// thread through CDeviceLinkUi::PostToUiThread, where it is handled; so the model stores and
// the data files are only ever touched by the UI thread. Every exchange on the command handle
// (a set with its pause, or a select with its get) holds m_mtxCommand, so no other command can
// come between a select and its get whoever calls.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/DeviceLinkUi.h"
#include "device/DeviceProtocol.h"
#include "model/Macro.h"
#include "model/PendingChanges.h"
#include "model/Profile.h"
#include "model/UserTexts.h"
#include "platform/Clock.h"
#include "platform/HidBackend.h"
#include "platform/ProgramLauncher.h"

class CDataFiles;

// Where the keyboard stands for the user, as the last scan found it.
enum class EKeyboardState
{
    Connected, // its command collection is open
    NotFound,  // the system lists no such keyboard
    NoAccess,  // listed, but none of its collections could be opened (no udev rule yet)
};

class CDeviceLink
{
public:
    CDeviceLink(ProfileStore& profiles, SettingsStore& settings, MacroLibrary& library, const CDataFiles& files,
                CHidBackend& backend, CClock& clock, CProgramLauncher& launcher, CDeviceLinkUi& ui);
    ~CDeviceLink(); // Shutdown() when it has not run
    CDeviceLink(const CDeviceLink&) = delete;
    CDeviceLink& operator=(const CDeviceLink&) = delete;

    // --- Discovery and connection ---
    // Full scan of every listed collection. When the keyboard is seen: the listener runs (one
    // at most) and the command handle is (re)opened; otherwise the handle is closed. Does
    // nothing after Shutdown.
    void ScanForKeyboard();
    // Examines one entry of an enumeration; records its index when it is one of the keyboard's
    // two collections and can be opened.
    void ProbeInterface(const std::vector<HidInterfaceInfo>& vecInterfaces, int nIndex);
    // Opens the interface at m_nCommandIndex into m_hCommand when it is the keyboard's command
    // collection.
    void OpenCommandInterface();

    // Device-change reactions (call on the UI thread when the hot-plug source reports). An
    // arrival scans and syncs unless the keyboard is already fully connected.
    void OnDeviceArrival();
    void OnDeviceRemoval();

    // Program end: ask the listener to stop, send profile value 7, pause, close the handle, join
    // the listener. Queued listener events are dropped from now on. Safe to call twice.
    void Shutdown();

    // --- Primitive commands (true on success; false without a command handle) ---
    bool SelectReadTarget(int nProfile, int nKey); // only meaningful inside a read
    int ReadCurrentProfile();                      // -1 when unknown (no handle, the get failed)
    bool SetDeviceProfile(int nValue);
    bool ReadLighting(int nProfile);
    bool WriteLighting(int nProfile);
    bool ReadKeyTable(int nProfile);
    bool WriteKeyTable(int nProfile);
    bool ReadKeyMacro(int nProfile, int nKey);
    bool WriteKeyMacro(int nProfile, int nKey);

    // One select-and-get exchange, holding the command lock throughout: selects (profile, key),
    // gets report nReportId of nLength bytes into reply, and pauses as the protocol asks. True
    // when the whole report came back with its id. Touches no model.
    bool ReadSelected(int nProfile, int nKey, uint8_t nReportId, size_t nLength, ReportBuffer& reply);

    // --- Composite operations ---
    // Reads the keyboard's active profile, lighting, key tables and programmable-key macros into
    // the model (only when the keyboard was found and a sync is due). A part with an edit the
    // keyboard has not taken keeps the program's value; the applied ones among them are then
    // sent (FlushAwaitingChanges), and so is the active profile when the keyboard was not told.
    void SyncFromDevice();
    // Sends the pending lighting, key tables and macros of profiles 0..2. A flag clears when the
    // keyboard took its write; one that could not be sent stays and is remembered, with the file
    // beside the data files, as applied and waiting for the keyboard. True when every write it
    // made was taken (also when none was due).
    bool FlushPendingChanges();
    // The same for the applied edits only (what a connection sends without an Apply).
    bool FlushAwaitingChanges();
    // Tells the keyboard the active profile as Apply does; when it cannot be told, that is
    // remembered and told at the next connection.
    bool SendActiveProfile(int nSlot);
    // Takes up the edits an earlier run applied that never reached the keyboard (call once, after
    // the data files are loaded).
    void RestoreAwaitingEdits();
    // The first write that failed in the last flush, for the user ("the lighting of profile 2");
    // empty when none did.
    const std::string& LastFailedWrite() const { return m_strLastFailedWrite; }
    // The first macro of the first set with exactly that name; null when none.
    MacroKey* FindMacroKeyByName(const std::string& strName);

    // --- State, read through accessors; edits mark their pending flags through the calls below ---
    bool IsDeviceFound() const { return m_bDeviceFound; }
    EKeyboardState KeyboardState() const;
    int ListenerIndex() const { return m_nListenerIndex; }
    int CommandIndex() const { return m_nCommandIndex; }
    // The next successful connection reads the keyboard's settings.
    bool IsSyncDue() const { return m_bNeedSync; }
    void RequestSync() { m_bNeedSync = true; }
    // The keyboard's active profile as last read or set; -1 until known.
    int DeviceProfile() const { return m_nDeviceProfile; }

    // Edits not yet sent, per slot 0..4. Each edit marks its flag in the call that makes it;
    // FlushPendingChanges sends and clears those of slots 0..2.
    const PendingChanges& Pending(int nSlot) const { return m_PendingChanges[ProfileStore::ClampSlot(nSlot)]; }
    void MarkLightingPending(int nSlot);
    void MarkKeyTablePending(int nSlot);
    void MarkMacroPending(int nSlot, int nKey);
    void ClearPending(int nSlot);
    void ClearAllPending();
    // Parts of a slot written outside a flush (the resets) that the keyboard did not take: they
    // wait as applied edits, like those of a flush.
    void KeepUnsent(int nSlot, const PendingChanges& unsent);
    // Applied edits not taken by the keyboard yet, per slot and for the active profile.
    const AwaitingEdits& Awaiting() const { return m_awaiting; }
    // Edits made since the last Apply (or reset) that are neither sent nor saved: an end of the
    // program now would lose them.
    bool HasUnappliedEdits() const;

    // The macro library changed since it was last written (macro page edits, macros read from
    // the keyboard). SaveMacroLibraryIfChanged writes it then and clears the mark.
    bool IsMacroLibraryChanged() const { return m_bMacroLibraryChanged; }
    void MarkMacroLibraryChanged() { m_bMacroLibraryChanged = true; }
    bool SaveMacroLibraryIfChanged();

    bool HasCommandHandle() const;
    bool IsListenerRunning() const { return m_bListenerRunning.load(); }
    // Number of listener threads started so far (a second scan must not start another).
    unsigned ListenerStarts() const { return m_nListenerStarts; }

private:
    void CloseCommandHandle();
    void StartListener(const std::vector<HidInterfaceInfo>& vecInterfaces);
    void RequestListenerStop();
    void JoinListener();
    void ListenerThreadProc(HidInterfaceInfo info);
    void PostEvent(uint8_t nCode, uint8_t nParam);
    void HandleEvent(uint8_t nCode, uint8_t nParam);
    void OnMacroReceived(int nKeyNumber);
    // Names the macro of a report 8 reply, stores the name in the programmable key and the
    // macro in the first set. True when the library changed.
    bool StoreMacroFromReply(int nProfile, int nKey, const ReportBuffer& reply, bool& bMadeUp);
    // Slot m_nDeviceProfile when it is one of the keyboard's profiles 0..2; null otherwise, so an
    // event can never act on a profile the keyboard does not have.
    ProfileRecord* DeviceProfileRecord();
    MacroSet& FirstMacroSet();
    // One flush of the pending flags of slots 0..2; with bAwaitingOnly, only those already applied.
    bool FlushPending(bool bAwaitingOnly);
    void SaveAwaiting();

    // Under m_mtxCommand: one set with its pause / one get with its pause.
    bool SetReportLocked(const uint8_t* pReport, size_t nLength, unsigned nPauseMs);
    bool GetReportLocked(uint8_t nReportId, size_t nLength, ReportBuffer& reply);

    bool m_bDeviceFound = false;
    bool m_bKeyboardListed = false; // the last scan saw the keyboard's ids, opened or not
    int m_nListenerIndex = -1;
    int m_nCommandIndex = -1;
    bool m_bNeedSync = true;
    int m_nDeviceProfile = -1;
    bool m_bMacroLibraryChanged = false;
    std::array<PendingChanges, ProfileSlotCount> m_PendingChanges{};
    AwaitingEdits m_awaiting;
    AwaitingEdits m_savedAwaiting; // what the file beside the data files says
    std::string m_strLastFailedWrite;
    // The keyboard's own steps of each macro read from it, by macro name, sent back in place of
    // the re-encoded actions while the macro still says the same (UI thread). Not saved: after a
    // restart they come back with the sync's read of every macro the keyboard's keys hold.
    std::map<std::string, KeyboardMacroSteps> m_mapKeyboardSteps;

    ProfileStore& m_profiles;
    SettingsStore& m_settings;
    MacroLibrary& m_library;
    const CDataFiles& m_files;
    CHidBackend& m_backend;
    CClock& m_clock;
    CProgramLauncher& m_launcher;
    CDeviceLinkUi& m_ui;

    mutable std::mutex m_mtxCommand;
    std::unique_ptr<CHidHandle> m_hCommand; // guarded by m_mtxCommand

    std::thread m_thrListener;
    std::atomic<bool> m_bListenerRunning{false}; // the thread is alive
    std::atomic<bool> m_bListening{false};       // cleared to ask the listener to stop
    unsigned m_nListenerStarts = 0;
    std::string m_strListenerPath; // the node the current listener reads (UI thread)
    // Shared with every queued event: cleared by Shutdown so events still waiting in the UI
    // queue do nothing once the link is gone. Read and written on the UI thread only.
    std::shared_ptr<bool> m_pAlive = std::make_shared<bool>(true);
    bool m_bShutDown = false;
};
