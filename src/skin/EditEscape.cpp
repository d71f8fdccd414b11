#include "skin/EditEscape.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace
{

class CEscapeFilter : public QObject
{
public:
    CEscapeFilter(QLineEdit& edit, std::function<void()> fnBegin, std::function<void()> fnCancel)
        : QObject(&edit), m_fnBegin(std::move(fnBegin)), m_fnCancel(std::move(fnCancel))
    {
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        switch (pEvent->type())
        {
        case QEvent::FocusIn:
            if (m_fnBegin)
                m_fnBegin();
            return false;
        case QEvent::ShortcutOverride:
            // Taken here, so no shortcut of the window claims the key first.
            if (static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape)
            {
                pEvent->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(pEvent)->key() != Qt::Key_Escape)
                return false;
            m_fnCancel();
            return true;
        default: return QObject::eventFilter(pWatched, pEvent);
        }
    }

private:
    std::function<void()> m_fnBegin;
    std::function<void()> m_fnCancel;
};

} // namespace

void CancelEditOnEscape(QLineEdit& edit, std::function<void()> fnBegin, std::function<void()> fnCancel)
{
    edit.installEventFilter(new CEscapeFilter(edit, std::move(fnBegin), std::move(fnCancel)));
}
