#pragma once
// What the main window's handlers may ask of the window. A handler sees the window only through
// this interface: its controls and popups, modal dialogs and the attention message, the view
// refresh, the edit session (every change of the model goes through it) with read-only stores and
// the active slot, and the window-level commands. The window implements it; new needs are added here, never by handing
// a handler the window itself.

#include <string>
#include <vector>

#include "device/ProfileCommands.h"
#include "skin/SkinTypes.h"

class CControlBase;
class CDlgBase;
class CEditSession;
class CSkinWindow;
class CWndPopup;
class QFileDialog;
class QLineEdit;
struct MacroLibrary;
struct ProfileStore;
struct SettingsStore;

class CMainWindowHost
{
public:
    virtual ~CMainWindowHost() = default;

    // ---- Controls ----
    // The first control with that id; null when there is none.
    virtual CControlBase* FindControl(UINT nId) const = 0;
    // The controls of one of the window's control lists (MainWindowIds.h), in paint order.
    virtual const std::vector<CControlBase*>& ControlsOf(int nList) const = 0;
    // Shows or hides every control of one of the window's control lists.
    virtual void ShowControlList(int nList, bool bVisible) = 0;
    // The repeat-count edit box (a real child widget, not a skinned control); null before the
    // controls are built.
    virtual QLineEdit* LoopCountEdit() const = 0;
    virtual void RepaintControl(const CControlBase& control) = 0;
    virtual void RepaintRect(const CRect& rcClient) = 0;
    virtual void RepaintWindow() = 0;

    // ---- Popups (slots of the window, rectangles in client coordinates) ----
    virtual void OpenPopup(int nSlot, const CRect& rcClient, CWndPopup* pPopup, WPARAM wContext) = 0;
    virtual void ClosePopup(int nSlot) = 0;
    virtual CWndPopup* GetPopup(int nSlot) const = 0;

    // ---- Dialogs ----
    // The window that owns dialogs and popups opened by handlers.
    virtual CSkinWindow* DialogParent() = 0;
    // Runs a dialog modally and answers its result (IDOK / IDCANCEL).
    virtual int RunModalDialog(CDlgBase& dlg) = 0;
    // Runs a prepared file dialog modally; true with the chosen path (UTF-8), false when the user
    // cancelled.
    virtual bool RunFileDialog(QFileDialog& dlg, std::string& strPath) = 0;
    // The attention dialog with a title and one line of text.
    virtual void ShowAttention(const std::string& strTitle, const std::string& strText) = 0;
    // Queues a message for the window, handled after the current one.
    virtual void PostToWindow(UINT nMsg, WPARAM wParam, LPARAM lParam) = 0;

    // ---- View and model ----
    // Reloads every handler's controls from the active slot and repaints.
    virtual void RefreshProfileView() = 0;
    // The active slot as of the last refresh ("CurrentProfile" parsed).
    virtual int ActiveSlot() const = 0;
    // The page shown now (0 keys, 1 macros, 2 programmable keys, 3 lighting).
    virtual int SelectedPage() const = 0;
    virtual const ProfileStore& Profiles() const = 0;
    // The library whose sets and macros the lists show and the session edits; handlers change it
    // only through the session (the name list appends a typed name itself).
    virtual MacroLibrary& Library() = 0;
    // Every edit of the model, Apply and the resets.
    virtual CEditSession& Session() = 0;
    // Tells the user, for a few seconds, what an Apply or a reset did.
    virtual void ShowCommandOutcome(EProfileCommand eCommand, const ProfileCommandOutcome& outcome) = 0;

    // ---- Window ----
    // Hides the window to the tray; where there is no tray it is minimised instead, so that it
    // can still be brought back.
    virtual void HideWindow() = 0;
    virtual void MinimiseWindow() = 0;
};
