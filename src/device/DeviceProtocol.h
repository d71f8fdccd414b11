#pragma once
// The keyboard's configuration protocol: identification of its two HID collections, the
// feature-report layouts with their lengths and pauses, and the packing of a macro into the
// keyboard's own steps and back. Pure data and functions; the exchanges live in CDeviceLink.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct MacroKey;

constexpr uint16_t KeyboardVendorId = 0x04F3;
constexpr uint16_t KeyboardProductId = 0x1406;
constexpr uint16_t ListenerUsagePage = 0x000A; // event (input report) collection
constexpr uint16_t CommandUsagePage = 0x000B;  // feature-report collection

// Every command builds its report in a buffer of this size; only the report's length is sent.
constexpr size_t ReportBufferSize = 256;
using ReportBuffer = std::array<uint8_t, ReportBufferSize>;

constexpr uint8_t ReportSelect = 4;
constexpr uint8_t ReportProfile = 5;
constexpr uint8_t ReportKeyTable = 6;
constexpr uint8_t ReportLighting = 7;
constexpr uint8_t ReportMacro = 8;

constexpr size_t SelectReportLength = 3;
constexpr size_t ProfileReportLength = 3;
constexpr size_t KeyTableReportLength = 0xB8; // 184
constexpr size_t LightingReportLength = 6;
constexpr size_t MacroReportLength = 0xE2; // 226

// Protocol pauses after the platform call, whatever its outcome.
constexpr unsigned PauseAfterSelectMs = 8;
constexpr unsigned PauseAfterGetMs = 8;
constexpr unsigned PauseAfterProfileSetMs = 15;
constexpr unsigned PauseAfterLightingSetMs = 15;
constexpr unsigned PauseAfterKeyTableSetMs = 350;
constexpr unsigned PauseAfterMacroSetMs = 350;
constexpr unsigned PauseBeforeCloseMs = 10; // after the final profile value at program end

// The profile value that tells the keyboard the program has ended.
constexpr uint8_t ProfileValueProgramEnd = 7;

// Report 6 layout.
constexpr size_t KeyTableRemapOffset = 8;    // 160 bytes of AllRCKey
constexpr size_t KeyTableValuesOffset = 168; // five KeyValues of 3 bytes

// Report 8 layout.
constexpr size_t MacroNameOffset = 8;
constexpr size_t MacroNameLength = 24; // bytes 8..31
constexpr size_t MacroLoopOffset = 32;
constexpr size_t MacroStepCountOffset = 33;
constexpr size_t MacroStepsOffset = 34;
constexpr size_t MaxMacroSteps = (MacroReportLength - MacroStepsOffset) / 2; // 96

// Lighting codes the keyboard knows.
constexpr int DefaultLightColour = 3;     // replaces a colour outside 1..7 in a reply
constexpr int DefaultLightBrightness = 8; // replaces a brightness the keyboard does not know
bool IsKnownBrightnessCode(int nCode);    // 1, 2, 4, 8, 24
// The keyboard's lighting mode key: off gives steady red at the default brightness, on breathes.
constexpr int SteadyLightColour = 1;    // "Red"
constexpr int BreathingBrightness = 24; // "Breath"

// Event codes of the event collection (byte 1 of an input report; byte 2 is the parameter).
enum DeviceEventCode : uint8_t
{
    EventMacroReceived = 1,
    EventColourChanged = 2,
    EventWinLockChanged = 3,
    EventLaunchPressed = 4,
    EventProfileChanged = 5,
    EventLightingMode = 6,
    EventBrightnessChanged = 7,
    EventNone = 8,
    EventAllLockChanged = 9,
};

// On-screen text codes (the parameter of the message 1067 request).
enum OsdTextCode : int
{
    OsdProfileOne = 1,
    OsdProfileTwo = 2,
    OsdProfileThree = 3,
    OsdWinKeyDisabled = 4,
    OsdWinKeyEnabled = 5,
    OsdAllKeysDisabled = 6,
    OsdAllKeysEnabled = 7,
};

// The name a macro gets when the keyboard holds none: "Profile<profile+1>_G<key+1>".
std::string MadeUpMacroName(int nProfile, int nKey);

// The macro name of a report 8 reply: empty when the keyboard holds none (0xFF in bytes 8 and 9).
// Otherwise the text of bytes 8..31 up to the first zero (byte 31 ends it when there is none),
// without control characters, and with every byte that is not part of valid UTF-8 replaced by
// '?', so that a reply can never break a data file's lines. May come out empty too.
std::string MacroNameFromReply(const uint8_t* pReply);

// Writes a name into bytes 8..31 of a report: at most 24 bytes, cut at a UTF-8 character
// boundary, the rest zero.
void PutMacroName(uint8_t* pReport, const std::string& strName);

// Packs the macro's actions into keyboard steps from byte 34 of a report 8 and sets byte 33 to
// the number of steps written (at most 96: a key event is written only together with the pause
// steps before it, when they all fit). Pauses before a key event are summed; the part below
// 1016 ms rides in the key step (in 8 ms units), the rest becomes steps of 64, 128 or 256 ms.
// Pauses after the last key event, and keys the keyboard has no code for, send nothing.
// Returns the number of steps.
size_t EncodeMacroSteps(const MacroKey& macro, uint8_t* pReport);

// A macro's program as the keyboard holds it: bytes 33..225 of report 8, the step count and then
// the steps. Turning steps into actions loses what actions cannot say (keys without a virtual-key
// code, the keyboard's alternate codes, how a pause was split into steps, a 1016 ms pause riding
// in its key step), so the steps of a macro read from the keyboard are kept to send it back.
using KeyboardMacroSteps = std::array<uint8_t, MacroReportLength - MacroStepCountOffset>;

// The steps of a report 8 reply: at most 96 of them, zero after the last counted step.
KeyboardMacroSteps KeyboardStepsOfReply(const uint8_t* pReply);

// True when the steps decode to exactly the macro's actions, i.e. the macro says what the
// keyboard's steps say: it was not edited since they were read (or was edited back).
bool StepsMatchMacro(const KeyboardMacroSteps& steps, const MacroKey& macro);

// Fills byte 33 on of a report 8 for the macro: the kept steps when there are some and they
// still match the macro (an unedited macro goes back to the keyboard byte for byte), otherwise
// EncodeMacroSteps. Returns the number of steps.
size_t PutMacroSteps(const MacroKey& macro, const KeyboardMacroSteps* pKept, uint8_t* pReport);

// Unpacks a report 8 reply into the macro: repeat settings from byte 32, MacroCommandActionNum
// from byte 33 (never more than 96), and the actions of at most 96 steps, whatever byte 33 says.
void DecodeMacroSteps(const uint8_t* pReply, MacroKey& macro);
