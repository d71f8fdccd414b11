// Pictures of the dialogs: their backgrounds (title bar, body and footer, some of
// them shaped) and the key-coloured bitmap buttons that sit on them.

#include "Artwork.h"
#include "SkinPaint.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace DialogTone
{
QColor TitleBar()
{
    return QColor(16, 38, 78);
}
QColor Body()
{
    return QColor(9, 23, 52);
}
QColor Footer()
{
    return QColor(6, 17, 40);
}
} // namespace DialogTone

namespace
{

// ----- Dialogs --------------------------------------------------------------

struct DialogChrome
{
    int m_nWidth;
    int m_nHeight;
    int m_nTitleHeight;
    int m_nFooterTop;
    bool m_bShaped;
    QString m_strTitle; // empty: the dialog draws its own title
    int m_nTitleLeft;
};

QPainterPath DialogShape(const DialogChrome& chrome)
{
    QPainterPath path;
    if (chrome.m_bShaped)
        path.addRoundedRect(QRectF(0, 0, chrome.m_nWidth, chrome.m_nHeight), 9, 9);
    else
        path.addRect(QRectF(0, 0, chrome.m_nWidth, chrome.m_nHeight));
    return path;
}

void DrawDialogChrome(QPainter& painter, const DialogChrome& chrome)
{
    const QRectF all(0, 0, chrome.m_nWidth, chrome.m_nHeight);
    const QPainterPath shape = DialogShape(chrome);
    painter.save();
    painter.setClipPath(shape);
    QLinearGradient body(all.topLeft(), all.bottomLeft());
    body.setColorAt(0, DialogTone::Body().lighter(115));
    body.setColorAt(1, DialogTone::Body());
    painter.fillRect(all, body);
    QRadialGradient glow(QPointF(chrome.m_nWidth / 2.0, chrome.m_nTitleHeight), chrome.m_nWidth * 0.7);
    glow.setColorAt(0, QColor(53, 160, 222, 30));
    glow.setColorAt(1, QColor(53, 160, 222, 0));
    painter.fillRect(all, glow);
    // Title bar: flat, so the close button bitmap blends into it.
    painter.fillRect(QRectF(0, 0, chrome.m_nWidth, chrome.m_nTitleHeight), DialogTone::TitleBar());
    // Footer where the OK and Cancel bitmaps sit.
    painter.fillRect(QRectF(0, chrome.m_nFooterTop, chrome.m_nWidth, chrome.m_nHeight - chrome.m_nFooterTop),
                     DialogTone::Footer());
    painter.restore();
    DrawFadingRule(painter, 0, chrome.m_nWidth, chrome.m_nTitleHeight, Palette::Highlight, 230);
    DrawFadingRule(painter, 10, chrome.m_nWidth - 10, chrome.m_nFooterTop, Palette::Steel, 160);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::Highlight);
    // The title line of the 400 x 270 dialogs is the label at y 11..31, whose text
    // sits near its top; the accent and drawn titles centre on that text.
    const qreal dTitleCentre = chrome.m_nTitleHeight == 40 ? 19 : chrome.m_nTitleHeight / 2.0;
    painter.drawRoundedRect(QRectF(chrome.m_nTitleLeft - 10, dTitleCentre - 6, 3, 12), 1, 1);
    if (!chrome.m_strTitle.isEmpty())
    {
        TextStyle title = Label(13, Palette::TitleText, Qt::AlignLeft | Qt::AlignVCenter, QFont::Bold);
        DrawFittedText(painter, QRectF(chrome.m_nTitleLeft, dTitleCentre - 10, 240, 20), chrome.m_strTitle, title);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(136, 189, 238, 210), 1));
    if (chrome.m_bShaped)
        painter.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
    else
        painter.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
}

QImage FinishDialog(const QImage& canvas, const DialogChrome& chrome)
{
    if (chrome.m_bShaped)
        return FinishOpaque(canvas, DialogTone::Body(), Palette::ShapeOutside);
    return Flatten(canvas, DialogTone::Body());
}

void DrawWarningSign(QPainter& painter, const QPointF& centre, qreal dSize)
{
    QPainterPath triangle;
    triangle.moveTo(centre + QPointF(0, -dSize / 2));
    triangle.lineTo(centre + QPointF(dSize * 0.56, dSize / 2));
    triangle.lineTo(centre + QPointF(-dSize * 0.56, dSize / 2));
    triangle.closeSubpath();
    QRadialGradient glow(centre, dSize);
    glow.setColorAt(0, QColor(255, 190, 70, 70));
    glow.setColorAt(1, QColor(255, 190, 70, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, dSize, dSize);
    QLinearGradient fill(centre + QPointF(0, -dSize / 2), centre + QPointF(0, dSize / 2));
    fill.setColorAt(0, QColor(255, 214, 110));
    fill.setColorAt(1, QColor(236, 150, 40));
    painter.setPen(QPen(QColor(255, 236, 180), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(triangle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 24, 0));
    painter.drawRoundedRect(QRectF(centre.x() - 2.5, centre.y() - dSize * 0.2, 5, dSize * 0.38), 2, 2);
    painter.drawEllipse(QPointF(centre.x(), centre.y() + dSize * 0.33), 2.8, 2.8);
}

void DrawInfoSign(QPainter& painter, const QPointF& centre, qreal dRadius)
{
    QRadialGradient glow(centre, dRadius * 1.8);
    glow.setColorAt(0, QColor(53, 160, 222, 90));
    glow.setColorAt(1, QColor(53, 160, 222, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, dRadius * 1.8, dRadius * 1.8);
    QLinearGradient fill(centre + QPointF(0, -dRadius), centre + QPointF(0, dRadius));
    fill.setColorAt(0, QColor(96, 196, 248));
    fill.setColorAt(1, QColor(30, 110, 176));
    painter.setPen(QPen(QColor(210, 238, 255), 2));
    painter.setBrush(fill);
    painter.drawEllipse(centre, dRadius, dRadius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::Text);
    painter.drawRoundedRect(QRectF(centre.x() - 2.5, centre.y() - dRadius * 0.55, 5, dRadius * 0.65), 2, 2);
    painter.drawEllipse(QPointF(centre.x(), centre.y() + dRadius * 0.42), 3, 3);
}

QImage ResetDialog(bool bAll)
{
    const DialogChrome chrome{400, 270, 40, 218, false, bAll ? "Reset All Profiles" : "Reset Profile", 21};
    QImage canvas = NewCanvas(400, 270);
    {
        QPainter painter(&canvas);
        PrepareAntialiased(painter);
        DrawDialogChrome(painter, chrome);
        DrawWarningSign(painter, QPointF(200, 82), 44);
        DrawFittedText(painter, QRectF(20, 116, 360, 24),
                       bAll ? "Reset all three profiles?" : "Reset the current profile?",
                       Label(16, Palette::Text, Qt::AlignCenter, QFont::Bold));
        DrawCentredParagraph(painter, QRectF(40, 148, 320, 60),
                             bAll ? "All three profiles get back their factory keys, programmable keys and "
                                    "lighting, on the keyboard and in the saved settings. Profile 1 becomes active."
                                  : "This profile gets back its factory keys, programmable keys and lighting, "
                                    "on the keyboard and in the saved settings.",
                             11, Palette::TextDim, 16);
        DrawFittedText(painter, QRectF(21, 230, 190, 29), "This cannot be undone.",
                       Label(10, Palette::TextFaint, Qt::AlignLeft | Qt::AlignVCenter));
    }
    return FinishDialog(canvas, chrome);
}

QImage AttentionDialog()
{
    // The title (at 21,11) and the message (2..400, 127..147) are drawn by the dialog.
    const DialogChrome chrome{400, 270, 40, 218, false, QString(), 21};
    QImage canvas = NewCanvas(400, 270);
    {
        QPainter painter(&canvas);
        PrepareAntialiased(painter);
        DrawDialogChrome(painter, chrome);
        DrawInfoSign(painter, QPointF(200, 86), 22);
        DrawFadingRule(painter, 60, 340, 120, Palette::Steel, 90);
        DrawFadingRule(painter, 60, 340, 154, Palette::Steel, 90);
    }
    return FinishDialog(canvas, chrome);
}

QImage KeyMapDialog()
{
    const DialogChrome chrome{400, 270, 40, 218, false, "Key Mapping", 21};
    QImage canvas = NewCanvas(400, 270);
    {
        QPainter painter(&canvas);
        PrepareAntialiased(painter);
        DrawDialogChrome(painter, chrome);
        // Key caption 2015 at 118,77 (126 x 23); Default button at 247,72.
        DrawFittedText(painter, QRectF(37, 77, 76, 23),
                       "Key:", Label(12, Palette::Text, Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold));
        DrawField(painter, QRectF(114, 74, 129, 27));
        // Keyboard-key radio 2013 at 37,117 and its key name 2017 at 180,116 (166 x 19).
        DrawFittedText(painter, QRectF(62, 117, 114, 19), "Keyboard key", Label(12, Palette::Text));
        DrawField(painter, QRectF(177, 113, 172, 25));
        // Mouse-function radio 2014 at 37,159 and combo 2012 at 136,154 (210 x 21).
        DrawFittedText(painter, QRectF(62, 159, 72, 19), "Mouse", Label(12, Palette::Text));
        DrawFadingRule(painter, 37, 350, 146, Palette::Steel, 70);
        DrawParagraph(painter, QRectF(37, 184, 320, 34),
                      "Press the new key on your keyboard, or choose a mouse function and select it.", 10,
                      Palette::TextFaint, 14);
    }
    return FinishDialog(canvas, chrome);
}

QImage ShortcutDialog()
{
    const DialogChrome chrome{420, 206, 28, 152, true, "Assign a Shortcut", 18};
    QImage canvas = NewCanvas(420, 206);
    {
        QPainter painter(&canvas);
        PrepareAntialiased(painter);
        DrawDialogChrome(painter, chrome);
        DrawParagraph(painter, QRectF(22, 40, 380, 34), "Tick the modifier keys, then press the key on your keyboard.",
                      11, Palette::TextDim, 15);
        DrawSectionCaption(painter, 22, 80, "MODIFIERS", 10);
        DrawSectionCaption(painter, 287, 80, "KEY", 10);
        // Check boxes at x 22, 83, 136, 186, 232 (y 104, 12 x 12); words to their right.
        const TextStyle word = Label(12, Palette::Text);
        DrawFittedText(painter, QRectF(38, 101, 44, 18), "Single", word);
        DrawFittedText(painter, QRectF(99, 101, 36, 18), "Ctrl", word);
        DrawFittedText(painter, QRectF(152, 101, 33, 18), "Shift", word);
        DrawFittedText(painter, QRectF(202, 101, 29, 18), "Alt", word);
        DrawFittedText(painter, QRectF(248, 101, 34, 18), "Win", word);
        // Captured key name 2012 at 287,100 (118 x 20).
        DrawField(painter, QRectF(284, 97, 124, 26));
        DrawFittedText(painter, QRectF(22, 128, 380, 16), "Single: the key alone, without modifiers.",
                       Label(10, Palette::TextFaint));
        // OK at 16,162 and Cancel at 118,162 sit in the footer.
        TextStyle brand = Label(10, Palette::TextFaint, Qt::AlignRight | Qt::AlignVCenter, QFont::Bold);
        brand.m_dLetterSpacing = 3;
        DrawFittedText(painter, QRectF(210, 162, 196, 29), "QUELMAR", brand);
    }
    return FinishDialog(canvas, chrome);
}

QImage QuickLaunchDialog()
{
    const DialogChrome chrome{305, 245, 30, 188, true, "Quick Launch", 18};
    QImage canvas = NewCanvas(305, 245);
    {
        QPainter painter(&canvas);
        PrepareAntialiased(painter);
        DrawDialogChrome(painter, chrome);
        DrawSectionCaption(painter, 26, 62, "PROGRAM TO START", 10);
        // Path 2013 at 26,87 (230 x 18); browse button at 258,87 (22 x 18).
        DrawField(painter, QRectF(23, 84, 234, 24));
        DrawParagraph(painter, QRectF(26, 122, 256, 60),
                      "Choose a program with the browse button. Pressing the programmable key on the keyboard "
                      "starts it.",
                      11, Palette::TextDim, 16);
    }
    return FinishDialog(canvas, chrome);
}

// ----- Bitmap buttons (key-coloured) -----------------------------------------

QImage KeyedStrip(int nFrameWidth, int nFrameHeight, const QColor& under,
                  const std::function<void(QPainter&, const QRectF&, int)>& drawFrame)
{
    const QImage picture = MakeStrip(nFrameWidth, nFrameHeight, 3, drawFrame);
    QImage bitmap = FinishOpaque(picture, under, Palette::KeyColour);
    // The toolkit reads the transparent colour from pixel (0, 0).
    bitmap.setPixelColor(0, 0, Palette::KeyColour);
    return bitmap;
}

QImage CloseBitmap(int nWidth, int nHeight)
{
    return KeyedStrip(nWidth, nHeight, DialogTone::TitleBar(),
                      [&](QPainter& painter, const QRectF& frame, int nState)
                      {
                          const QRectF r = PixelRect(frame.adjusted(1, 1, -1, -1));
                          QColor fill = nState == FrameNormal
                                            ? QColor(22, 50, 96)
                                            : (nState == FrameHover ? QColor(200, 60, 66) : QColor(150, 34, 42));
                          QColor edge = nState == FrameNormal ? QColor(86, 130, 186) : QColor(255, 186, 186);
                          painter.setPen(QPen(edge, 1));
                          painter.setBrush(fill);
                          painter.drawRoundedRect(r, 4, 4);
                          const qreal dDrop = nState == FramePressed ? 1 : 0;
                          DrawCrossGlyph(painter, r.center() + QPointF(0, dDrop),
                                         std::min(r.width(), r.height()) * 0.36, 1.8,
                                         nState == FrameNormal ? Palette::Border : Palette::Text);
                      });
}

QImage DialogButtonBitmap(int nWidth, int nHeight, const QString& strLabel, bool bDefault)
{
    return KeyedStrip(nWidth, nHeight, DialogTone::Footer(),
                      [&](QPainter& painter, const QRectF& frame, int nState)
                      {
                          const QRectF body = frame.adjusted(1, 1, -1, -1);
                          if (bDefault && nState == FrameNormal)
                          {
                              // The confirming button carries the accent even at rest.
                              QLinearGradient fill(body.topLeft(), body.bottomLeft());
                              fill.setColorAt(0, QColor(40, 130, 198));
                              fill.setColorAt(1, QColor(22, 84, 146));
                              painter.setPen(QPen(QColor(130, 196, 244), 1));
                              painter.setBrush(fill);
                              painter.drawRoundedRect(PixelRect(body), 5, 5);
                          }
                          else
                          {
                              DrawButtonFace(painter, body, nState, 5);
                          }
                          TextStyle style;
                          style.m_nPixelSize = 12;
                          style.m_nMinPixelSize = 9;
                          style.m_nWeight = QFont::Bold;
                          style.m_colour = bDefault ? Palette::Text : ButtonTextColour(nState);
                          const qreal dDrop = nState == FramePressed ? 1 : 0;
                          DrawFittedText(painter, body.adjusted(4, dDrop, -4, dDrop), strLabel, style);
                      });
}

QImage RadioBitmap()
{
    return KeyedStrip(19, 19, DialogTone::Body(),
                      [&](QPainter& painter, const QRectF& frame, int nState)
                      {
                          const QRectF ring = frame.adjusted(1.5, 1.5, -1.5, -1.5);
                          painter.setPen(QPen(nState == FrameNormal ? QColor(100, 142, 196) : Palette::Border, 1.4));
                          painter.setBrush(nState == FrameHover ? QColor(20, 50, 92) : QColor(5, 14, 34));
                          painter.drawEllipse(ring);
                          if (nState == FramePressed)
                          {
                              QRadialGradient dot(ring.center(), 5);
                              dot.setColorAt(0, QColor(150, 220, 255));
                              dot.setColorAt(1, Palette::Highlight);
                              painter.setPen(Qt::NoPen);
                              painter.setBrush(dot);
                              painter.drawEllipse(ring.center(), 4.5, 4.5);
                          }
                          else if (nState == FrameHover)
                          {
                              painter.setPen(Qt::NoPen);
                              painter.setBrush(QColor(53, 160, 222, 90));
                              painter.drawEllipse(ring.center(), 3.5, 3.5);
                          }
                      });
}

} // namespace

void AddDialogArtwork(std::vector<GeneratedResource>& vecOut)
{
    AddBitmap(vecOut, 153, 1, ShortcutDialog(), "shortcut dialog, shaped");
    AddBitmap(vecOut, 176, 1, QuickLaunchDialog(), "quick launch dialog, shaped");
    AddBitmap(vecOut, 165, 1, ResetDialog(false), "reset current profile");
    AddBitmap(vecOut, 258, 1, ResetDialog(true), "reset all profiles");
    AddBitmap(vecOut, 272, 1, KeyMapDialog(), "key map dialog");
    AddBitmap(vecOut, 380, 1, AttentionDialog(), "attention dialog");

    // Bitmap buttons with a key colour at pixel (0, 0).
    AddBitmap(vecOut, 154, 3, CloseBitmap(26, 24), "dialog close");
    AddBitmap(vecOut, 381, 3, CloseBitmap(23, 21), "small dialog close");
    AddBitmap(vecOut, 383, 3, CloseBitmap(23, 21), "small dialog close");
    AddBitmap(vecOut, 162, 3, DialogButtonBitmap(73, 29, "OK", true), "dialog OK");
    AddBitmap(vecOut, 163, 3, DialogButtonBitmap(66, 29, "Cancel", false), "dialog Cancel");
    // The question before the program ends with changes not applied: apply them, or discard them.
    AddBitmap(vecOut, 384, 3, DialogButtonBitmap(73, 29, "Apply", true), "quit question Apply");
    AddBitmap(vecOut, 385, 3, DialogButtonBitmap(86, 29, "Discard", false), "quit question Discard");
    AddBitmap(vecOut, 275, 3, RadioBitmap(), "radio");
}
