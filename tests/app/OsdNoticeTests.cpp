// The on-screen display as the desktop's notifications (the Wayland way), against a stand-in
// notification service on a private session bus that records the calls it gets.

#include "MainWindowTestSupport.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>

#include "app/DesktopNotice.h"
#include "app/OsdHandler.h"
#include "mainwindow/MainWindowIds.h"

using namespace MainWindow;

namespace
{
// What a notification service is asked, as the desktop's own would be.
class CStandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString strApp;
        uint nReplaces;
        QString strIcon, strSummary, strBody;
        QStringList actions;
        QVariantMap hints;
        int nExpireMs;
    };
    std::vector<Call> m_vecCalls;

public slots:
    uint Notify(const QString& strApp, uint nReplaces, const QString& strIcon, const QString& strSummary,
                const QString& strBody, const QStringList& actions, const QVariantMap& hints, int nExpireMs)
    {
        m_vecCalls.push_back({strApp, nReplaces, strIcon, strSummary, strBody, actions, hints, nExpireMs});
        return nReplaces != 0 ? nReplaces : 40 + static_cast<uint>(m_vecCalls.size());
    }
};

class OsdNoticeTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed (scripts/setup-deps.sh installs it)";
        m_bus.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        ASSERT_TRUE(m_bus.waitForReadyRead(5000));
        m_strAddress = QString::fromLatin1(m_bus.readLine()).trimmed();
        Open();
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("osd-program"));
        QDBusConnection::disconnectFromBus(QStringLiteral("osd-service"));
        m_bus.kill();
        m_bus.waitForFinished(5000);
    }
    QDBusConnection ProgramBus() { return QDBusConnection::connectToBus(m_strAddress, QStringLiteral("osd-program")); }
    void StartService()
    {
        QDBusConnection service = QDBusConnection::connectToBus(m_strAddress, QStringLiteral("osd-service"));
        ASSERT_TRUE(service.registerObject(QString::fromLatin1(CDesktopNotice::Path), &m_standIn,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QString::fromLatin1(CDesktopNotice::Service)));
    }

    QProcess m_bus;
    QString m_strAddress;
    CStandInNotifications m_standIn;
};
} // namespace

TEST_F(OsdNoticeTest, EachTextBecomesATransientNoticeOfTheProgramThatReplacesTheOneBefore)
{
    StartService();
    COsdHandler osd(Dlg(), ProgramBus());
    osd.HandleMessage(UM_SHOWOSD, 2, 0);
    ASSERT_TRUE(PumpUntil([&] { return osd.Notice()->LastId() != 0; }));
    osd.HandleMessage(UM_SHOWOSD, 5, 0);
    osd.HandleMessage(UM_SHOWOSD, 8, 0); // no text: nothing is sent
    ASSERT_TRUE(PumpUntil([&] { return m_standIn.m_vecCalls.size() >= 2; }));
    PumpPosted();

    ASSERT_EQ(m_standIn.m_vecCalls.size(), 2u);
    const CStandInNotifications::Call& first = m_standIn.m_vecCalls[0];
    EXPECT_EQ(first.strApp, "Corvane");
    EXPECT_EQ(first.nReplaces, 0u);
    EXPECT_EQ(first.strIcon, "org.corvane.Corvane");
    EXPECT_EQ(first.strSummary, QString::fromUtf8("当前设置文件 : 二"));
    EXPECT_EQ(first.strBody, "");
    EXPECT_TRUE(first.actions.isEmpty());
    EXPECT_EQ(first.hints.value(QStringLiteral("transient")), QVariant(true));
    EXPECT_EQ(first.hints.value(QStringLiteral("desktop-entry")), QVariant(QStringLiteral("org.corvane.Corvane")));
    EXPECT_EQ(first.nExpireMs, 5000);
    const CStandInNotifications::Call& second = m_standIn.m_vecCalls[1];
    EXPECT_EQ(second.nReplaces, 41u);
    EXPECT_EQ(second.strSummary, QString::fromUtf8("Windows键状态 : 使能"));
    // The desktop shows them: no window of the program's own.
    EXPECT_EQ(osd.Display(), nullptr);
}

TEST_F(OsdNoticeTest, WhereNoServiceAnswersTheDisplayWindowShowsTheTextForItsSixTicks)
{
    COsdHandler osd(Dlg(), ProgramBus());
    osd.HandleMessage(UM_SHOWOSD, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return osd.Display() != nullptr; }));
    EXPECT_EQ(osd.Display()->Text(), "当前设置文件 : 一");
    EXPECT_TRUE(osd.Display()->isVisible());
    for (int i = 0; i < 6; ++i)
        osd.HandleMessage(WM_TIMER, OsdTimerId, 0);
    EXPECT_EQ(osd.Display(), nullptr);

    // Nor without a session bus at all.
    COsdHandler osdWithoutBus(Dlg(), QDBusConnection(QStringLiteral("no-such-bus")));
    osdWithoutBus.HandleMessage(UM_SHOWOSD, 7, 0);
    ASSERT_TRUE(PumpUntil([&] { return osdWithoutBus.Display() != nullptr; }));
    EXPECT_EQ(osdWithoutBus.Display()->Text(), "所有按键状态 : 使能");
}

#include "OsdNoticeTests.moc"
