// Pictures of the main window: its skin (which is also its shape) and the three
// page pictures. Every label drawn
// here sits beside or behind the control it names, at the control positions
// the windows create them at.

#include "AppIcon.h"
#include "Artwork.h"
#include "KeyButtonLayout.h"
#include "SkinPaint.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace
{

// The page area of the main window, where the page pictures are drawn.
const QRect kPageArea(47, 137, 702, 388);

// ----- The page panel ---------------------------------------------------------

// The background every page shares, in window coordinates, clipped to the page
// area. The page pictures are cut from the same drawing so they meet the
// window skin seamlessly.
void DrawPageBase(QPainter& painter)
{
    painter.save();
    painter.setClipRect(kPageArea);
    QLinearGradient fill(kPageArea.topLeft(), kPageArea.bottomLeft());
    fill.setColorAt(0, QColor(10, 26, 58));
    fill.setColorAt(0.5, QColor(7, 19, 44));
    fill.setColorAt(1, QColor(5, 14, 34));
    painter.fillRect(kPageArea, fill);
    QRadialGradient glow(QPointF(400, 137), 420);
    glow.setColorAt(0, QColor(53, 160, 222, 34));
    glow.setColorAt(1, QColor(53, 160, 222, 0));
    painter.fillRect(kPageArea, glow);
    // A fine dot grid, barely visible, gives the surface texture.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(136, 189, 238, 14));
    for (int y = kPageArea.top() + 6; y < kPageArea.bottom(); y += 12)
        for (int x = kPageArea.left() + 6; x < kPageArea.right(); x += 12)
            painter.drawRect(QRectF(x, y, 1, 1));
    painter.restore();
}

void DrawPageHeading(QPainter& painter, const QString& strCaption, const QString& strHint)
{
    DrawSectionCaption(painter, 70, 152, strCaption, 12);
    if (!strHint.isEmpty())
        DrawParagraph(painter, QRectF(82, 172, 640, 40), strHint, 11, Palette::TextDim);
}

// ----- Main window --------------------------------------------------------------

void DrawLogo(QPainter& painter)
{
    DrawLitKeycap(painter, QRectF(46, 60, 34, 34), 24, 6, 110);

    QFont word = UiFont(30, QFont::Bold);
    word.setLetterSpacing(QFont::AbsoluteSpacing, 5);
    QPainterPath text;
    text.addText(QPointF(94, 86), word, "QUELMAR");
    QLinearGradient wordFill(QPointF(0, 62), QPointF(0, 88));
    wordFill.setColorAt(0, QColor(255, 255, 255));
    wordFill.setColorAt(1, QColor(150, 206, 246));
    painter.setPen(Qt::NoPen);
    painter.setBrush(wordFill);
    painter.drawPath(text);
    TextStyle sub = Label(10, Palette::Border, Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
    sub.m_dLetterSpacing = 3.2;
    sub.m_nMinPixelSize = 10;
    DrawFittedText(painter, QRectF(96, 94, 330, 14), "KEYBOARD CONFIGURATOR", sub);
}

void DrawKeyboardPlate(QPainter& painter)
{
    const QRectF plate(116, 236, 553, 170);
    DrawGlow(painter, plate, 10, Palette::Highlight, 10, 70);
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    fill.setColorAt(0, QColor(16, 34, 68));
    fill.setColorAt(1, QColor(5, 12, 30));
    painter.setPen(QPen(QColor(86, 128, 184), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(PixelRect(plate), 10, 10);
    painter.setPen(QPen(QColor(255, 255, 255, 30), 1));
    painter.drawLine(QPointF(128, 237.5), QPointF(657, 237.5));
    // Key wells: a dark socket one pixel around every key button.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(1, 5, 14));
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
        painter.drawRoundedRect(QRectF(key.m_nLeft - 1, key.m_nTop - 1, key.m_nWidth + 2, key.m_nHeight + 2), 4, 4);
    // Lock lights above the keypad.
    const char* lights[3] = {"Num", "Caps", "Scroll"};
    for (int i = 0; i < 3; ++i)
    {
        const qreal x = 571 + i * 29;
        QRadialGradient led(QPointF(x, 255), 4);
        led.setColorAt(0, QColor(150, 220, 255));
        led.setColorAt(1, QColor(53, 160, 222, 40));
        painter.setPen(Qt::NoPen);
        painter.setBrush(led);
        painter.drawEllipse(QPointF(x, 255), 3, 3);
        DrawFittedText(painter, QRectF(x - 18, 259, 36, 13), lights[i], Label(10, Palette::TextDim, Qt::AlignCenter));
    }
}

void DrawKeyLegendSample(QPainter& painter, qreal x, qreal y, int nState, const QString& strText)
{
    const QRectF key(x, y, 20, 20);
    DrawKeyFace(painter, key, nState);
    DrawFittedText(painter, QRectF(x + 28, y, 150, 20), strText, Label(11, Palette::TextDim));
}

void DrawKeyPageArt(QPainter& painter)
{
    DrawPageHeading(painter, "KEY ASSIGNMENT",
                    "Click a key to give it another key or a mouse function. Remapped keys light up in blue.");
    DrawKeyboardPlate(painter);
    DrawKeyLegendSample(painter, 196, 432, FrameNormal, "Factory key");
    DrawKeyLegendSample(painter, 340, 432, FrameHover, "Key under the pointer");
    DrawKeyLegendSample(painter, 520, 432, FramePressed, "Remapped key");
    DrawFadingRule(painter, 120, 680, 468, Palette::Steel, 140);
    DrawCentredParagraph(painter, QRectF(100, 478, 600, 40), "Changes reach the keyboard when you press Apply or OK.",
                         11, Palette::TextFaint, 16);
}

void DrawMainFrame(QPainter& painter)
{
    // The window body; everything outside it becomes the shape colour.
    const QRectF body(16, 28, 768, 582);
    QPainterPath shape;
    shape.addRoundedRect(body, 22, 22);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, QColor(14, 34, 72));
    fill.setColorAt(0.2, QColor(8, 22, 50));
    fill.setColorAt(1, QColor(4, 11, 28));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(shape);
    // Header band with a diagonal sheen.
    painter.save();
    painter.setClipPath(shape);
    QLinearGradient header(QPointF(0, 28), QPointF(0, 134));
    header.setColorAt(0, QColor(22, 52, 100));
    header.setColorAt(1, QColor(10, 26, 58));
    painter.fillRect(QRectF(16, 28, 768, 106), header);
    painter.setPen(QPen(QColor(136, 189, 238, 16), 1));
    for (int x = 420; x < 900; x += 9)
        painter.drawLine(QPointF(x, 28), QPointF(x - 106, 134));
    painter.restore();
    DrawFadingRule(painter, 30, 770, 133, Palette::Highlight, 230);
    // Body outline: a bright inner line and a dark outer one.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(136, 189, 238, 200), 1.5));
    painter.drawRoundedRect(body.adjusted(1.5, 1.5, -1.5, -1.5), 21, 21);
    painter.setPen(QPen(QColor(0, 0, 0, 200), 1));
    painter.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), 22, 22);
}

void DrawHeaderCommands(QPainter& painter)
{
    // Labels above the OK, Cancel and Apply icon buttons (511, 559, 605).
    const TextStyle caption = Label(9, Palette::TextDim, Qt::AlignCenter, QFont::DemiBold);
    DrawFittedText(painter, QRectF(501, 86, 50, 11), "OK", caption);
    DrawFittedText(painter, QRectF(549, 86, 50, 11), "Cancel", caption);
    DrawFittedText(painter, QRectF(595, 86, 50, 11), "Apply", caption);
    // A shallow dock the three buttons stand on.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(53, 160, 222, 60));
    painter.drawRoundedRect(QRectF(504, 129, 138, 2), 1, 1);
}

void DrawPagePanel(QPainter& painter)
{
    const QRectF panel(44, 134, 708, 394);
    painter.setPen(QPen(QColor(136, 189, 238, 150), 1));
    painter.setBrush(QColor(4, 12, 30));
    painter.drawRoundedRect(PixelRect(panel), 6, 6);
    DrawPageBase(painter);
}

void DrawBottomBar(QPainter& painter)
{
    // Rail the page tabs hang from.
    DrawFadingRule(painter, 150, 640, 529, Palette::Border, 120);
    // Emblem between the two tab groups.
    const QPointF c(395.5, 544);
    DrawFadingRule(painter, 332, 460, 544, Palette::Highlight, 180);
    QPainterPath diamond;
    diamond.moveTo(c + QPointF(0, -7));
    diamond.lineTo(c + QPointF(7, 0));
    diamond.lineTo(c + QPointF(0, 7));
    diamond.lineTo(c + QPointF(-7, 0));
    diamond.closeSubpath();
    QRadialGradient glow(c, 14);
    glow.setColorAt(0, QColor(53, 160, 222, 120));
    glow.setColorAt(1, QColor(53, 160, 222, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(c, 14, 14);
    painter.setPen(QPen(Palette::Border, 1));
    painter.setBrush(QColor(14, 40, 80));
    painter.drawPath(diamond);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::Highlight);
    painter.drawEllipse(c, 2.2, 2.2);
    // Profile row: caption and a tray behind the three profile tabs.
    TextStyle caption = Label(10, Palette::TextFaint, Qt::AlignRight | Qt::AlignVCenter, QFont::Bold);
    caption.m_dLetterSpacing = 2;
    DrawFittedText(painter, QRectF(170, 562, 84, 21), "PROFILE", caption);
    painter.setPen(QPen(QColor(136, 189, 238, 60), 1));
    painter.setBrush(QColor(2, 8, 22, 160));
    painter.drawRoundedRect(PixelRect(QRectF(258, 559, 285, 27)), 13.5, 13.5);
}

QImage MainBackground()
{
    QImage canvas = NewCanvas(800, 634);
    {
        QPainter painter(&canvas);
        PrepareAntialiased(painter);
        DrawMainFrame(painter);
        DrawLogo(painter);
        DrawHeaderCommands(painter);
        DrawPagePanel(painter);
        DrawKeyPageArt(painter);
        DrawBottomBar(painter);
    }
    return FinishOpaque(canvas, Palette::Abyss, Palette::ShapeOutside);
}

// ----- Page pictures --------------------------------------------------------

// Draws a page in window coordinates and cuts out the page area.
QImage PagePicture(const std::function<void(QPainter&)>& drawPage)
{
    QImage canvas = NewCanvas(800, 634);
    {
        QPainter painter(&canvas);
        PrepareAntialiased(painter);
        DrawPageBase(painter);
        painter.setClipRect(kPageArea);
        drawPage(painter);
    }
    return Flatten(CopyLogical(canvas, kPageArea), QColor(5, 14, 34));
}

void DrawListFrame(QPainter& painter, const QRectF& listAndScroll)
{
    painter.setPen(QPen(QColor(86, 128, 184), 1));
    painter.setBrush(Palette::ListFill);
    painter.drawRoundedRect(PixelRect(listAndScroll.adjusted(-2, -2, 2, 2)), 3, 3);
}

void DrawMacroPage(QPainter& painter)
{
    // Macro names (list 81..230, scroll bar 231..252) and actions (294..444, 445..466).
    DrawSectionCaption(painter, 81, 170, "MACROS");
    DrawSectionCaption(painter, 294, 170, "ACTIONS");
    DrawListFrame(painter, QRectF(81, 194, 172, 248));
    DrawListFrame(painter, QRectF(294, 194, 173, 248));
    DrawFadingRule(painter, 66, 484, 494, Palette::Steel, 90);

    // Divider between the lists and the recording column.
    painter.setPen(Qt::NoPen);
    QLinearGradient divider(QPointF(0, 160), QPointF(0, 510));
    divider.setColorAt(0, QColor(136, 189, 238, 0));
    divider.setColorAt(0.3, QColor(136, 189, 238, 90));
    divider.setColorAt(0.7, QColor(136, 189, 238, 90));
    divider.setColorAt(1, QColor(136, 189, 238, 0));
    painter.setBrush(divider);
    painter.drawRect(QRectF(493, 160, 1, 350));

    DrawSectionCaption(painter, 517, 170, "RECORDING");
    // Record toggle at 517,202 (157 x 29); delay check box at 520,239.
    DrawFittedText(painter, QRectF(542, 237, 190, 20), "Record the delays between keys", Label(11, Palette::Text));
    DrawParagraph(painter, QRectF(517, 272, 210, 80),
                  "Select a macro, press Start Recording and type on your keyboard. Press Stop Recording to keep "
                  "the keys.",
                  11, Palette::TextDim, 16);

    DrawSectionCaption(painter, 517, 352, "REPEAT");
    // Repeat check box at 521,379; count field at 521,404 (93 x 22).
    DrawFittedText(painter, QRectF(543, 377, 190, 20), "Repeat the macro", Label(11, Palette::Text));
    DrawField(painter, QRectF(519, 402, 97, 26));
    DrawFittedText(painter, QRectF(622, 404, 110, 22), "times (1 to 255)", Label(11, Palette::TextDim));

    DrawParagraph(painter, QRectF(517, 446, 215, 60),
                  "Macros are kept in the macro library. Give one to a key on the G-Keys page.", 10, Palette::TextFaint,
                  14);
}

void DrawProgrammableKeyPage(QPainter& painter)
{
    DrawPageHeading(painter, "PROGRAMMABLE KEYS",
                    "Give each of the five programmable keys its own function. Click a key's box to choose.");
    // Badges beside the five combo buttons at 93,(247 288 330 370 412).
    const int tops[5] = {247, 288, 330, 370, 412};
    for (int i = 0; i < 5; ++i)
    {
        const QRectF badge(56, tops[i] + 3, 30, 24);
        QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
        fill.setColorAt(0, QColor(30, 70, 128));
        fill.setColorAt(1, QColor(16, 40, 82));
        painter.setPen(QPen(Palette::Border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(PixelRect(badge), 5, 5);
        DrawFittedText(painter, badge, QString("G%1").arg(i + 1),
                       Label(11, Palette::Text, Qt::AlignCenter, QFont::Bold));
        painter.setPen(QPen(QColor(136, 189, 238, 70), 1));
        painter.drawLine(QPointF(86, tops[i] + 15.5), QPointF(92, tops[i] + 15.5));
    }
    const QRectF card(372, 236, 350, 222);
    painter.setPen(QPen(QColor(86, 128, 184, 160), 1));
    painter.setBrush(QColor(4, 12, 30, 200));
    painter.drawRoundedRect(PixelRect(card), 8, 8);
    DrawSectionCaption(painter, 390, 252, "WHAT A KEY CAN DO", 11);
    const char* items[7][2] = {
        {"Assign a Macro", "play a macro from the library"},       {"Multimedia", "volume, tracks, play and pause"},
        {"Window Manage", "web, e-mail, computer, calculator"},    {"Mouse Function", "clicks, back, forward, fire"},
        {"Assign a Shortcut", "a key with Ctrl, Shift, Alt, Win"}, {"Quick Launch", "start a program"},
        {"Default / No Function", "factory function, or nothing"},
    };
    for (int i = 0; i < 7; ++i)
    {
        const qreal y = 278 + i * 24;
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::Highlight);
        painter.drawEllipse(QPointF(396, y + 8), 2.5, 2.5);
        // One size for every entry: none may shrink to fit.
        TextStyle name = Label(10, Palette::Text, Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
        name.m_nMinPixelSize = 10;
        DrawFittedText(painter, QRectF(406, y, 136, 16), items[i][0], name);
        DrawFittedText(painter, QRectF(546, y, 170, 16), items[i][1], Label(10, Palette::TextDim));
    }
    DrawFittedText(painter, QRectF(93, 452, 230, 16), "Press Apply to send the keys to the keyboard.",
                   Label(10, Palette::TextFaint));
}

// The keyboard above it is drawn by the program, lit in the chosen colour and brightness.
void DrawLightingIllustration(QPainter& painter)
{
    DrawCentredParagraph(painter, QRectF(392, 404, 330, 40),
                         "Colour and brightness light the whole keyboard and are kept in each profile.", 11,
                         Palette::TextDim, 16);
}

void DrawLightingPage(QPainter& painter)
{
    // The program paints the current colour into 75,150 (272 x 15).
    DrawField(painter, QRectF(71, 146, 280, 23), 4);
    DrawFittedText(painter, QRectF(75, 174, 272, 14), "Current colour", Label(10, Palette::TextFaint));
    DrawSectionCaption(painter, 61, 250, "COLOUR");
    DrawFittedText(painter, QRectF(61, 306, 270, 16), "Seven colours, from red to white", Label(10, Palette::TextDim));
    DrawSectionCaption(painter, 61, 342, "BRIGHTNESS");
    DrawFittedText(painter, QRectF(61, 398, 270, 16), "Breath, 100%, 60%, 30% or off", Label(10, Palette::TextDim));
    DrawSectionCaption(painter, 392, 152, "BACKLIGHT", 12);
    DrawParagraph(painter, QRectF(404, 172, 320, 36),
                  "Pick a colour and a brightness; the bar on the left and the "
                  "keyboard below show them.",
                  11, Palette::TextDim, 16);
    DrawParagraph(painter, QRectF(61, 440, 270, 50),
                  "Breath lets the light rise and fall slowly. Press Apply to send the lighting.", 10,
                  Palette::TextFaint, 14);
    DrawLightingIllustration(painter);
}

} // namespace

void AddWindowArtwork(std::vector<GeneratedResource>& vecOut)
{
    AddBitmap(vecOut, 129, 1, MainBackground(), "main window skin and shape");

    // Page pictures: opaque, offered both as PNG and as bitmap resources.
    const QImage macroPage = PagePicture(DrawMacroPage);
    const QImage keysPage = PagePicture(DrawProgrammableKeyPage);
    const QImage lightPage = PagePicture(DrawLightingPage);
    for (EResourceKind eKind : {EResourceKind::Png, EResourceKind::Bitmap})
    {
        vecOut.push_back({eKind, 261, 1, macroPage, "macro page"});
        vecOut.push_back({eKind, 259, 1, keysPage, "programmable key page"});
        vecOut.push_back({eKind, 260, 1, lightPage, "lighting page"});
    }
}
