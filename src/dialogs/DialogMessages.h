#pragma once
// Messages between the assignment dialogs and the window that opens them.
//
//   UM_SHORTCUT_RESULT      CShortcutDlg -> parent: wParam 0, lParam = const PopupResult*
//                           (name shown on the key; KeyValue 06, modifier mask, DeviceKeyCode).
//   UM_QUICK_LAUNCH_RESULT  CQuickLaunchDlg -> parent: wParam = const std::string* (full path,
//                           UTF-8), lParam = const PopupResult* (file name; KeyValue 07 00 00).
//   UM_KEY_MAP_RESULT       CKeyMapSettingDlg -> parent: wParam = key button id (2200..2302),
//                           lParam = the chosen DeviceKeyCode before the OwnKeyCode rewrite.
// Each is sent with SendMessage while the dialog's modal loop still runs, so the addresses are
// valid during the call only; the receiver copies what it keeps.
//
// The key map dialog's mouse-function button and its popup use the numbers the main window's
// function menu also uses: the button asks for its popup with UM_MOUSE_FUNCTION_BUTTON (the
// number of the menu's "Quick Launch" request), the popup answers with UM_MOUSE_FUNCTION_RESULT
// and UM_MOUSE_FUNCTION_GONE (skin/SkinTypes.h).

#include "skin/SkinTypes.h"

inline constexpr UINT UM_SHORTCUT_RESULT = WM_USER + 12;       // 1036
inline constexpr UINT UM_QUICK_LAUNCH_RESULT = WM_USER + 15;   // 1039
inline constexpr UINT UM_KEY_MAP_RESULT = WM_USER + 42;        // 1066
inline constexpr UINT UM_MOUSE_FUNCTION_BUTTON = WM_USER + 13; // 1037

static_assert(UM_MOUSE_FUNCTION_BUTTON == UM_ASSIGN_QUICK_LAUNCH && UM_MOUSE_FUNCTION_RESULT == WM_USER + 20 &&
              UM_MOUSE_FUNCTION_GONE == WM_USER + 21);
