#include "app/OSDDialog.h"

#include <QGuiApplication>
#include <QPainter>
#include <QtMath>
#include <QScreen>

#include "skin/SkinDraw.h"

COSDDialog::COSDDialog()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(Width, Height);
    setWindowOpacity(Alpha / 255.0);
}

void COSDDialog::SetText(const std::string& strText)
{
    m_strText = strText;
    update();
}

void COSDDialog::ShowInCorner()
{
    QRect rcWork(0, 0, Width, Height);
    if (const QScreen* pScreen = QGuiApplication::primaryScreen())
        rcWork = pScreen->availableGeometry();
    move(rcWork.x() + rcWork.width() - Width, rcWork.y() + rcWork.height() - Height);
    show();
}

QImage COSDDialog::Render() const
{
    // At the screen's device pixel ratio, so the text stays sharp above 100 %.
    const qreal dRatio = devicePixelRatioF();
    QImage img(qCeil(Width * dRatio), qCeil(Height * dRatio), QImage::Format_RGB32);
    img.setDevicePixelRatio(dRatio);
    QPainter dc(&img);
    FillSolid(&dc, CRect(0, 0, Width, Height), Background);
    dc.setPen(Qt::white);
    dc.setFont(SkinFont(24, 12, 700));
    // One line from the text position, never wrapped; what does not fit runs off the window.
    dc.drawText(QRect(TextLeft, TextTop, 4 * Width, Height), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                QString::fromStdString(m_strText));
    return img;
}

void COSDDialog::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    dc.drawImage(0, 0, Render());
}
