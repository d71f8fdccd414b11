#pragma once
// Prints "mapped" on standard output once a top-level window has been shown on the screen and
// drawn for the first time. The start-up benchmark and the end-to-end test wait for this line,
// and the bare reference window prints it the same way, so both are timed alike.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdio>

class CMappedNotice : public QObject
{
public:
    explicit CMappedNotice(QWidget& window) : m_window(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (!m_bSeen && pEvent->type() == QEvent::Expose && pObject == m_window.windowHandle() &&
            m_window.windowHandle()->isExposed())
        {
            m_bSeen = true;
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued, so the line comes after the expose has been painted and flushed.
            QMetaObject::invokeMethod(
                this,
                []
                {
                    std::fputs("mapped\n", stdout);
                    std::fflush(stdout);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& m_window;
    bool m_bSeen = false;
};
