#pragma once
// CSimulatedKeyboard: the keyboard's firmware and the system's list of HID collections, behind
// CHidBackend, so every behaviour of the device link can be exercised without hardware.
//
// How to use it from a test:
//
//     CManualClock clock;                  // pauses return at once and are recorded
//     CSimulatedKeyboard kb(clock);        // plugged in, factory state, default enumeration
//     CHidBackend& hid = kb;               // give this to the code under test
//     ... run the code under test with the same clock ...
//     EXPECT_EQ(kb.FeatureTrace(), "G5 S4 G7 S4 G7 S4 G7");
//     EXPECT_FALSE(kb.HasInterleaving());
//
// Firmware. Three profiles, each with lighting (colour and brightness bytes as the keyboard
// stores them), the 160-byte remap table, five programmable-key values and five macros (the
// 218 bytes 8..225 of report 8: name, repeat count, step count, steps), plus the active profile.
// Feature reports 4..8 behave as the keyboard does: a set of report 4 chooses what the next get
// of report 6, 7 or 8 returns; sets store exactly the bytes the keyboard keeps; a set of
// report 5 with 0..2 activates that profile, any other value (7 when the program ends) is
// remembered as the host's last profile command and leaves the active profile alone.
// Reports of the wrong length are refused (set false, get -1); wrong header bytes are accepted
// and recorded. Accessors (Profile, KeyTable, MacroBytes, ...) read and prepare the state.
//
// Enumeration. By default: 0 a foreign mouse, 1 the keyboard's boot keyboard collection (cannot
// be opened, as the system keeps it), 2 the event collection (usage page 0x000A), 3 the command
// collection (usage page 0x000B), each on a device node of its own. PlaceKeyboard puts the two
// collections at chosen indices (fillers elsewhere); SetEnumeration takes any list, including a
// second keyboard collection with the same usage page, a keyboard listed after dozens of other
// collections, collections that share one node (as hidraw does for collections of one USB
// interface) or foreign devices.
//
// Events. Keyboard-side actions (PressProfileKey, RecordMacroOnKeyboard, ...) change the
// firmware state first and then send the event report; SendEvent sends any code. Every open
// handle on the event collection gets its own copy (like hidraw); a report sent while no handle
// is open is lost, so wait with WaitForReaders first, and so is one that finds 64 reports still
// unread in a handle's queue (DroppedInputReports counts those). Read blocks until a report, the timeout,
// or an unplug.
//
// Plug and unplug. Unplug/Plug (the keyboard) and UnplugDevice/PlugDevice (any device) remove
// the collections from Enumerate and make every handle opened before fail (-1 / false); a plug
// gives the nodes new paths. Each node that comes or goes is announced to the callback set with
// SetHotplugCallback (called on the plugging thread) and queued for DrainEvents (Fd() polls
// readable while events are pending), the same shape as the udev monitor.
//
// Faults. FailOpen, FailSet, FailGet, FailRead, ShortReply and ReplaceReply act once, n times
// or always (kSimAlways). The state setters store raw bytes, so SetMacroBytes gives a reply with a
// step count above 96 or a name without a terminating zero, SetLighting one with stray colour
// bits or an unknown brightness, and ReplaceReply any garbage at all.
//
// Log and checks. Every exchange (set, get, input report delivered, open, close) is logged
// with its bytes, the clock's time, the thread and the path. The firmware also records
// protocol violations: a select followed by any other feature report before its get
// (Interleaved; unplugging the keyboard ends a select and any pause owed, as the keyboard loses
// power), a get of 6/7/8 without a select just before it, wrong lengths, wrong header
// bytes, indices out of range, a feature report on a node without the command collection, and
// a command that came before the previous command's pause was over (TooSoon; meaningful when the
// code under test sleeps on the clock given here).
//
// Thread-safe: every member may be called from any thread; handles keep the simulator's state
// alive, so a handle may outlive the CSimulatedKeyboard (it then fails like an unplugged one).

#include "platform/Clock.h"
#include "platform/HidBackend.h"
#include "platform/Hotplug.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

constexpr int kSimKeyboardDevice = 0;  // device number of the keyboard in the enumeration
constexpr int kSimAlways = -1;         // fault count: every time
constexpr size_t kSimMacroBytes = 218; // report 8 bytes 8..225 as the keyboard stores them
constexpr size_t kSimMaxSteps = 96;

using SimMacroBytes = std::array<uint8_t, kSimMacroBytes>;
using SimStep = std::pair<uint8_t, uint8_t>; // (s0, s1)

enum class ESimDirection
{
    Set,   // feature report set by the host; bytes as sent
    Get,   // feature report got by the host; bytes as returned
    Input, // input report handed to a reader; bytes as delivered
    Open,
    Close
};

struct SimExchange
{
    ESimDirection eDirection = ESimDirection::Set;
    uint8_t nReportId = 0;
    std::vector<uint8_t> vecBytes;
    bool bOk = true;
    uint64_t nTimeMs = 0;
    std::thread::id idThread;
    std::string strPath;
};

enum class ESimViolation
{
    Interleaved,          // a select was followed by another feature report before its get
    UnselectedGet,        // a get of report 6, 7 or 8 without a select just before it
    WrongLength,          // a set of the wrong length, or a get with a too short buffer
    BadHeader,            // byte 1 of a set is not the value the keyboard expects
    OutOfRange,           // profile above 2 or programmable key above 4
    UnknownReport,        // a report id the keyboard does not know in that direction
    NotCommandCollection, // a feature report on a node without the command collection
    TooSoon               // a command before the previous one's pause was over
};

struct SimViolation
{
    ESimViolation eKind = ESimViolation::Interleaved;
    size_t nLogIndex = 0; // the exchange that revealed it
    std::string strText;
};

// One entry of the enumeration.
struct SimCollection
{
    int nDevice = kSimKeyboardDevice; // collections of one device come and go together
    uint16_t nVendorId = 0x04F3;
    uint16_t nProductId = 0x1406;
    uint16_t nUsagePage = 0;
    uint16_t nUsage = 0;
    bool bOpenable = true;
    uint16_t nInputReportLength = 0;
    int nNode = -1; // same number within one device: one shared device node; -1: a node of its own

    static SimCollection KeyboardEvents();   // usage page 0x000A
    static SimCollection KeyboardCommands(); // usage page 0x000B
    static SimCollection KeyboardBoot();     // usage page 0x0001 usage 6, cannot be opened
    static SimCollection Foreign(int nDevice, uint16_t nUsagePage = 0x0001, uint16_t nUsage = 0x0002,
                                 uint16_t nVendorId = 0x046D, uint16_t nProductId = 0xC52B);
};

struct SimProfileState
{
    uint8_t nColour = 1;     // byte 4 of report 7 as stored
    uint8_t nBrightness = 8; // byte 5 of report 7
    std::array<uint8_t, 160> arrRemap{};
    std::array<std::array<uint8_t, 3>, 5> arrKeyValues{};
    std::array<SimMacroBytes, 5> arrMacros{};
};

class CSimKeyboardCore;

class CSimulatedKeyboard : public CHidBackend, public CHotplugSource
{
public:
    explicit CSimulatedKeyboard(CClock& clock);
    ~CSimulatedKeyboard() override;
    CSimulatedKeyboard(const CSimulatedKeyboard&) = delete;
    CSimulatedKeyboard& operator=(const CSimulatedKeyboard&) = delete;

    // CHidBackend
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<CHidHandle> Open(const std::string& strPath) override;

    // CHotplugSource: the queued arrivals and removals
    int Fd() const override;
    int DrainEvents(const HotplugCallback& fnCallback) override;

    // ---- Enumeration (set up before use: handles opened before fail afterwards) ----
    void SetEnumeration(const std::vector<SimCollection>& vecCollections);
    // The event collection at nEventIndex and the command collection at nCommandIndex (a
    // negative index leaves that collection out); every other index below the larger of the two
    // holds a foreign device (numbered 100 + index). The boot collection is not listed.
    void PlaceKeyboard(int nEventIndex, int nCommandIndex);
    // Report id and length of the event reports (default id 1, 8 bytes). Enumerate lists the id
    // as the event collection's input report id; 0 stands for a keyboard that numbers no reports
    // (the backend's Read still gives a 0 in byte 0) and lists none.
    void SetEventReportFormat(uint8_t nReportId, uint16_t nLength);

    // ---- Plug and unplug ----
    void Unplug();
    void Plug();
    bool IsPlugged() const;
    void UnplugDevice(int nDevice);
    void PlugDevice(int nDevice);
    // Called on the thread that plugs or unplugs, after the enumeration changed.
    void SetHotplugCallback(HotplugCallback fnCallback);

    // ---- Firmware state (copies; setters change the keyboard without any report) ----
    void ResetToFactory();
    int ActiveProfile() const;
    void SetActiveProfile(int nProfile);
    int LastProfileCommand() const; // byte 2 of the last accepted report 5 set; -1 before any
    SimProfileState Profile(int nProfile) const;
    void SetProfile(int nProfile, const SimProfileState& state);
    uint8_t Colour(int nProfile) const;
    uint8_t Brightness(int nProfile) const;
    void SetLighting(int nProfile, uint8_t nColour, uint8_t nBrightness); // raw bytes
    std::array<uint8_t, 160> KeyTable(int nProfile) const;
    void SetRemapEntry(int nProfile, int nPosition, uint8_t nCode);
    std::array<uint8_t, 3> KeyValue(int nProfile, int nKey) const;
    void SetKeyValue(int nProfile, int nKey, uint8_t nKind, uint8_t nParam1, uint8_t nParam2);
    SimMacroBytes MacroBytes(int nProfile, int nKey) const;
    void SetMacroBytes(int nProfile, int nKey, const SimMacroBytes& bytes);
    // A macro as the keyboard stores it; no name is stored as 0xFF bytes.
    void SetMacro(int nProfile, int nKey, const std::optional<std::string>& strName, uint8_t nLoop,
                  const std::vector<SimStep>& vecSteps);
    bool HasMacroName(int nProfile, int nKey) const;     // false when bytes 8 and 9 are 0xFF
    std::string MacroName(int nProfile, int nKey) const; // up to the first zero, at most 24 bytes
    uint8_t MacroLoop(int nProfile, int nKey) const;
    uint8_t MacroStepCount(int nProfile, int nKey) const;          // byte 33 as stored, may exceed 96
    std::vector<SimStep> MacroSteps(int nProfile, int nKey) const; // at most 96
    static SimMacroBytes MakeMacroBytes(const std::optional<std::string>& strName, uint8_t nLoop,
                                        const std::vector<SimStep>& vecSteps);
    bool WindowsLock() const;
    bool AllKeysLock() const;

    // ---- Things done on the keyboard itself; each returns how many readers got the event ----
    int PressProfileKey(int nProfile);             // activates 0..2, event 5 with nProfile + 1
    int ChangeColourOnKeyboard(uint8_t nColour);   // event 2
    int ChangeBrightnessOnKeyboard(uint8_t nCode); // event 7
    int PressLightModeKey();                       // breathing on/off, event 6
    // The lock events carry 0 when the lock goes on (the Windows key, or every key, disabled)
    // and 1 when it goes off.
    int ToggleWindowsLock();            // event 3
    int ToggleAllKeysLock();            // event 9
    int PressProgrammableKey(int nKey); // event 4 only when the key launches (kind 7)
    // Stores a macro without a name on key nKey of the active profile, sets the key to a library
    // macro (01 00 00) and sends event 1 with nKey + 1.
    int RecordMacroOnKeyboard(int nKey, const std::vector<SimStep>& vecSteps, uint8_t nLoop = 0);
    int SendEvent(uint8_t nCode, uint8_t nParam);
    // Any input report on the nodes of a device (the keyboard: every node that carries its event
    // collection, as hidraw hands a node's reports of all its collections to every reader).
    int SendInputReport(int nDevice, const std::vector<uint8_t>& vecReport);

    // Reports lost because a reader's queue already held 64 (hidraw's limit per open file);
    // such a report is not counted in the return values above.
    size_t DroppedInputReports() const;
    size_t ReaderCount() const; // open handles on the keyboard's event collection
    bool WaitForReaders(size_t nCount, int nTimeoutMs) const;
    bool WaitUntilInputConsumed(int nTimeoutMs) const; // every reader's queue is empty

    // ---- Faults ----
    void FailOpen(const std::string& strPath = "", int nTimes = 1); // "" any path
    void FailSet(int nReportId = -1, int nTimes = 1);               // -1 any report
    void FailGet(int nReportId = -1, int nTimes = 1);
    void FailRead(int nTimes = 1);
    void ShortReply(int nReportId, size_t nBytes, int nTimes = 1);
    void ReplaceReply(int nReportId, const std::vector<uint8_t>& vecReply, int nTimes = 1);
    void ClearFaults();

    // ---- Log ----
    std::vector<SimExchange> Log() const;
    void ClearLog(); // also forgets the pause and select tracking
    size_t CountReports(ESimDirection eDirection, int nReportId = -1) const;
    std::vector<uint8_t> FeatureReportIds() const; // sets and gets in order
    // "S4 G7 S6 G5!": S set, G get, then the report id, '!' when the call failed.
    std::string FeatureTrace() const;
    // Milliseconds between consecutive feature exchanges (one fewer than exchanges).
    std::vector<uint64_t> FeaturePauses() const;
    std::vector<uint8_t> LastSet(uint8_t nReportId) const; // empty when none

    // ---- Protocol checks ----
    std::vector<SimViolation> Violations() const;
    size_t CountViolations(ESimViolation eKind) const;
    bool HasInterleaving() const;
    std::string ViolationsText() const;
    void ClearViolations();

private:
    std::shared_ptr<CSimKeyboardCore> m_pCore;
};
