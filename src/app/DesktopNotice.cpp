#include "app/DesktopNotice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

CDesktopNotice::CDesktopNotice(const QDBusConnection& bus, std::string strAppId)
    : m_bus(bus), m_strAppId(std::move(strAppId))
{
}

void CDesktopNotice::Show(const std::string& strText, std::function<void()> fnUnanswered)
{
    if (!m_bus.isConnected())
    {
        QTimer::singleShot(0, this, std::move(fnUnanswered));
        return;
    }
    const QString strAppId = QString::fromStdString(m_strAppId);
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(Service), QString::fromLatin1(Path),
                                                       QString::fromLatin1(Service), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("transient"), true);
    hints.insert(QStringLiteral("desktop-entry"), strAppId);
    call << QString::fromLatin1(AppName) << m_nLastId << strAppId << QString::fromStdString(strText) << QString()
         << QStringList() << hints << ExpireMs;
    auto* pWatcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    QObject::connect(pWatcher, &QDBusPendingCallWatcher::finished, this,
                     [this, fnUnanswered = std::move(fnUnanswered)](QDBusPendingCallWatcher* pCall)
                     {
                         const QDBusPendingReply<uint> reply = *pCall;
                         pCall->deleteLater();
                         if (reply.isError())
                             fnUnanswered();
                         else
                             m_nLastId = reply.value();
                     });
}
