// Pictures of the keycaps and of the page and profile tabs, frame by frame in the state order
// the toolkit cuts their strips in.

#include "TabAndKeyArt.h"

#include "SkinPaint.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <QFontMetricsF>

#include <cmath>
#include <numbers>

// ----- Keys -----------------------------------------------------------------

static bool IsArrowLegend(const QString& strLegend, int& nDirection)
{
    static const QString arrows[4] = {QString::fromUtf8("\xE2\x86\x91"), QString::fromUtf8("\xE2\x86\x92"),
                                      QString::fromUtf8("\xE2\x86\x93"), QString::fromUtf8("\xE2\x86\x90")};
    for (int i = 0; i < 4; ++i)
        if (strLegend == arrows[i])
        {
            nDirection = i;
            return true;
        }
    return false;
}

static void DrawKeyFrame(QPainter& painter, const QRectF& frame, int nState, const QString& strLegend)
{
    DrawKeyFace(painter, frame, nState);
    const qreal dDrop = nState == FramePressed ? 1 : 0;
    const QRectF face = frame.adjusted(2, 2 + dDrop, -2, -3 + dDrop);
    // A pressed or remapped key is lit; its legend turns dark ink on the light face.
    const QColor legend = nState == FramePressed  ? QColor(4, 22, 48)
                          : nState == FrameNormal ? QColor(226, 236, 250)
                                                  : Palette::Text;
    if (nState == FramePressed)
        DrawGlow(painter, frame.adjusted(1, 1, -1, -1), 3, QColor(255, 255, 255), 1, 90);
    int nDirection = 0;
    if (IsArrowLegend(strLegend, nDirection))
    {
        const qreal dSize = std::min(face.width(), face.height()) * 0.72;
        DrawArrowGlyph(painter, face.center(), dSize, nDirection, legend);
        return;
    }
    TextStyle style;
    style.m_colour = legend;
    style.m_bCondensed = true;
    // Every legend at one size, 8 px capitals: short legends stand for the long key names.
    style.m_nPixelSize = 11;
    style.m_nMinPixelSize = 11;
    if (strLegend.size() == 1)
    {
        style.m_nWeight = QFont::Bold;
        style.m_bCondensed = false;
    }
    else
    {
        const qreal dBold = QFontMetricsF(UiFont(11, QFont::DemiBold, true)).horizontalAdvance(strLegend);
        style.m_nWeight = dBold <= face.width() - 1 ? QFont::DemiBold : QFont::Normal;
        if (style.m_nWeight == QFont::Normal &&
            QFontMetricsF(UiFont(11, QFont::Normal, true)).horizontalAdvance(strLegend) > face.width() - 1)
            style.m_dLetterSpacing = -0.5;
    }
    DrawFittedText(painter, face.adjusted(0, 0, 0, 1), strLegend, style);
}

QImage KeyStrip(const KeyButtonLayout& key)
{
    const QString strLegend = QString::fromUtf8(key.m_pszLegend);
    return MakeStrip(key.m_nWidth, key.m_nHeight, 3,
                     [&](QPainter& painter, const QRectF& frame, int nState)
                     { DrawKeyFrame(painter, frame, nState, strLegend); });
}

// ----- Tabs -----------------------------------------------------------------

// Page tabs hang from the bottom edge of the page panel: square top, round bottom.
QImage PageTab(int nWidth, int nHeight, const QString& strLabel)
{
    return MakeStrip(nWidth, nHeight, 3,
                     [&](QPainter& painter, const QRectF& frame, int nState)
                     {
                         QPainterPath shape;
                         const QRectF r = PixelRect(frame.adjusted(0, -4, 0, 0));
                         shape.addRoundedRect(r, 6, 6);
                         SetFacePenAndBrush(painter, frame, nState,
                                            {QColor(16, 36, 74), QColor(10, 24, 54), QColor(54, 88, 138)},
                                            {QColor(30, 68, 124), QColor(18, 44, 92), Palette::Border},
                                            {QColor(28, 104, 168), QColor(16, 72, 128), QColor(182, 222, 252)});
                         painter.drawPath(shape);
                         if (nState == FramePressed)
                         {
                             // Lit strip where the tab joins the page.
                             painter.setPen(Qt::NoPen);
                             painter.setBrush(QColor(200, 236, 255));
                             painter.drawRect(QRectF(3, 0, frame.width() - 6, 2));
                         }
                         TextStyle style;
                         // One size and weight on every tab and state: "Lighting" no longer shrinks below the rest.
                         style.m_nPixelSize = 10;
                         style.m_nMinPixelSize = 10;
                         style.m_nWeight = QFont::DemiBold;
                         style.m_colour = nState == FrameNormal ? Palette::TextDim : Palette::Text;
                         DrawFittedText(painter, frame.adjusted(3, 2, -3, 0), strLabel, style);
                     });
}

// Profile tabs: pills with a status light that is lit on the active profile.
QImage ProfileTab(int nWidth, int nHeight, const QString& strLabel)
{
    return MakeStrip(nWidth, nHeight, 3,
                     [&](QPainter& painter, const QRectF& frame, int nState)
                     {
                         const QRectF r = PixelRect(frame);
                         SetFacePenAndBrush(painter, frame, nState,
                                            {QColor(18, 40, 80), QColor(10, 24, 54), QColor(54, 88, 138)},
                                            {QColor(32, 72, 130), QColor(18, 44, 92), Palette::Border},
                                            {QColor(28, 104, 168), QColor(16, 72, 128), QColor(190, 228, 255)});
                         painter.drawRoundedRect(r, r.height() / 2, r.height() / 2);
                         const QPointF led(11, frame.height() / 2);
                         painter.setPen(Qt::NoPen);
                         if (nState == FramePressed)
                         {
                             QRadialGradient glow(led, 5);
                             glow.setColorAt(0, QColor(255, 255, 255));
                             glow.setColorAt(0.5, QColor(210, 245, 255));
                             glow.setColorAt(1, QColor(210, 245, 255, 0));
                             painter.setBrush(glow);
                             painter.drawEllipse(led, 5, 5);
                         }
                         else
                         {
                             painter.setBrush(nState == FrameHover ? QColor(96, 140, 190) : QColor(40, 62, 98));
                             painter.drawEllipse(led, 2.5, 2.5);
                         }
                         TextStyle style;
                         // One size and weight in every state, so the three tabs read alike selected or not.
                         style.m_nPixelSize = 10;
                         style.m_nMinPixelSize = 10;
                         style.m_nWeight = QFont::DemiBold;
                         style.m_colour = nState == FrameNormal ? Palette::TextDim : Palette::Text;
                         DrawFittedText(painter, frame.adjusted(18, 0, -6, 0), strLabel, style);
                     });
}
