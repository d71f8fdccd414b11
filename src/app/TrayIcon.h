#pragma once
// The main window's tray icon and its menu. Every tray event reaches the window as message 1056
// (wParam = icon id 128, lParam = the mouse message), and the menu's entries as commands 2075
// ("Config Keyboard") and 2 ("Exit"), so the window decides what they do.

#include <memory>

#include <QPoint>

class CSkinWindow;
class QMenu;
class QSystemTrayIcon;

class CTrayIcon
{
public:
    static constexpr unsigned IconId = 128;
    static constexpr const char* Tip = "Quelmar Keyboard";
    // Mouse messages carried in lParam of message 1056.
    static constexpr long DoubleClick = 0x0203; // left button double click
    static constexpr long RightButtonUp = 0x0205;

    explicit CTrayIcon(CSkinWindow& window);
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Puts the icon in the system tray.
    void Add();
    void Remove();

    // The menu: "Config Keyboard", a separator, "Exit".
    QMenu& Menu() const { return *m_pMenu; }
    void ShowMenuAt(const QPoint& ptGlobal);

private:
    CSkinWindow& m_window;
    std::unique_ptr<QMenu> m_pMenu;
    std::unique_ptr<QSystemTrayIcon> m_pIcon;
};
