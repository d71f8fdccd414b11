#include "mainwindow/FunctionMenuHandler.h"

#include <QCursor>

#include "device/EditSession.h"
#include "device/DeviceProtocol.h"
#include "dialogs/QuickLaunchDlg.h"
#include "dialogs/ShortcutDlg.h"
#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "model/Macro.h"
#include "model/Profile.h"
#include "skin/Buttons.h"
#include "skin/Popups.h"

using namespace MainWindow;

// Multimedia, web and system keys, mouse functions, macros: each opens level with its entry of
// the function menu, a few pixels into the menu's right edge.
const CFunctionMenuHandler::Submenu CFunctionMenuHandler::Submenus[4] = {
    {PopupSlotMultimedia, 1, 16, 300},
    {PopupSlotWindowManage, 2, 32, 300},
    {PopupSlotMouseFunction, 3, 48, 157},
    {PopupSlotMacroLibrary, 4, -2, 300},
};

namespace
{
constexpr int FunctionMenuBoxSize = 300;
constexpr int SubmenuOverlap = 6; // a submenu starts this far left of the button's right edge
} // namespace

const CFunctionMenuHandler::Submenu* CFunctionMenuHandler::SubmenuOfSlot(int nSlot)
{
    for (const Submenu& submenu : Submenus)
        if (submenu.nSlot == nSlot)
            return &submenu;
    return nullptr;
}

bool CFunctionMenuHandler::FitsTheKeyboard(const MacroKey& key)
{
    // The encoder leaves out what does not fit, so compare the key events it wrote with those
    // the macro holds (keys without a keyboard code are never sent, so they do not count).
    ReportBuffer report{};
    const size_t nSteps = EncodeMacroSteps(key, report.data());
    size_t nKeysWritten = 0;
    for (size_t i = 0; i < nSteps; ++i)
        if (report[MacroStepsOffset + 2 * i] >= 4)
            ++nKeysWritten;
    size_t nKeysHeld = 0;
    const unsigned nCount = std::min(key.m_nActionCount, MacroActionSlots);
    for (unsigned i = 0; i < nCount; ++i)
        if (key.m_actions[i].IsKey() && VkToDeviceCode[key.m_actions[i].Vk()] >= 4)
            ++nKeysHeld;
    return nKeysWritten >= nKeysHeld;
}

bool CFunctionMenuHandler::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    const auto* pResult = reinterpret_cast<const PopupResult*>(lParam);
    switch (nMsg)
    {
    case UM_OPEN_FUNCTION_MENU: OpenFunctionMenu(wParam, lParam); return true;
    case UM_FUNCTION_RESULT:
        // A press on an entry with a submenu (wParam 0) only keeps the submenus in view.
        if (wParam == 0)
            BringSubmenusToFront();
        else if (pResult)
            StoreMenuChoice(wParam, *pResult);
        return true;
    case UM_HOVER_MULTIMEDIA: OpenSubmenu(Submenus[0], wParam); return true;
    case UM_HOVER_WINDOW_MANAGE: OpenSubmenu(Submenus[1], wParam); return true;
    case UM_HOVER_MOUSE_FUNCTION: OpenSubmenu(Submenus[2], wParam); return true;
    case UM_HOVER_MACRO: OpenSubmenu(Submenus[3], wParam); return true;
    case UM_HOVER_PLAIN:
        CloseSubmenus();
        if (CWndPopup* pMenu = m_host.GetPopup(PopupSlotFunctionMenu))
            pMenu->BringToFront();
        return true;
    case UM_MULTIMEDIA_RESULT:
    case UM_WINDOW_MANAGE_RESULT:
    case UM_MOUSE_FUNCTION_RESULT:
    case UM_MACRO_LIBRARY_RESULT:
    {
        const Submenu* pSubmenu = nMsg == UM_MULTIMEDIA_RESULT       ? &Submenus[0]
                                  : nMsg == UM_WINDOW_MANAGE_RESULT  ? &Submenus[1]
                                  : nMsg == UM_MOUSE_FUNCTION_RESULT ? &Submenus[2]
                                                                     : &Submenus[3];
        if (wParam == 0)
            BringSubmenusToFront();
        else if (pResult && pSubmenu->nSlot == PopupSlotMacroLibrary)
            StoreMacroChoice(wParam, *pResult);
        else if (pResult)
            StoreSubmenuChoice(*pSubmenu, wParam, *pResult);
        return true;
    }
    case UM_ASSIGN_SHORTCUT: BeginDialogFor(wParam, m_nShortcutTarget, UM_RUN_SHORTCUT_DIALOG); return true;
    case UM_RUN_SHORTCUT_DIALOG: RunShortcutDialog(); return true;
    case UM_SHORTCUT_RESULT: StoreShortcut(pResult); return true;
    case UM_ASSIGN_QUICK_LAUNCH: BeginDialogFor(wParam, m_nQuickLaunchTarget, UM_RUN_QUICK_LAUNCH_DIALOG); return true;
    case UM_RUN_QUICK_LAUNCH_DIALOG: RunQuickLaunchDialog(); return true;
    case UM_QUICK_LAUNCH_RESULT: StoreQuickLaunch(reinterpret_cast<const std::string*>(wParam), pResult); return true;
    case UM_FUNCTION_GONE: OnFunctionMenuGone(wParam, lParam); return true;
    case UM_MULTIMEDIA_GONE: OnSubmenuGone(Submenus[0], lParam); return true;
    case UM_WINDOW_MANAGE_GONE: OnSubmenuGone(Submenus[1], lParam); return true;
    case UM_MOUSE_FUNCTION_GONE: OnSubmenuGone(Submenus[2], lParam); return true;
    case UM_MACRO_LIBRARY_GONE: OnSubmenuGone(Submenus[3], lParam); return true;
    default: return false;
    }
}

void CFunctionMenuHandler::Refresh(const ProfileRecord& record)
{
    for (int k = 0; k < ProgrammableKeyCount; ++k)
        if (CComboButton* pButton = ProgrammableButton(IDC_PROGRAMMABLE_KEY_FIRST + static_cast<UINT>(k)))
        {
            pButton->SetCaption(record.m_keys[static_cast<size_t>(k)].m_strName);
            pButton->SetToolTipSource([this, k] { return ProgrammableKeyToolTip(k); });
        }
}

std::string CFunctionMenuHandler::ProgrammableKeyToolTip(int k) const
{
    // The keyboard's own name of the key, then what it does: "G2: macro Greeting".
    const ProgrammableKey& key = m_host.Profiles()[ActiveSlot()].m_keys[static_cast<size_t>(k)];
    std::string strDoes;
    switch (key.m_value.m_nKind)
    {
    case 0x00: strDoes = "no function"; break;
    case 0x01: strDoes = "macro " + key.m_strName; break;
    case 0x06: strDoes = "keys " + key.m_strName; break;
    case 0x07: strDoes = "starts " + (key.m_strUrl.empty() ? key.m_strName : key.m_strUrl); break;
    default: strDoes = key.m_strName; break;
    }
    return "G" + std::to_string(k + 1) + ": " + strDoes;
}

CComboButton* CFunctionMenuHandler::ProgrammableButton(WPARAM nId) const
{
    if (!IsProgrammableKeyId(static_cast<UINT>(nId)))
        return nullptr;
    return dynamic_cast<CComboButton*>(m_host.FindControl(static_cast<UINT>(nId)));
}

int CFunctionMenuHandler::ActiveSlot() const
{
    return m_host.ActiveSlot();
}

// ---- Opening and closing ----

void CFunctionMenuHandler::OpenFunctionMenu(WPARAM nId, LPARAM nEvent)
{
    CComboButton* pButton = ProgrammableButton(nId);
    if (nEvent != NOTIFY_CLICK || !pButton)
        return;
    CloseFunctionMenu();
    pButton->SetPopupOpen(true);
    const CRect rcButton = pButton->GetRect();
    const CRect rcBox(rcButton.left, rcButton.bottom, rcButton.left + FunctionMenuBoxSize,
                      rcButton.bottom + FunctionMenuBoxSize);
    m_host.OpenPopup(PopupSlotFunctionMenu, rcBox, new CComboPopup, nId);
}

CWndPopup* CFunctionMenuHandler::CreateSubmenuPopup(const Submenu& submenu) const
{
    switch (submenu.nSlot)
    {
    case PopupSlotMultimedia: return new CProfilePopup;
    case PopupSlotWindowManage: return new CDPIPopup;
    case PopupSlotMouseFunction: return new CMultimediaPopup;
    default:
        return new CMacroLibraryPopup(&m_host.Library(), [](const MacroKey& key)
                                      { return FitsTheKeyboard(key) ? std::string() : std::string(TooLongTag); });
    }
}

void CFunctionMenuHandler::OpenSubmenu(const Submenu& submenu, WPARAM nId)
{
    const CComboButton* pButton = ProgrammableButton(nId);
    if (!pButton || m_host.GetPopup(submenu.nSlot))
        return;
    CloseSubmenus();
    const CRect rcButton = pButton->GetRect();
    const int x = rcButton.right - SubmenuOverlap;
    const int y = rcButton.bottom + submenu.nOffsetY;
    m_host.OpenPopup(submenu.nSlot, CRect(x, y, x + submenu.nBoxWidth, y + FunctionMenuBoxSize),
                     CreateSubmenuPopup(submenu), nId);
}

void CFunctionMenuHandler::CloseSubmenus()
{
    for (const Submenu& submenu : Submenus)
        m_host.ClosePopup(submenu.nSlot);
}

void CFunctionMenuHandler::CloseFunctionMenu()
{
    if (const CWndPopup* pMenu = m_host.GetPopup(PopupSlotFunctionMenu))
    {
        if (CComboButton* pButton = ProgrammableButton(pMenu->GetPopupContext()))
        {
            pButton->SetPopupOpen(false);
            m_host.RepaintControl(*pButton);
        }
    }
    // A submenu never outlives the menu it belongs to.
    CloseSubmenus();
    m_host.ClosePopup(PopupSlotFunctionMenu);
}

bool CFunctionMenuHandler::AnySubmenuOpen() const
{
    for (const Submenu& submenu : Submenus)
        if (m_host.GetPopup(submenu.nSlot))
            return true;
    return false;
}

void CFunctionMenuHandler::BringSubmenusToFront()
{
    for (const Submenu& submenu : Submenus)
        if (CWndPopup* pPopup = m_host.GetPopup(submenu.nSlot))
            pPopup->BringToFront();
}

bool CFunctionMenuHandler::IsPointerOverFunctionMenu() const
{
    const CWndPopup* pMenu = m_host.GetPopup(PopupSlotFunctionMenu);
    return pMenu && pMenu->isVisible() && pMenu->rect().contains(pMenu->mapFromGlobal(QCursor::pos()));
}

void CFunctionMenuHandler::OnFunctionMenuGone(WPARAM nId, LPARAM nKind)
{
    // While a submenu is open the menu lost activation to it, and stays.
    if (nKind != 0 || !ProgrammableButton(nId) || AnySubmenuOpen())
        return;
    CloseFunctionMenu();
}

void CFunctionMenuHandler::OnSubmenuGone(const Submenu& submenu, LPARAM nKind)
{
    // Pointing back at the menu moves the activation there without giving up the submenu.
    if (nKind != submenu.nKind || !m_host.GetPopup(submenu.nSlot) || IsPointerOverFunctionMenu())
        return;
    if (const CWndPopup* pMenu = m_host.GetPopup(PopupSlotFunctionMenu))
        if (CComboButton* pButton = ProgrammableButton(pMenu->GetPopupContext()))
            m_host.RepaintControl(*pButton);
    m_host.ClosePopup(submenu.nSlot);
    if (!AnySubmenuOpen())
        CloseFunctionMenu();
}

// ---- Choices ----

int CFunctionMenuHandler::ShowAssigned(CComboButton& button, const std::string& strName)
{
    button.SetPopupOpen(false);
    button.SetCaption(strName);
    m_host.RepaintControl(button);
    return static_cast<int>(button.GetId() - IDC_PROGRAMMABLE_KEY_FIRST);
}

void CFunctionMenuHandler::StoreMenuChoice(WPARAM nId, const PopupResult& result)
{
    CComboButton* pButton = ProgrammableButton(nId);
    if (!pButton)
        return;
    const int nSlot = ActiveSlot();
    pButton->SetPopupOpen(false);
    CloseFunctionMenu();
    // "Default Function" comes back as a combination without its key; each programmable key has
    // its own (Ctrl with the digit of its number).
    const int k = static_cast<int>(nId - IDC_PROGRAMMABLE_KEY_FIRST);
    if (!m_host.Session().RestoreKeyFunction(nSlot, k, result.m_keyValue))
        return;
    pButton->SetCaption(m_host.Profiles()[nSlot].m_keys[static_cast<size_t>(k)].m_strName);
    m_host.RepaintControl(*pButton);
}

void CFunctionMenuHandler::StoreSubmenuChoice(const Submenu& submenu, WPARAM nId, const PopupResult& result)
{
    CComboButton* pButton = ProgrammableButton(nId);
    if (!pButton)
        return;
    m_host.Session().AssignKeyFunction(ActiveSlot(), ShowAssigned(*pButton, result.m_strName), result.m_strName,
                                       result.m_keyValue);
    m_host.ClosePopup(submenu.nSlot);
    CloseFunctionMenu();
}

void CFunctionMenuHandler::StoreMacroChoice(WPARAM nId, const PopupResult& result)
{
    CComboButton* pButton = ProgrammableButton(nId);
    if (!pButton)
        return;
    m_host.ClosePopup(PopupSlotMacroLibrary);
    CloseFunctionMenu();
    // Whatever the list sent, the key holds a library macro, found by its name when sent.
    m_host.Session().AssignMacro(ActiveSlot(), ShowAssigned(*pButton, result.m_strName), result.m_strName);
}

// ---- Shortcut and quick launch ----

void CFunctionMenuHandler::BeginDialogFor(WPARAM nId, UINT& nTarget, UINT nRunMessage)
{
    CComboButton* pButton = ProgrammableButton(nId);
    if (!pButton)
        return;
    pButton->SetPopupOpen(false);
    CloseFunctionMenu();
    nTarget = static_cast<UINT>(nId);
    // Posted, so that the popup's click handler has returned before the modal loop starts.
    m_host.PostToWindow(nRunMessage, 0, 0);
}

void CFunctionMenuHandler::RunShortcutDialog()
{
    CShortcutDlg dlg(m_host.DialogParent());
    m_host.RunModalDialog(dlg);
}

void CFunctionMenuHandler::RunQuickLaunchDialog()
{
    CQuickLaunchDlg dlg(m_host.DialogParent());
    m_host.RunModalDialog(dlg);
}

void CFunctionMenuHandler::StoreShortcut(const PopupResult* pResult)
{
    CComboButton* pButton = ProgrammableButton(m_nShortcutTarget);
    if (!pButton || !pResult)
        return;
    m_host.Session().AssignKeyFunction(ActiveSlot(), ShowAssigned(*pButton, pResult->m_strName), pResult->m_strName,
                                       pResult->m_keyValue);
}

void CFunctionMenuHandler::StoreQuickLaunch(const std::string* pPath, const PopupResult* pResult)
{
    CComboButton* pButton = ProgrammableButton(m_nQuickLaunchTarget);
    if (!pButton || !pResult || !pPath)
        return;
    m_host.Session().AssignQuickLaunch(ActiveSlot(), ShowAssigned(*pButton, pResult->m_strName), pResult->m_strName,
                                       *pPath);
}
