#pragma once
// The program's main window: loads the data files, keeps the link to the keyboard (discovery,
// hot-plug, read at connection, listener) and the tray icon, and tears everything down in
// order. The pages and their controls are built on top of this window.

#include <memory>
#include <string>

#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include "device/DeviceLink.h"
#include "device/DeviceLinkUi.h"
#include "model/Macro.h"
#include "model/Profile.h"
#include "app/PlatformServices.h"
#include "skin/DlgBase.h"
#include "storage/DataFiles.h"

class QMenu;

constexpr UINT UM_TRAYNOTIFY = 1056; // 0x420, from the tray icon
constexpr UINT UM_SHOWOSD = 1067;    // 0x42B, on-screen text request, wParam = text code 1..7
constexpr UINT IDC_CONFIG_KEYBOARD = 2075;
constexpr unsigned MainWindowBitmap = 129;
constexpr unsigned MainIconId = 128;
constexpr const char* TrayTip = "Quelmar Keyboard";

class CCorvaneDlg : public CDlgBase, private CDeviceLinkUi
{
public:
    explicit CCorvaneDlg(CPlatformServices& services);
    ~CCorvaneDlg() override;

    bool OnInitDialog() override;
    void OnOK() override; // Enter never closes the window
    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    void DrawBackground(QPainter* pDC, const CRect& rcClient) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    // Reloads the controls from the active slot and repaints.
    void RefreshProfileView() override;

    std::string AppDirectory;
    ProfileStore m_ProfileStore;
    SettingsStore m_SettingsStore;
    MacroLibrary m_MacroLibrary;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    // CDeviceLinkUi
    void PostToUiThread(std::function<void()> fn) override;
    void ShowAttention(const std::string& strTitle, const std::string& strText) override;
    void RequestOsdText(int nTextCode) override;

    void AddTrayIcon();
    void OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnConfigKeyboard();
    void OnHotplugReadable();
    void OnDestroy();

    std::unique_ptr<CDataFiles> m_pFiles;
    CPlatformServices& m_services;
    std::unique_ptr<CDeviceLink> m_pDeviceLink;
    std::unique_ptr<QSocketNotifier> m_pHotplugNotifier;
    std::unique_ptr<QSystemTrayIcon> m_pTrayIcon;
    std::unique_ptr<QMenu> m_pTrayMenu;
    bool m_bDestroyed = false;
};
