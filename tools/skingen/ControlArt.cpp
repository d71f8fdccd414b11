// Pictures of the controls: every strip is drawn frame by frame in the state
// order the toolkit cuts it in.

#include "AppIcon.h"
#include "Artwork.h"
#include "KeyButtonLayout.h"
#include "SkinPaint.h"
#include "TabAndKeyArt.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <QFontMetricsF>

#include <cmath>
#include <numbers>

namespace
{

// ----- Buttons --------------------------------------------------------------

enum EGlyph
{
    GlyphNone,
    GlyphPlus,
    GlyphCross,
    GlyphImport,
    GlyphExport,
    GlyphReset
};

void DrawSmallGlyph(QPainter& painter, const QPointF& c, EGlyph eGlyph, const QColor& colour)
{
    painter.save();
    painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    switch (eGlyph)
    {
    case GlyphPlus:
        painter.drawLine(c + QPointF(-4, 0), c + QPointF(4, 0));
        painter.drawLine(c + QPointF(0, -4), c + QPointF(0, 4));
        break;
    case GlyphCross: DrawCrossGlyph(painter, c, 7, 1.6, colour); break;
    case GlyphImport:
    case GlyphExport:
    {
        // A tray with an arrow going into it (import) or out of it (export).
        painter.drawPolyline(QPolygonF({c + QPointF(-5, 1), c + QPointF(-5, 5), c + QPointF(5, 5), c + QPointF(5, 1)}));
        const qreal dDir = eGlyph == GlyphImport ? 1 : -1;
        painter.drawLine(c + QPointF(0, -5), c + QPointF(0, 2));
        const QPointF tip = eGlyph == GlyphImport ? c + QPointF(0, 2) : c + QPointF(0, -5);
        painter.drawLine(tip, tip + QPointF(-3, -3 * dDir));
        painter.drawLine(tip, tip + QPointF(3, -3 * dDir));
        break;
    }
    case GlyphReset:
    {
        // A circular arrow.
        const QRectF arc(c.x() - 5, c.y() - 5, 10, 10);
        painter.drawArc(arc, 60 * 16, 290 * 16);
        const QPointF head =
            c + QPointF(5 * std::cos(60 * std::numbers::pi / 180), -5 * std::sin(60 * std::numbers::pi / 180));
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(
            QPolygonF({head + QPointF(-3.5, -2.2), head + QPointF(2.0, -3.2), head + QPointF(0.6, 2.4)}));
        break;
    }
    default: break;
    }
    painter.restore();
}

QImage TextButton(int nWidth, int nHeight, const QString& strLabel, EGlyph eGlyph, bool bAccent = false)
{
    return MakeStrip(nWidth, nHeight, 3,
                     [&](QPainter& painter, const QRectF& frame, int nState)
                     {
                         DrawButtonFace(painter, frame, nState, 4, bAccent);
                         const QColor text = ButtonTextColour(nState);
                         const qreal dDrop = nState == FramePressed ? 1 : 0;
                         TextStyle style;
                         style.m_nPixelSize = 11;
                         style.m_nMinPixelSize = 8;
                         style.m_nWeight = QFont::DemiBold;
                         style.m_colour = text;
                         if (eGlyph == GlyphNone)
                         {
                             DrawFittedText(painter, frame.adjusted(4, dDrop, -4, dDrop), strLabel, style);
                             return;
                         }
                         // Glyph and label centred together.
                         const QFont font = UiFont(11, QFont::DemiBold);
                         const qreal dText = QFontMetricsF(font).horizontalAdvance(strLabel);
                         const qreal dTotal = 12 + 5 + dText;
                         const qreal x0 = std::max<qreal>(4, (frame.width() - dTotal) / 2);
                         DrawSmallGlyph(painter, QPointF(x0 + 6, frame.height() / 2 + dDrop), eGlyph,
                                        nState == FrameNormal ? Palette::Border : Palette::Text);
                         style.m_nAlign = Qt::AlignLeft | Qt::AlignVCenter;
                         DrawFittedText(painter, QRectF(x0 + 17, dDrop, frame.width() - x0 - 19, frame.height()),
                                        strLabel, style);
                     });
}

// Round header buttons of the main window.
// The close button's box lies ten pixels below the minimise button's; each draws a smaller round
// button at the near end of its box (close at the top, minimise at the bottom), so the two sit
// on one line and the rest of each box is the header.
QImage RoundHeaderButton(int nSize, bool bClose)
{
    return MakeStrip(nSize, nSize, 3,
                     [&](QPainter& painter, const QRectF& frame, int nState)
                     {
                         const qreal d = 14;
                         const QRectF r(frame.left() + (nSize - d) / 2, bClose ? 0.5 : nSize - d - 0.5, d, d);
                         QColor fill, edge, glyph;
                         if (nState == FrameNormal)
                         {
                             fill = QColor(14, 34, 70);
                             edge = QColor(80, 124, 182);
                             glyph = Palette::Border;
                         }
                         else if (nState == FrameHover)
                         {
                             fill = bClose ? QColor(196, 58, 64) : QColor(36, 96, 160);
                             edge = bClose ? QColor(255, 170, 170) : Palette::Border;
                             glyph = Palette::Text;
                         }
                         else
                         {
                             fill = bClose ? QColor(150, 34, 42) : Palette::Highlight;
                             edge = Palette::Text;
                             glyph = Palette::Text;
                         }
                         painter.setPen(QPen(edge, 1.2));
                         painter.setBrush(fill);
                         painter.drawEllipse(r);
                         const QPointF c = r.center();
                         if (bClose)
                         {
                             DrawCrossGlyph(painter, c, d * 0.4, 1.6, glyph);
                         }
                         else
                         {
                             painter.setPen(QPen(glyph, 1.6, Qt::SolidLine, Qt::RoundCap));
                             painter.drawLine(c + QPointF(-d * 0.25, 0), c + QPointF(d * 0.25, 0));
                         }
                     });
}

enum EActionGlyph
{
    ActionOk,
    ActionApply,
    ActionCancel
};

// The small OK / Apply / Cancel icon buttons of the header. Their boxes differ in height but end
// on one line; each draws the same 30 x 20 face at the bottom of its box, so the three read as
// one row, and the rest of the box is the header.
QImage ActionButton(int nWidth, int nHeight, EActionGlyph eGlyph)
{
    return MakeStrip(nWidth, nHeight, 3,
                     [&](QPainter& painter, const QRectF& box, int nState)
                     {
                         const QRectF frame(box.left(), box.bottom() - 20, box.width(), 20);
                         DrawButtonFace(painter, frame, nState, 5);
                         const QColor glyph = nState == FrameNormal ? Palette::Border : Palette::Text;
                         const qreal dDrop = nState == FramePressed ? 1 : 0;
                         const QPointF c = frame.center() + QPointF(0, dDrop);
                         const qreal s = std::min(frame.width(), frame.height());
                         switch (eGlyph)
                         {
                         case ActionOk: DrawCheckGlyph(painter, c, s * 0.55, 2.4, glyph); break;
                         case ActionCancel: DrawCrossGlyph(painter, c, s * 0.38, 2.2, glyph); break;
                         case ActionApply:
                         {
                             // Arrow down onto a bar: send to the keyboard.
                             painter.setPen(QPen(glyph, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                             painter.drawLine(c + QPointF(0, -6), c + QPointF(0, 2));
                             painter.drawLine(c + QPointF(-4, -2), c + QPointF(0, 2));
                             painter.drawLine(c + QPointF(4, -2), c + QPointF(0, 2));
                             painter.drawLine(c + QPointF(-6, 6), c + QPointF(6, 6));
                             break;
                         }
                         }
                     });
}

QImage BrowseButton()
{
    return MakeStrip(22, 18, 3,
                     [&](QPainter& painter, const QRectF& frame, int nState)
                     {
                         DrawButtonFace(painter, frame, nState, 3);
                         painter.setPen(Qt::NoPen);
                         painter.setBrush(ButtonTextColour(nState));
                         const qreal y = frame.height() / 2 + (nState == FramePressed ? 1.5 : 0.5);
                         for (int i = -1; i <= 1; ++i)
                             painter.drawEllipse(QPointF(frame.width() / 2 + i * 5, y), 1.4, 1.4);
                     });
}

// ----- Check boxes and the record toggle -----------------------------------

QImage CheckBoxStrip()
{
    return MakeStrip(16, 16, 7,
                     [&](QPainter& painter, const QRectF& frame, int nFrame)
                     {
                         const bool bChecked = nFrame >= 3 && nFrame <= 5;
                         const bool bDisabled = nFrame == 6;
                         const int nMouse = bDisabled ? FrameNormal : nFrame % 3;
                         const QRectF box = PixelRect(frame.adjusted(1, 1, -1, -1));
                         QColor fill, edge;
                         if (bDisabled)
                         {
                             fill = QColor(18, 26, 42);
                             edge = QColor(50, 62, 84);
                         }
                         else if (bChecked)
                         {
                             fill = nMouse == FramePressed
                                        ? QColor(30, 112, 176)
                                        : (nMouse == FrameHover ? QColor(80, 184, 240) : Palette::Highlight);
                             edge = nMouse == FrameNormal ? QColor(150, 206, 246) : Palette::Text;
                         }
                         else
                         {
                             fill = nMouse == FramePressed ? QColor(22, 60, 108) : QColor(5, 14, 34);
                             edge = nMouse == FrameNormal ? QColor(96, 138, 192) : Palette::Border;
                         }
                         painter.setPen(QPen(edge, 1));
                         painter.setBrush(fill);
                         painter.drawRoundedRect(box, 3, 3);
                         if (bChecked)
                             DrawCheckGlyph(painter, frame.center() + QPointF(0, 0.5), 9.5, 2.0, Palette::Text);
                         else if (nMouse == FrameHover)
                             DrawGlow(painter, box, 3, Palette::Highlight, 1, 110);
                         if (bDisabled)
                         {
                             painter.setPen(QPen(QColor(60, 72, 94), 1.4, Qt::SolidLine, Qt::RoundCap));
                             painter.drawLine(QPointF(5, 8), QPointF(11, 8));
                         }
                     });
}

QImage RecordToggle()
{
    return MakeStrip(157, 29, 7,
                     [&](QPainter& painter, const QRectF& frame, int nFrame)
                     {
                         const bool bRecording = nFrame >= 3 && nFrame <= 5;
                         const bool bDisabled = nFrame == 6;
                         const int nState = bDisabled ? FrameDisabled : nFrame % 3;
                         DrawButtonFace(painter, frame, nState, 5, bRecording);
                         const QPointF dot(22, frame.height() / 2 + (nState == FramePressed ? 1 : 0));
                         painter.setPen(Qt::NoPen);
                         if (bDisabled)
                         {
                             painter.setBrush(QColor(70, 60, 70));
                             painter.drawEllipse(dot, 5, 5);
                         }
                         else if (bRecording)
                         {
                             QRadialGradient glow(dot, 9);
                             glow.setColorAt(0, QColor(255, 210, 210, 200));
                             glow.setColorAt(1, QColor(255, 80, 80, 0));
                             painter.setBrush(glow);
                             painter.drawEllipse(dot, 9, 9);
                             painter.setBrush(Palette::Text);
                             painter.drawRoundedRect(QRectF(dot.x() - 4.5, dot.y() - 4.5, 9, 9), 1.5, 1.5);
                         }
                         else
                         {
                             painter.setBrush(nState == FrameNormal ? Palette::Alert : QColor(255, 96, 96));
                             painter.drawEllipse(dot, 5.5, 5.5);
                             painter.setBrush(QColor(255, 255, 255, 90));
                             painter.drawEllipse(dot + QPointF(-1.5, -1.8), 1.8, 1.8);
                         }
                         TextStyle style;
                         style.m_nPixelSize = 12;
                         style.m_nMinPixelSize = 9;
                         style.m_nWeight = QFont::Bold;
                         style.m_colour = ButtonTextColour(nState);
                         const qreal dDrop = nState == FramePressed ? 1 : 0;
                         DrawFittedText(painter, frame.adjusted(36, dDrop, -8, dDrop),
                                        bRecording ? "Stop Recording" : "Start Recording", style);
                     });
}

// ----- Combo buttons --------------------------------------------------------

// Five frames: normal, hover/open, pressed, then two unused frames drawn as the
// normal look so a stray index never shows garbage.
QImage ComboStrip(int nWidth, int nHeight)
{
    return MakeStrip(
        nWidth, nHeight, 5,
        [&](QPainter& painter, const QRectF& frame, int nFrame)
        {
            const int nState = nFrame <= 2 ? nFrame : FrameNormal;
            const QRectF r = PixelRect(frame);
            const qreal dRadius = nHeight >= 26 ? 5 : 4;
            const qreal dButton = nHeight >= 26 ? 28 : 22;
            SetFacePenAndBrush(painter, frame, nState, {QColor(16, 38, 78), QColor(9, 24, 54), QColor(66, 104, 158)},
                               {QColor(24, 56, 104), QColor(14, 34, 72), Palette::Border},
                               {QColor(18, 60, 112), QColor(12, 40, 82), QColor(150, 210, 250)});
            painter.drawRoundedRect(r, dRadius, dRadius);
            // The drop-down segment at the right end.
            QPainterPath segment;
            const QRectF seg(r.right() - dButton, r.top(), dButton, r.height());
            segment.addRoundedRect(seg, dRadius, dRadius);
            QPainterPath square;
            square.addRect(seg.adjusted(0, 0, -dRadius, 0));
            segment = segment.united(square);
            QLinearGradient segFill(seg.topLeft(), seg.bottomLeft());
            if (nState == FrameNormal)
            {
                segFill.setColorAt(0, QColor(28, 60, 108));
                segFill.setColorAt(1, QColor(16, 38, 78));
            }
            else
            {
                segFill.setColorAt(0, QColor(80, 186, 240));
                segFill.setColorAt(1, nState == FramePressed ? QColor(24, 96, 160) : Palette::Highlight);
            }
            painter.setBrush(segFill);
            painter.drawPath(segment);
            const QPointF c = seg.center() + QPointF(0, nState == FramePressed ? 1 : 0);
            const qreal s = nHeight >= 26 ? 4.5 : 3.5;
            painter.setPen(QPen(nState == FrameNormal ? Palette::Border : Palette::Text, 1.8, Qt::SolidLine,
                                Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(QPolygonF({c + QPointF(-s, -s / 2), c + QPointF(0, s / 2), c + QPointF(s, -s / 2)}));
            // Left accent bar where the caption starts.
            painter.setPen(Qt::NoPen);
            painter.setBrush(nState == FrameNormal ? QColor(53, 160, 222, 120) : Palette::Highlight);
            painter.drawRect(QRectF(r.left() + 1, r.top() + 5, 2, r.height() - 10));
        });
}

// ----- Scroll bar -----------------------------------------------------------

QImage ScrollArrow(bool bUp)
{
    return MakeStrip(21, 17, 3,
                     [&](QPainter& painter, const QRectF& frame, int nState)
                     {
                         const QRectF r = PixelRect(frame.adjusted(1, bUp ? 1 : 0, -1, bUp ? 0 : -1));
                         painter.setPen(QPen(nState == FrameNormal ? QColor(50, 58, 72) : Palette::Highlight, 1));
                         painter.setBrush(nState == FrameNormal
                                              ? QColor(31, 31, 31)
                                              : (nState == FrameHover ? QColor(24, 60, 100) : QColor(40, 120, 180)));
                         painter.drawRoundedRect(r, 3, 3);
                         const QPointF c = r.center();
                         const qreal s = 4;
                         const qreal d = bUp ? -1 : 1;
                         painter.setPen(QPen(nState == FrameNormal ? QColor(170, 190, 214) : Palette::Text, 1.8,
                                             Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                         painter.setBrush(Qt::NoBrush);
                         painter.drawPolyline(QPolygonF(
                             {c + QPointF(-s, -d * s / 2), c + QPointF(0, d * s / 2), c + QPointF(s, -d * s / 2)}));
                     });
}

QImage ScrollTrack()
{
    QImage image = NewCanvas(21, 247);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(1, 1, 1));
    painter.setPen(QColor(22, 26, 34));
    painter.drawLine(10, 20, 10, 226);
    painter.end();
    return image;
}

// ----- List icons -----------------------------------------------------------

QImage ListIcon(int nKind)
{
    QImage image = NewCanvas(15, 15);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (nKind == 2)
    {
        // Delay: a clock face.
        painter.setPen(QPen(QColor(255, 204, 96), 1.4));
        painter.setBrush(QColor(60, 44, 10));
        painter.drawEllipse(QRectF(1.5, 1.5, 12, 12));
        painter.setPen(QPen(QColor(255, 230, 170), 1.3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(7.5, 7.5), QPointF(7.5, 4));
        painter.drawLine(QPointF(7.5, 7.5), QPointF(10, 9));
    }
    else
    {
        // Key press (arrow down onto a key) or key release (arrow up off it).
        const bool bPress = nKind == 1;
        const QColor colour = bPress ? Palette::Highlight : Palette::Border;
        painter.setPen(QPen(colour, 1));
        painter.setBrush(bPress ? QColor(20, 70, 120) : QColor(14, 34, 64));
        painter.drawRoundedRect(QRectF(1.5, 9.5, 12, 4), 1.5, 1.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(bPress ? QColor(110, 200, 250) : Palette::Text);
        if (bPress)
            painter.drawPolygon(QPolygonF({QPointF(7.5, 8.5), QPointF(3.5, 4), QPointF(11.5, 4)}));
        else
            painter.drawPolygon(QPolygonF({QPointF(7.5, 0.5), QPointF(3.5, 5), QPointF(11.5, 5)}));
        painter.drawRect(QRectF(6.5, bPress ? 0.5 : 5, 2, 3.5));
    }
    painter.end();
    return image;
}

// ----- Window icon ------------------------------------------------------------

QImage WindowIcon()
{
    return DrawAppIcon(64);
}

} // namespace

void AddControlArtwork(std::vector<GeneratedResource>& vecOut)
{
    // Keys of the keyboard picture.
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
    {
        AddPng(vecOut, key.m_nImageId, 3, KeyStrip(key), QString("keycap %1").arg(key.m_pszCaption));
        if (key.m_nImageId == SpareKeyImageTwinId)
            AddPng(vecOut, SpareKeyImageId, 3, KeyStrip(key), QString("keycap spare, as %1").arg(key.m_pszCaption));
    }

    // Page and profile tabs.
    AddPng(vecOut, 137, 3, PageTab(65, 26, "Keys"), "page tab: keys");
    AddPng(vecOut, 262, 3, PageTab(47, 26, "Macro"), "page tab: macro");
    AddPng(vecOut, 263, 3, PageTab(53, 26, "G-Keys"), "page tab: programmable keys");
    AddPng(vecOut, 264, 3, PageTab(53, 26, "Lighting"), "page tab: lighting");
    AddPng(vecOut, 171, 3, ProfileTab(68, 21, "Profile 1"), "profile tab 1");
    AddPng(vecOut, 170, 3, ProfileTab(71, 21, "Profile 2"), "profile tab 2");
    AddPng(vecOut, 169, 3, ProfileTab(71, 21, "Profile 3"), "profile tab 3");

    // Header and command buttons.
    AddPng(vecOut, 135, 3, RoundHeaderButton(22, true), "close to tray");
    AddPng(vecOut, 136, 3, RoundHeaderButton(21, false), "minimise");
    AddPng(vecOut, 166, 3, ActionButton(30, 28, ActionOk), "OK");
    AddPng(vecOut, 167, 3, ActionButton(30, 20, ActionApply), "Apply");
    AddPng(vecOut, 168, 3, ActionButton(30, 23, ActionCancel), "Cancel");
    AddPng(vecOut, 164, 3, TextButton(88, 25, "Reset Profile", GlyphNone), "reset current profile");
    AddPng(vecOut, 257, 3, TextButton(86, 25, "Reset All", GlyphNone), "reset all profiles");
    AddPng(vecOut, 267, 3, TextButton(86, 23, "New", GlyphPlus), "new macro");
    AddPng(vecOut, 268, 3, TextButton(86, 23, "Delete", GlyphCross), "delete macro");
    AddPng(vecOut, 269, 3, TextButton(86, 23, "Import", GlyphImport), "import macro");
    AddPng(vecOut, 270, 3, TextButton(86, 23, "Export", GlyphExport), "export macro");
    AddPng(vecOut, 276, 3, TextButton(99, 23, "Default", GlyphReset), "key map default");
    AddPng(vecOut, 177, 3, BrowseButton(), "browse");

    // Check boxes, combo buttons, scroll bar, list icons.
    AddPng(vecOut, 156, 7, CheckBoxStrip(), "check box");
    AddPng(vecOut, 189, 7, RecordToggle(), "record toggle");
    AddPng(vecOut, 265, 5, ComboStrip(229, 30), "programmable key combo");
    AddPng(vecOut, 266, 5, ComboStrip(166, 30), "lighting combo");
    AddPng(vecOut, 273, 5, ComboStrip(210, 21), "mouse function combo");
    AddPng(vecOut, 188, 3, ScrollArrow(true), "scroll up");
    AddPng(vecOut, 187, 3, ScrollArrow(false), "scroll down");
    AddPng(vecOut, 224, 1, ScrollTrack(), "scroll track");
    AddPng(vecOut, 191, 1, ListIcon(0), "key release");
    AddPng(vecOut, 192, 1, ListIcon(1), "key press");
    AddPng(vecOut, 193, 1, ListIcon(2), "delay");

    vecOut.push_back({EResourceKind::Icon, 128, 1, WindowIcon(), "window icon"});
}
