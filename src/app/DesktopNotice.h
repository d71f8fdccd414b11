#pragma once
// The on-screen display's texts as the desktop's own notifications (org.freedesktop.Notifications
// on the session bus), for Wayland, where the program can neither place its display window in
// the corner nor make it translucent. Each text replaces the one shown before (replaces_id), is
// marked transient (not kept in the desktop's notification list), lasts the display's five
// seconds, and carries the program's icon and desktop entry, so the desktop names it.
//
// The calls do not wait: a desktop without a notification service (or a session without a bus)
// answers with an error, and the caller shows that text its own way.

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <string>

class CDesktopNotice : public QObject
{
public:
    static constexpr const char* Service = "org.freedesktop.Notifications";
    static constexpr const char* Path = "/org/freedesktop/Notifications";
    static constexpr const char* AppName = "Corvane";
    static constexpr int ExpireMs = 5000;

    // strAppId names the program's desktop entry and its icon in the icon theme.
    CDesktopNotice(const QDBusConnection& bus, std::string strAppId);

    // Shows strText in place of the notice before it; fnUnanswered runs (later, on this thread)
    // when no notification service takes it.
    void Show(const std::string& strText, std::function<void()> fnUnanswered);

    // The id the service gave the last notice shown; 0 before the first.
    unsigned LastId() const { return m_nLastId; }

private:
    QDBusConnection m_bus;
    std::string m_strAppId;
    unsigned m_nLastId = 0;
};
