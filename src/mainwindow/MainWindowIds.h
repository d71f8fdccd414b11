#pragma once
// The main window's control map: every control id it creates, the five control lists that make
// up its pages, its popup slots, and the message numbers it reserves or handles. A control's
// notification arrives as a message numbered like the control, so the ids below are also
// message numbers. Only the main window and its handlers use these names; the toolkit is told
// at construction what each control selects or sends.

#include "dialogs/DialogMessages.h" // the assignment dialogs' results: UM_SHORTCUT_RESULT (1036),
                                    // UM_QUICK_LAUNCH_RESULT (1039), UM_KEY_MAP_RESULT (1066)
#include "keyboardhook/KeyHook.h"   // UM_HOOK_KEY (1025), a key event from the keyboard hook
#include "skin/SkinTypes.h"

namespace MainWindow
{

// ---- Control lists (paint and hit-test order) and the pages they make up ----
inline constexpr int CommonList = 0;  // header, page tabs, Apply/OK, slots, resets
inline constexpr int KeyPageList = 1; // the 103 key buttons
inline constexpr int MacroPageList = 2;
inline constexpr int ProgrammableKeyPageList = 3;
inline constexpr int LightingPageList = 4;

inline constexpr int KeyPage = 0;
inline constexpr int MacroPage = 1;
inline constexpr int ProgrammableKeyPage = 2;
inline constexpr int LightingPage = 3;
inline constexpr int PageCount = 4;
inline constexpr int ListOfPage(int nPage)
{
    return nPage + 1;
}

// ---- Common controls ----
inline constexpr UINT IDC_HIDE = 2001; // header close: hides the window to the tray
inline constexpr UINT IDC_MINIMISE = 2002;
inline constexpr UINT IDC_TAB_KEY_PAGE = 2003;
inline constexpr UINT IDC_TAB_MACRO_PAGE = 2004;
inline constexpr UINT IDC_TAB_PROGRAMMABLE_KEY_PAGE = 2005;
inline constexpr UINT IDC_TAB_LIGHTING_PAGE = 2077;
inline constexpr UINT IDC_OK = 2046; // Apply, then hide
inline constexpr UINT IDC_APPLY = 2047;
inline constexpr UINT IDC_HIDE_WITHOUT_APPLY = 2048;
inline constexpr UINT IDC_SLOT_TAB_FIRST = 2049; // slots 0, 1, 2: 2049, 2050, 2051
inline constexpr UINT IDC_SLOT_TAB_LAST = 2051;
inline constexpr UINT IDC_RESET_SLOT = 2045;
inline constexpr UINT IDC_RESET_ALL_SLOTS = 2076;

// The page tab of each page, in page order.
inline constexpr UINT PageTabIds[PageCount] = {IDC_TAB_KEY_PAGE, IDC_TAB_MACRO_PAGE, IDC_TAB_PROGRAMMABLE_KEY_PAGE,
                                               IDC_TAB_LIGHTING_PAGE};

// ---- Key page ----
inline constexpr UINT IDC_KEY_FIRST = 2200;
inline constexpr UINT IDC_KEY_LAST = 2302;
inline constexpr bool IsKeyButtonId(UINT nId)
{
    return nId >= IDC_KEY_FIRST && nId <= IDC_KEY_LAST;
}

// ---- Macro page ----
inline constexpr UINT IDC_NEW_MACRO = 2100;
inline constexpr UINT IDC_DELETE_MACRO = 2101;
inline constexpr UINT IDC_IMPORT_MACRO = 2102;
inline constexpr UINT IDC_EXPORT_MACRO = 2103;
inline constexpr UINT IDC_MACRO_LIST = 2109;
inline constexpr UINT IDC_LOOP_COUNT = 2110; // the repeat-count edit box, a real child widget
inline constexpr UINT IDC_LOOP_ENABLE = 2111;
inline constexpr UINT IDC_RECORD_DELAYS = 2112;
inline constexpr UINT IDC_RECORD = 2113;
inline constexpr UINT IDC_ACTION_LIST = 2114;
inline constexpr UINT IDC_MACRO_LIST_SCROLL = 2115;
inline constexpr UINT IDC_ACTION_LIST_SCROLL = 2116;

// ---- Programmable-key page ----
inline constexpr UINT IDC_PROGRAMMABLE_KEY_FIRST = 2078; // programmable key k: 2078 + k
inline constexpr UINT IDC_PROGRAMMABLE_KEY_LAST = 2082;
inline constexpr bool IsProgrammableKeyId(UINT nId)
{
    return nId >= IDC_PROGRAMMABLE_KEY_FIRST && nId <= IDC_PROGRAMMABLE_KEY_LAST;
}

// ---- Lighting page ----
inline constexpr UINT IDC_LIGHT_COLOR = 2090;
inline constexpr UINT IDC_LIGHT_BRIGHTNESS = 2091;

// ---- Commands (WM_COMMAND, wParam = command id) ----
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT IDC_CONFIG_KEYBOARD = 2075; // tray menu "Config Keyboard": show the window
inline constexpr UINT IDC_EXIT = 2;               // tray menu "Exit": the dialog's cancel command

// ---- Popup slots of the main window (CDlgBase gives each its result message) ----
inline constexpr int PopupSlotFunctionMenu = 1;
inline constexpr int PopupSlotMultimedia = 2;
inline constexpr int PopupSlotWindowManage = 3;
inline constexpr int PopupSlotMouseFunction = 4;
inline constexpr int PopupSlotMacroLibrary = 5;
inline constexpr int PopupSlotLightColor = 7;
inline constexpr int PopupSlotLightBrightness = 8;

} // namespace MainWindow

// ---- Messages the main window reserves or handles ----
// The popups' own result, hover and loss-of-activation messages (1025..1065) are the toolkit's
// contract and are named in skin/SkinTypes.h; the dialogs' and the hook's come with the headers
// above. UM_HOOK_KEY and UM_POPUP_CLOSING share the number 1025.
inline constexpr UINT UM_OPEN_FUNCTION_MENU = WM_USER + 4;       // 1028, programmable key button clicked
inline constexpr UINT UM_RUN_SHORTCUT_DIALOG = WM_USER + 10;     // 1034, posted to itself
inline constexpr UINT UM_RUN_QUICK_LAUNCH_DIALOG = WM_USER + 14; // 1038, posted to itself
inline constexpr UINT UM_TRAYNOTIFY = WM_USER + 32;            // 1056, tray icon: wParam icon id, lParam mouse message
inline constexpr UINT UM_OPEN_LIGHT_COLOR = WM_USER + 36;      // 1060, colour button clicked
inline constexpr UINT UM_OPEN_LIGHT_BRIGHTNESS = WM_USER + 39; // 1063, brightness button clicked
inline constexpr UINT UM_SHOWOSD = WM_USER + 43;               // 1067, on-screen text, wParam = text code 1..7

// Loss-of-activation codes the lighting popups send as lParam.
inline constexpr LPARAM LightColorPopupKind = 7;
inline constexpr LPARAM LightBrightnessPopupKind = 8;

// Timer of the on-screen display.
inline constexpr UINT OsdTimerId = 1;
