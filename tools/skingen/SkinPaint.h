#pragma once
// Drawing primitives shared by the artwork of the skin: the palette, fonts with
// fallbacks, fitted text, button and key faces, image strips, and the finishing
// steps that turn an antialiased picture into a key-coloured bitmap or a
// window-shape bitmap.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

namespace Palette
{
// Colours the toolkit itself paints with; the artwork must agree with them.
inline const QColor Highlight{53, 160, 222};
inline const QColor Border{136, 189, 238};
inline const QColor PopupFill{6, 16, 38};
inline const QColor ListFill{5, 16, 38};
inline const QColor Text{255, 255, 255};
inline const QColor TitleText{82, 146, 254};
// The artwork's own navy scale, darkest first.
inline const QColor Abyss{3, 9, 24};
inline const QColor Deep{6, 16, 38};
inline const QColor Navy{10, 25, 56};
inline const QColor Panel{13, 32, 68};
inline const QColor Raised{22, 48, 92};
inline const QColor Steel{48, 80, 128};
inline const QColor TextDim{150, 180, 218};
inline const QColor TextFaint{128, 152, 190};
inline const QColor Alert{232, 76, 76};
// Outside of a shaped window, and the transparent colour of bitmap buttons.
inline const QColor ShapeOutside{255, 255, 0};
inline const QColor KeyColour{255, 0, 255};
} // namespace Palette

// Button mouse states as the strips order them.
enum EFrameState
{
    FrameNormal = 0,
    FrameHover = 1,
    FramePressed = 2,
    FrameDisabled = 3
};

struct TextStyle
{
    int m_nPixelSize = 12;
    int m_nMinPixelSize = 7;
    int m_nWeight = QFont::Normal;
    bool m_bCondensed = false;
    QColor m_colour = Palette::Text;
    int m_nAlign = Qt::AlignCenter;
    qreal m_dLetterSpacing = 0; // extra pixels between letters
    qreal m_dLineGap = 0;       // extra pixels between lines
};

// A Latin UI font; falls back through a list of common sans faces, so a missing
// face never stops the generator.
QFont UiFont(int nPixelSize, int nWeight = QFont::Normal, bool bCondensed = false);
// A CJK-capable font for Chinese texts.
QFont CjkFont(int nPixelSize, int nWeight = QFont::Normal);
// Reports which preferred faces are installed (printed once by the generator).
QStringList MissingPreferredFonts();

// One line of text as the artwork draws it: where its ink lies on the painted canvas, in which
// font and colour.
struct ArtTextLine
{
    QString m_strText;
    QRectF m_rcDevice;
    QFont m_font;
    QColor m_colour;
};
// The legibility checker watches every line of text the artwork draws; when the watcher answers
// false the line is left out, so the picture without it shows what lies behind it.
using ArtTextWatcher = std::function<bool(const ArtTextLine&)>;
void SetArtTextWatcher(ArtTextWatcher fnWatcher);
// Draws one line at a baseline point in the painter's font and pen; every text goes through it.
void DrawTextLine(QPainter& painter, const QPointF& ptBaseline, const QString& strLine);

// Draws text (lines split on '\n') inside rect, shrinking the font until it fits.
void DrawFittedText(QPainter& painter, const QRectF& rect, const QString& strText, const TextStyle& style);
// A label's style: one size, shrinking by up to three pixels to fit.
TextStyle Label(int nPixelSize, const QColor& colour, int nAlign = Qt::AlignLeft | Qt::AlignVCenter,
                int nWeight = QFont::Normal);
// Centred word-wrapped lines, dLineHeight apart.
void DrawCentredParagraph(QPainter& painter, const QRectF& rect, const QString& strText, int nPixelSize,
                          const QColor& colour, qreal dLineHeight);
// Word-wrapped paragraph, left aligned; returns the height used.
qreal DrawParagraph(QPainter& painter, const QRectF& rect, const QString& strText, int nPixelSize, const QColor& colour,
                    qreal dLineHeight = 0);

// Antialiased shapes, text and scaled pictures from here on.
QPainter& PrepareAntialiased(QPainter& painter);
// A transparent ARGB canvas of nWidth x nHeight logical pixels. At canvas scale 2 it holds
// twice the pixels in each direction with device pixel ratio 2, so the same drawing code in
// logical coordinates draws the 2x picture: fonts, pens and paths at twice the detail.
QImage NewCanvas(int nWidth, int nHeight);
// The scale of the canvases NewCanvas makes from now on: 1 (the default) or 2.
void SetCanvasScale(int nScale);
// The part of a canvas inside rect, given in logical coordinates as drawn.
QImage CopyLogical(const QImage& canvas, const QRect& rect);
// Builds a horizontal strip of nFrames frames; the painter handed to drawFrame is
// translated to the frame and clipped to it.
QImage MakeStrip(int nFrameWidth, int nFrameHeight, int nFrames,
                 const std::function<void(QPainter&, const QRectF&, int)>& drawFrame);

// Rounded rectangle path helper for crisp 1-pixel outlines on pixel grids.
QRectF PixelRect(const QRectF& rect);

// A push-button face: gradient fill, outline and top sheen for a state.
void DrawButtonFace(QPainter& painter, const QRectF& rect, int nState, qreal dRadius, bool bAccent = false);

// A face's colours in one state: a vertical gradient and its edge.
struct FaceColours
{
    QColor m_top;
    QColor m_bottom;
    QColor m_edge;
};
// Sets the painter's pen and brush for a face in nState from the normal, hover and pressed
// colours; the gradient runs down the frame.
void SetFacePenAndBrush(QPainter& painter, const QRectF& frame, int nState, const FaceColours& normal,
                        const FaceColours& hover, const FaceColours& pressed);
// Text colour that belongs to DrawButtonFace of a state.
QColor ButtonTextColour(int nState);
// A keycap in one of the three key frames.
void DrawKeyFace(QPainter& painter, const QRectF& rect, int nState);
// A soft glow (stacked translucent outlines) around rect.
void DrawGlow(QPainter& painter, const QRectF& rect, qreal dRadius, const QColor& colour, int nSpread, int nAlpha);
// An inset text field (dark well with a light edge).
void DrawField(QPainter& painter, const QRectF& rect, qreal dRadius = 3);
// A thin horizontal rule fading out at both ends.
void DrawFadingRule(QPainter& painter, qreal x1, qreal x2, qreal y, const QColor& colour, int nAlpha = 200);
// Small section caption in spaced capitals with an accent bar to its left.
void DrawSectionCaption(QPainter& painter, qreal x, qreal y, const QString& strText, int nPixelSize = 11);

// Glyphs drawn with paths rather than fonts, so they look the same everywhere.
void DrawArrowGlyph(QPainter& painter, const QPointF& centre, qreal dSize, int nDirection, const QColor& colour);
void DrawCrossGlyph(QPainter& painter, const QPointF& centre, qreal dSize, qreal dWidth, const QColor& colour);
void DrawCheckGlyph(QPainter& painter, const QPointF& centre, qreal dSize, qreal dWidth, const QColor& colour);

// Turns an antialiased ARGB picture into an opaque 24-bit picture: pixels at
// least half covered are composited over `under`, the rest become `outside`.
// Used for window shapes (outside = the shape colour) and key-coloured bitmap
// buttons (outside = the key colour). No inside pixel ends up equal to `outside`.
QImage FinishOpaque(const QImage& picture, const QColor& under, const QColor& outside);
// True when every pixel is fully opaque.
bool IsOpaque(const QImage& image);
// Flattens a picture onto an opaque colour, keeping 24 bits.
QImage Flatten(const QImage& picture, const QColor& under);
