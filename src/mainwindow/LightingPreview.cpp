#include "mainwindow/LightingPreview.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace
{
QColor WithAlpha(QColor colour, double dAlpha)
{
    colour.setAlphaF(std::clamp(dAlpha, 0.0, 1.0));
    return colour;
}

// Stacked translucent outlines that fade outwards.
void Glow(QPainter& painter, const QRectF& rect, qreal dRadius, const QColor& colour, int nSpread, double dAlpha)
{
    painter.setBrush(Qt::NoBrush);
    for (int i = nSpread; i >= 1; --i)
    {
        const double dFall = 1.0 - static_cast<double>(i - 1) / nSpread;
        painter.setPen(QPen(WithAlpha(colour, dAlpha * dFall * dFall), 1));
        painter.drawRoundedRect(rect.adjusted(-i, -i, i, i), dRadius + i, dRadius + i);
    }
}
} // namespace

double CLightingPreview::LevelStrength(int nLevel)
{
    if (nLevel <= 1)
        return 0.0;
    if (nLevel <= 3)
        return 0.35;
    if (nLevel <= 7)
        return 0.65;
    if (nLevel <= 15)
        return 1.0;
    return 0.7; // breathing: shown half way through a breath
}

const QImage& CLightingPreview::Picture(const QColor& light, int nLevel, const QImage& imgBackdrop)
{
    if (m_imgPicture.isNull() || m_rgbLight != light.rgb() || m_nLevel != nLevel)
    {
        m_imgPicture = Draw(light, nLevel, imgBackdrop);
        m_rgbLight = light.rgb();
        m_nLevel = nLevel;
    }
    return m_imgPicture;
}

QImage CLightingPreview::Draw(const QColor& light, int nLevel, const QImage& imgBackdrop)
{
    QImage img(Width, Height, QImage::Format_RGB32);
    img.fill(QColor(6, 16, 38));
    QPainter painter(&img);
    painter.drawImage(0, 0, imgBackdrop);
    painter.setRenderHint(QPainter::Antialiasing);
    const double dLit = LevelStrength(nLevel);
    const QRectF plate(20, 18, 330, 162);

    // Light spilling from under the keyboard onto the desk.
    painter.save();
    painter.translate(plate.center() + QPointF(0, 14));
    // Wide and flat, and faded out before the picture's edge.
    painter.scale(1.15, 0.55);
    QRadialGradient spill(QPointF(0, 0), 150);
    spill.setColorAt(0, WithAlpha(light, 0.45 * dLit));
    spill.setColorAt(0.5, WithAlpha(light, 0.15 * dLit));
    spill.setColorAt(1, WithAlpha(light, 0));
    painter.fillRect(QRectF(-150, -150, 300, 300), spill);
    painter.restore();

    Glow(painter, plate, 12, light, 8, 0.45 * dLit);
    QLinearGradient body(plate.topLeft(), plate.bottomLeft());
    body.setColorAt(0, QColor(14, 34, 70));
    body.setColorAt(1, QColor(4, 12, 30));
    painter.setPen(QPen(QColor(136, 189, 238, 200), 1.2));
    painter.setBrush(body);
    painter.drawRoundedRect(plate, 12, 12);

    // Rows of backlit keycaps, each ringed and marked in the light's colour.
    const qreal dKey = 17, dGap = 4;
    const int rows[5] = {14, 14, 13, 12, 8};
    for (int r = 0; r < 5; ++r)
    {
        for (int k = 0; k < rows[r]; ++k)
        {
            qreal w = dKey;
            if (r == 4 && k == 3)
                w = dKey * 5 + dGap * 4; // space bar
            qreal x = plate.left() + 14 + k * (dKey + dGap) + r * 5;
            if (r == 4 && k > 3)
                x += dKey * 4 + dGap * 4;
            if (x + w > plate.right() - 12)
                continue;
            const QRectF key(x + 0.5, plate.top() + 14.5 + r * (dKey + 12), w - 1, dKey + 3);
            Glow(painter, key, 3, light, 3, 0.6 * dLit);
            QLinearGradient cap(key.topLeft(), key.bottomLeft());
            cap.setColorAt(0, QColor(24, 56, 100));
            cap.setColorAt(1, QColor(12, 30, 62));
            const QColor unlit(58, 84, 122);
            painter.setPen(QPen(dLit > 0 ? WithAlpha(light, 0.35 + 0.65 * dLit) : unlit, 1.2));
            painter.setBrush(cap);
            painter.drawRoundedRect(key, 3, 3);
            painter.setPen(Qt::NoPen);
            painter.setBrush(dLit > 0 ? WithAlpha(light.lighter(120), 0.3 + 0.7 * dLit) : unlit);
            if (w > dKey)
                painter.drawRoundedRect(QRectF(key.center().x() - 12, key.center().y() - 1, 24, 2), 1, 1);
            else
                painter.drawRoundedRect(QRectF(key.center().x() - 3, key.center().y() - 3, 6, 6), 1.5, 1.5);
        }
    }
    painter.end();
    return img;
}
