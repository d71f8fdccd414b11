#pragma once
// The programmable-key page: a click on one of the five programmable keys opens the function
// menu under it, with four submenus (macros, multimedia, web and system keys, mouse functions)
// that open while the pointer rests on their entry; the shortcut and quick-launch dialogs are run
// from it. Every choice becomes the key's name, value and program path in the active slot and
// marks the slot's key table (and, for a macro, that key's macro) to be sent at the next Apply.
// The key's button stays drawn pressed while its menu is open. Refresh shows the active slot's
// key names.

#include <string>

#include "mainwindow/MainWindowHandler.h"

class CComboButton;
class CMainWindowHost;
class CWndPopup;
struct KeyValue;
struct MacroKey;
struct PopupResult;

class CFunctionMenuHandler : public CMainWindowHandler
{
public:
    explicit CFunctionMenuHandler(CMainWindowHost& host) : m_host(host) {}

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord& record) override;

    // The note the macro submenu shows beside a macro that the keyboard cannot take whole (its
    // steps do not all fit in one macro report, so Apply would send only the first part).
    static constexpr const char* TooLongTag = "too long";
    // True when every key event of the macro reaches the keyboard.
    static bool FitsTheKeyboard(const MacroKey& key);

private:
    // One of the four submenus: its popup slot, loss-of-activation code, and where it opens
    // relative to the programmable key's button.
    struct Submenu
    {
        int nSlot;
        LPARAM nKind;
        int nOffsetY;  // from the button's bottom edge
        int nBoxWidth; // the mouse-function list takes its width from the box
    };
    static const Submenu Submenus[4];
    static const Submenu* SubmenuOfSlot(int nSlot);

    CComboButton* ProgrammableButton(WPARAM nId) const;
    // What programmable key k of the active slot does, as its tooltip tells it.
    std::string ProgrammableKeyToolTip(int k) const;
    int ActiveSlot() const;

    void OpenFunctionMenu(WPARAM nId, LPARAM nEvent);
    void OpenSubmenu(const Submenu& submenu, WPARAM nId);
    CWndPopup* CreateSubmenuPopup(const Submenu& submenu) const;
    void CloseSubmenus();
    // Closes the menu and its submenus; the button of the menu no longer draws pressed.
    void CloseFunctionMenu();
    bool AnySubmenuOpen() const;
    void BringSubmenusToFront();
    bool IsPointerOverFunctionMenu() const;

    void StoreMenuChoice(WPARAM nId, const PopupResult& result);
    void StoreSubmenuChoice(const Submenu& submenu, WPARAM nId, const PopupResult& result);
    void StoreMacroChoice(WPARAM nId, const PopupResult& result);
    // Name, value and path into programmable key k of the active slot, and the name on its button,
    // which no longer looks pressed.
    // The button shows its new function and its menu as closed; answers the programmable key's
    // index for the session's call.
    int ShowAssigned(CComboButton& button, const std::string& strName);

    void OnFunctionMenuGone(WPARAM nId, LPARAM nKind);
    void OnSubmenuGone(const Submenu& submenu, LPARAM nKind);

    // The shortcut and quick-launch dialogs: the menu names the key, the dialog runs from a posted
    // message once the popup's click handler has returned, and its result goes to that key.
    void BeginDialogFor(WPARAM nId, UINT& nTarget, UINT nRunMessage);
    void RunShortcutDialog();
    void RunQuickLaunchDialog();
    void StoreShortcut(const PopupResult* pResult);
    void StoreQuickLaunch(const std::string* pPath, const PopupResult* pResult);

    CMainWindowHost& m_host;
    // The keys "Assign a Shortcut" and "Quick Launch" were last chosen for (0: none yet).
    UINT m_nShortcutTarget = 0;
    UINT m_nQuickLaunchTarget = 0;
};
