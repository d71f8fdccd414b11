#include "AppIcon.h"

#include "SkinPaint.h"

#include <QLinearGradient>
#include <QPainter>

QImage DrawAppIcon(int nSize)
{
    QImage image = NewCanvas(nSize, nSize);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(nSize / 64.0, nSize / 64.0);
    const QRectF plate(3, 3, 58, 58);
    QLinearGradient fill(plate.topLeft(), plate.bottomRight());
    fill.setColorAt(0, QColor(30, 70, 132));
    fill.setColorAt(1, QColor(6, 16, 38));
    painter.setPen(QPen(Palette::Border, 2));
    painter.setBrush(fill);
    painter.drawRoundedRect(plate, 13, 13);
    DrawLitKeycap(painter, QRectF(15, 14, 34, 34), 26, nSize >= 32 ? 5 : 0, 120);
    painter.end();
    return image;
}

void DrawLitKeycap(QPainter& painter, const QRectF& cap, int nLetterPixels, int nGlowSpread, int nGlowAlpha)
{
    if (nGlowSpread > 0)
        DrawGlow(painter, cap, 7, Palette::Highlight, nGlowSpread, nGlowAlpha);
    QLinearGradient capFill(cap.topLeft(), cap.bottomLeft());
    capFill.setColorAt(0, QColor(96, 196, 248));
    capFill.setColorAt(1, QColor(56, 150, 214));
    painter.setPen(QPen(QColor(210, 238, 255), 1.5));
    painter.setBrush(capFill);
    painter.drawRoundedRect(cap, 7, 7);
    TextStyle style;
    style.m_nPixelSize = nLetterPixels;
    style.m_nMinPixelSize = nLetterPixels - 6;
    style.m_nWeight = QFont::Black;
    // Dark ink on the lit cap, as the remapped keys of the keyboard picture show it.
    style.m_colour = QColor(4, 22, 48);
    DrawFittedText(painter, cap.adjusted(0, -1, 0, -1), "Q", style);
}
