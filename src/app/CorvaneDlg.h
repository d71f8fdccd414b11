#pragma once
// The program's main window. It loads the data files, builds the controls of its four pages,
// keeps the link to the keyboard (discovery, hot-plug, read at connection, listener), the tray
// icon and the on-screen display, and tears everything down in order. It is a coordinator: each
// message goes to the handlers of src/mainwindow in turn (one per concern), which see the window
// only through CMainWindowHost.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QSocketNotifier>

#include "app/PlatformServices.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkUi.h"
#include "device/EditSession.h"
#include "mainwindow/MainWindowHandler.h"
#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "model/Macro.h"
#include "model/Profile.h"
#include "skin/DlgBase.h"
#include "storage/DataFiles.h"

class CNewFileSyncBatch;
class CMacroPageHandler;
class COsdHandler;
class CStatusLineHandler;
class CTrayIcon;
class QLineEdit;

constexpr unsigned MainWindowBitmap = 129;

class CCorvaneDlg : public CDlgBase, public CMainWindowHost, private CDeviceLinkUi
{
public:
    static constexpr UINT TemplateId = 102;

    explicit CCorvaneDlg(CPlatformServices& services);
    ~CCorvaneDlg() override;

    bool OnInitDialog() override;
    void OnOK() override; // Enter never closes the window
    // Escape, the tray's "Exit" and the window system's close end the program; with changes
    // never applied, the user is asked first (apply them, discard them, or go back).
    void OnCancel() override;
    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    void DrawBackground(QPainter* pDC, const CRect& rcClient) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    // How the window runs its modal dialogs (the reset confirmations, the attention dialog, the
    // assignment dialogs). By default each runs its own modal loop; a front end without a user
    // (tests, scripted demos) answers them here instead.
    using ModalRunner = std::function<int(CDlgBase&)>;
    void SetModalRunner(ModalRunner fnRunner) { m_fnModalRunner = std::move(fnRunner); }
    // The same for the file dialogs (macro key import and export): the runner gets the prepared
    // dialog and answers the chosen path, or false for a cancel.
    using FileDialogRunner = std::function<bool(QFileDialog&, std::string&)>;
    void SetFileDialogRunner(FileDialogRunner fnRunner) { m_fnFileDialogRunner = std::move(fnRunner); }

    // ---- CMainWindowHost (also what the window offers its front end and tests) ----
    CControlBase* FindControl(UINT nId) const override { return CDlgBase::FindControl(nId); }
    const std::vector<CControlBase*>& ControlsOf(int nList) const override { return GetControlList(nList); }
    void ShowControlList(int nList, bool bVisible) override { CDlgBase::ShowControlList(nList, bVisible); }
    QLineEdit* LoopCountEdit() const override { return m_pLoopCountEdit; }
    void RepaintControl(const CControlBase& control) override;
    void RepaintRect(const CRect& rcClient) override;
    void RepaintWindow() override;
    void OpenPopup(int nSlot, const CRect& rcClient, CWndPopup* pPopup, WPARAM wContext) override
    {
        CDlgBase::OpenPopup(nSlot, rcClient, pPopup, wContext);
    }
    void ClosePopup(int nSlot) override { CDlgBase::ClosePopup(nSlot); }
    CWndPopup* GetPopup(int nSlot) const override { return CDlgBase::GetPopup(nSlot); }
    CSkinWindow* DialogParent() override { return this; }
    int RunModalDialog(CDlgBase& dlg) override;
    bool RunFileDialog(QFileDialog& dlg, std::string& strPath) override;
    void ShowAttention(const std::string& strTitle, const std::string& strText) override;
    void PostToWindow(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    // Reloads the controls from the active slot and repaints.
    void RefreshProfileView() override;
    int ActiveSlot() const override { return m_nActiveSlot; }
    int SelectedPage() const override { return m_nSelectedPage; }
    const ProfileStore& Profiles() const override { return m_ProfileStore; }
    MacroLibrary& Library() override { return m_MacroLibrary; }
    CEditSession& Session() override { return *m_pSession; }
    void ShowCommandOutcome(EProfileCommand eCommand, const ProfileCommandOutcome& outcome) override;
    void HideWindow() override;
    void MinimiseWindow() override;

    CDeviceLink& DeviceLink() { return *m_pDeviceLink; }
    const CDataFiles& DataFiles() const { return *m_pFiles; }
    // Before DoModal: the window starts hidden in the tray, or minimised where there is no tray.
    void StartInTray();

    int SelectedSlotTab() const { return m_nSelectedSlotTab; }
    const COsdHandler& Osd() const { return *m_pOsd; }
    const CStatusLineHandler& StatusLine() const { return *m_pStatusLine; }
    // Null when the window has no tray icon (no system tray, or after the end).
    const CTrayIcon* Tray() const { return m_pTray.get(); }

    std::string AppDirectory;
    ProfileStore m_ProfileStore;
    SettingsStore m_SettingsStore;
    MacroLibrary m_MacroLibrary;

protected:
    // Whether the desktop has a system tray to hide the window into.
    virtual bool IsSystemTrayAvailable() const;

private:
    // CDeviceLinkUi
    void PostToUiThread(std::function<void()> fn) override;
    void RequestOsdText(int nTextCode) override;

    // The layout, one part per control list, in creation order.
    void CreateCommonControls(int nLeft, int nTop);
    void CreateKeyButtons(int nLeft, int nTop);
    void CreateMacroPageControls(int nLeft, int nTop);
    void CreateProgrammableKeyControls(int nLeft, int nTop);
    void CreateLightingControls(int nLeft, int nTop);
    void CreateLoopCountEdit();

    void paintEvent(QPaintEvent* pEvent) override;
    // Work nobody can see happen a moment later waits until the first frame is on the screen.
    void AfterFirstFrame();
    void AddTrayIcon();
    void OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnCommand(WPARAM wParam);
    void OnConfigKeyboard();
    void OnHotplugReadable();
    // The status line follows the keyboard after every scan, connection and removal.
    void ShowKeyboardState();
    // The disconnection message closes itself once the keyboard is connected again.
    void CloseDisconnectionMessages();
    void OnDestroy();

    CPlatformServices& m_services;
    std::unique_ptr<CDataFiles> m_pFiles;
    // The default files a first start writes reach the disk after the first frame.
    std::unique_ptr<CNewFileSyncBatch> m_pStartFileSync;
    std::unique_ptr<CDeviceLink> m_pDeviceLink;
    std::unique_ptr<CEditSession> m_pSession;
    std::unique_ptr<QSocketNotifier> m_pHotplugNotifier;
    std::unique_ptr<CTrayIcon> m_pTray;
    QLineEdit* m_pLoopCountEdit = nullptr; // a child widget; deleted at the end
    ModalRunner m_fnModalRunner;
    FileDialogRunner m_fnFileDialogRunner;

    // What the page and slot tabs select; the tabs write and draw these.
    int m_nSelectedPage = MainWindow::KeyPage;
    int m_nSelectedSlotTab = 0;
    int m_nActiveSlot = 0; // "CurrentProfile" as of the last refresh

    // Asked in this order for every message; they also paint over the page in this order (the
    // page handler's picture first).
    std::vector<std::unique_ptr<CMainWindowHandler>> m_vecHandlers;
    COsdHandler* m_pOsd = nullptr;                 // one of the handlers
    CStatusLineHandler* m_pStatusLine = nullptr;   // one of the handlers
    std::vector<CDlgBase*> m_vecDisconnectionDlgs; // open now, innermost last
    CMacroPageHandler* m_pMacroPage = nullptr;     // another
    CRect m_rcLoopCountEdit;
    bool m_bFirstFramePainted = false;
    bool m_bAfterFirstFrameDone = false;
    bool m_bDestroyed = false;
};
