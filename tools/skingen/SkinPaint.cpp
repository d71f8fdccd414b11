#include "SkinPaint.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace
{

const QStringList& LatinFamilies()
{
    static const QStringList families{"DejaVu Sans", "Liberation Sans", "Noto Sans",
                                      "FreeSans",    "Arial",           "WenQuanYi Micro Hei"};
    return families;
}

const QStringList& CondensedFamilies()
{
    static const QStringList families{"DejaVu Sans Condensed", "Liberation Sans Narrow", "Noto Sans",
                                      "DejaVu Sans",           "Liberation Sans",        "FreeSans",
                                      "WenQuanYi Micro Hei"};
    return families;
}

const QStringList& CjkFamilies()
{
    static const QStringList families{"WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Noto Sans CJK SC",
                                      "Droid Sans Fallback", "AR PL UMing CN",    "DejaVu Sans"};
    return families;
}

QFont MakeFont(const QStringList& families, int nPixelSize, int nWeight)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, nPixelSize));
    font.setWeight(static_cast<QFont::Weight>(nWeight));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont StyledFont(const TextStyle& style, int nPixelSize)
{
    QFont font = UiFont(nPixelSize, style.m_nWeight, style.m_bCondensed);
    if (style.m_dLetterSpacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, style.m_dLetterSpacing);
    return font;
}

} // namespace

namespace
{
ArtTextWatcher& TextWatcher()
{
    static ArtTextWatcher fnWatcher;
    return fnWatcher;
}
} // namespace

void SetArtTextWatcher(ArtTextWatcher fnWatcher)
{
    TextWatcher() = std::move(fnWatcher);
}

void DrawTextLine(QPainter& painter, const QPointF& ptBaseline, const QString& strLine)
{
    if (const ArtTextWatcher& fnWatcher = TextWatcher())
    {
        const QRectF rcInk = QFontMetricsF(painter.font()).boundingRect(strLine).translated(ptBaseline);
        if (!fnWatcher({strLine, painter.deviceTransform().mapRect(rcInk), painter.font(), painter.pen().color()}))
            return;
    }
    painter.drawText(ptBaseline, strLine);
}

QFont UiFont(int nPixelSize, int nWeight, bool bCondensed)
{
    return MakeFont(bCondensed ? CondensedFamilies() : LatinFamilies(), nPixelSize, nWeight);
}

QFont CjkFont(int nPixelSize, int nWeight)
{
    return MakeFont(CjkFamilies(), nPixelSize, nWeight);
}

QStringList MissingPreferredFonts()
{
    const QStringList installed = QFontDatabase::families();
    QStringList missing;
    for (const QString& family : {QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")})
        if (!installed.contains(family))
            missing << family;
    return missing;
}

void DrawFittedText(QPainter& painter, const QRectF& rect, const QString& strText, const TextStyle& style)
{
    if (strText.isEmpty())
        return;
    const QStringList lines = strText.split('\n');
    int nSize = style.m_nPixelSize;
    QFont font = StyledFont(style, nSize);
    for (; nSize > style.m_nMinPixelSize; --nSize)
    {
        font = StyledFont(style, nSize);
        const QFontMetricsF metrics(font);
        qreal dWidest = 0;
        for (const QString& line : lines)
            dWidest = std::max(dWidest, metrics.horizontalAdvance(line));
        const qreal dHeight = lines.size() * metrics.height() + (lines.size() - 1) * style.m_dLineGap;
        if (dWidest <= rect.width() && dHeight <= rect.height() + 2)
            break;
    }
    font = StyledFont(style, nSize);
    painter.save();
    painter.setFont(font);
    painter.setPen(style.m_colour);
    const QFontMetricsF metrics(font);
    const qreal dLineHeight =
        lines.size() > 1 ? metrics.capHeight() + std::max<qreal>(2, nSize * 0.3) : metrics.height();
    const qreal dBlock = lines.size() > 1 ? lines.size() * dLineHeight - (dLineHeight - metrics.capHeight()) +
                                                (lines.size() - 1) * style.m_dLineGap
                                          : metrics.capHeight();
    // Vertical placement by cap height keeps capitals optically centred.
    qreal dTop;
    if (style.m_nAlign & Qt::AlignTop)
        dTop = rect.top() + (metrics.ascent() - metrics.capHeight());
    else if (style.m_nAlign & Qt::AlignBottom)
        dTop = rect.bottom() - dBlock;
    else
        dTop = rect.top() + (rect.height() - dBlock) / 2.0;
    for (int i = 0; i < lines.size(); ++i)
    {
        const qreal dWidth = metrics.horizontalAdvance(lines[i]);
        qreal x = rect.left();
        if (style.m_nAlign & Qt::AlignHCenter)
            x = rect.left() + (rect.width() - dWidth) / 2.0;
        else if (style.m_nAlign & Qt::AlignRight)
            x = rect.right() - dWidth;
        const qreal dBaseline = dTop + metrics.capHeight() + i * (dLineHeight + style.m_dLineGap);
        DrawTextLine(painter, QPointF(std::round(x), std::round(dBaseline)), lines[i]);
    }
    painter.restore();
}

qreal DrawParagraph(QPainter& painter, const QRectF& rect, const QString& strText, int nPixelSize, const QColor& colour,
                    qreal dLineHeight)
{
    const QFont font = UiFont(nPixelSize);
    const QFontMetricsF metrics(font);
    if (dLineHeight <= 0)
        dLineHeight = metrics.height() + 2;
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    qreal y = rect.top() + metrics.ascent();
    QString strLine;
    const QStringList words = strText.split(' ', Qt::SkipEmptyParts);
    for (const QString& word : words)
    {
        const QString strTry = strLine.isEmpty() ? word : strLine + ' ' + word;
        if (!strLine.isEmpty() && metrics.horizontalAdvance(strTry) > rect.width())
        {
            DrawTextLine(painter, QPointF(rect.left(), std::round(y)), strLine);
            y += dLineHeight;
            strLine = word;
        }
        else
        {
            strLine = strTry;
        }
    }
    if (!strLine.isEmpty())
        DrawTextLine(painter, QPointF(rect.left(), std::round(y)), strLine);
    painter.restore();
    return y - rect.top() + metrics.descent();
}

namespace
{
int g_nCanvasScale = 1;
} // namespace

void SetCanvasScale(int nScale)
{
    g_nCanvasScale = std::max(1, nScale);
}

QImage NewCanvas(int nWidth, int nHeight)
{
    QImage image(nWidth * g_nCanvasScale, nHeight * g_nCanvasScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(g_nCanvasScale);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::transparent);
    return image;
}

QImage CopyLogical(const QImage& canvas, const QRect& rect)
{
    const qreal dScale = canvas.devicePixelRatio();
    const QRect rcPixels(qRound(rect.x() * dScale), qRound(rect.y() * dScale), qRound(rect.width() * dScale),
                         qRound(rect.height() * dScale));
    QImage part = canvas.copy(rcPixels);
    part.setDevicePixelRatio(dScale);
    return part;
}

QImage MakeStrip(int nFrameWidth, int nFrameHeight, int nFrames,
                 const std::function<void(QPainter&, const QRectF&, int)>& drawFrame)
{
    QImage strip = NewCanvas(nFrameWidth * nFrames, nFrameHeight);
    QPainter painter(&strip);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    for (int i = 0; i < nFrames; ++i)
    {
        painter.save();
        painter.translate(i * nFrameWidth, 0);
        painter.setClipRect(QRect(0, 0, nFrameWidth, nFrameHeight));
        drawFrame(painter, QRectF(0, 0, nFrameWidth, nFrameHeight), i);
        painter.restore();
    }
    return strip;
}

QRectF PixelRect(const QRectF& rect)
{
    return rect.adjusted(0.5, 0.5, -0.5, -0.5);
}

QColor ButtonTextColour(int nState)
{
    switch (nState)
    {
    case FrameHover:
    case FramePressed: return Palette::Text;
    case FrameDisabled: return QColor(136, 148, 170);
    default: return QColor(214, 228, 246);
    }
}

void DrawButtonFace(QPainter& painter, const QRectF& rect, int nState, qreal dRadius, bool bAccent)
{
    QColor top, bottom, edge;
    switch (nState)
    {
    case FrameHover:
        top = bAccent ? QColor(150, 52, 60) : QColor(36, 82, 142);
        bottom = bAccent ? QColor(98, 26, 34) : QColor(20, 50, 98);
        edge = Palette::Border;
        break;
    case FramePressed:
        // Deep enough that white words on it keep a contrast of 4.5:1.
        top = bAccent ? QColor(186, 44, 50) : QColor(28, 104, 168);
        bottom = bAccent ? QColor(140, 28, 36) : QColor(16, 72, 128);
        edge = bAccent ? QColor(255, 170, 170) : QColor(182, 222, 252);
        break;
    case FrameDisabled:
        top = QColor(22, 32, 50);
        bottom = QColor(16, 24, 40);
        edge = QColor(44, 56, 78);
        break;
    default:
        top = bAccent ? QColor(96, 30, 40) : QColor(26, 56, 104);
        bottom = bAccent ? QColor(60, 16, 26) : QColor(13, 32, 68);
        edge = bAccent ? QColor(196, 92, 100) : QColor(72, 114, 172);
        break;
    }
    painter.save();
    const QRectF outline = PixelRect(rect);
    QLinearGradient fill(outline.topLeft(), outline.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(outline, dRadius, dRadius);
    if (nState != FrameDisabled)
    {
        // A faint sheen along the top edge gives the face some depth.
        QColor sheen(255, 255, 255, nState == FramePressed ? 70 : 40);
        painter.setPen(QPen(sheen, 1));
        const qreal y = outline.top() + 1;
        painter.drawLine(QPointF(outline.left() + dRadius, y), QPointF(outline.right() - dRadius, y));
    }
    painter.restore();
}

void DrawKeyFace(QPainter& painter, const QRectF& rect, int nState)
{
    painter.save();
    const QRectF outline = PixelRect(rect);
    QColor skirtTop, skirtBottom, edge, faceTop, faceBottom;
    switch (nState)
    {
    case FrameHover:
        skirtTop = QColor(34, 70, 124);
        skirtBottom = QColor(16, 38, 76);
        edge = Palette::Border;
        faceTop = QColor(52, 96, 158);
        faceBottom = QColor(32, 68, 124);
        break;
    case FramePressed:
        skirtTop = QColor(30, 120, 186);
        skirtBottom = QColor(18, 84, 142);
        edge = QColor(196, 230, 255);
        faceTop = QColor(88, 190, 246);
        faceBottom = Palette::Highlight;
        break;
    default:
        skirtTop = QColor(24, 46, 86);
        skirtBottom = QColor(9, 22, 48);
        edge = QColor(58, 92, 140);
        faceTop = QColor(34, 62, 108);
        faceBottom = QColor(22, 44, 84);
        break;
    }
    QLinearGradient skirt(outline.topLeft(), outline.bottomLeft());
    skirt.setColorAt(0, skirtTop);
    skirt.setColorAt(1, skirtBottom);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(skirt);
    painter.drawRoundedRect(outline, 3, 3);
    // The top face: inset, a little higher than the skirt unless pressed.
    const qreal dInset = 2;
    const qreal dLift = nState == FramePressed ? 0 : 1;
    QRectF face = outline.adjusted(dInset, dInset - 0.5, -dInset, -dInset - dLift);
    if (face.width() > 2 && face.height() > 2)
    {
        QLinearGradient top(face.topLeft(), face.bottomLeft());
        top.setColorAt(0, faceTop);
        top.setColorAt(1, faceBottom);
        painter.setPen(Qt::NoPen);
        painter.setBrush(top);
        painter.drawRoundedRect(face, 2, 2);
    }
    painter.restore();
}

void DrawGlow(QPainter& painter, const QRectF& rect, qreal dRadius, const QColor& colour, int nSpread, int nAlpha)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (int i = nSpread; i >= 1; --i)
    {
        QColor c = colour;
        const double dFall = 1.0 - static_cast<double>(i - 1) / nSpread;
        c.setAlpha(static_cast<int>(nAlpha * dFall * dFall));
        painter.setPen(QPen(c, 1));
        painter.drawRoundedRect(PixelRect(rect.adjusted(-i, -i, i, i)), dRadius + i, dRadius + i);
    }
    painter.restore();
}

void DrawField(QPainter& painter, const QRectF& rect, qreal dRadius)
{
    painter.save();
    painter.setPen(QPen(QColor(64, 100, 150), 1));
    painter.setBrush(QColor(4, 12, 30));
    painter.drawRoundedRect(PixelRect(rect), dRadius, dRadius);
    painter.setPen(QPen(QColor(0, 0, 0, 120), 1));
    const QRectF inner = PixelRect(rect.adjusted(1, 1, -1, -1));
    painter.drawLine(QPointF(inner.left() + dRadius, inner.top()), QPointF(inner.right() - dRadius, inner.top()));
    painter.restore();
}

void DrawFadingRule(QPainter& painter, qreal x1, qreal x2, qreal y, const QColor& colour, int nAlpha)
{
    painter.save();
    QLinearGradient gradient(QPointF(x1, y), QPointF(x2, y));
    QColor c0 = colour, c1 = colour;
    c0.setAlpha(0);
    c1.setAlpha(nAlpha);
    gradient.setColorAt(0, c0);
    gradient.setColorAt(0.2, c1);
    gradient.setColorAt(0.8, c1);
    gradient.setColorAt(1, c0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRect(QRectF(x1, std::floor(y), x2 - x1, 1));
    painter.restore();
}

void DrawSectionCaption(QPainter& painter, qreal x, qreal y, const QString& strText, int nPixelSize)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::Highlight);
    painter.drawRect(QRectF(x, y + 1, 3, nPixelSize));
    TextStyle style;
    style.m_nPixelSize = nPixelSize;
    style.m_nMinPixelSize = nPixelSize;
    style.m_nWeight = QFont::Bold;
    style.m_colour = Palette::Text;
    style.m_nAlign = Qt::AlignLeft | Qt::AlignVCenter;
    style.m_dLetterSpacing = 1.2;
    DrawFittedText(painter, QRectF(x + 9, y, 400, nPixelSize + 2), strText, style);
    painter.restore();
}

void DrawArrowGlyph(QPainter& painter, const QPointF& centre, qreal dSize, int nDirection, const QColor& colour)
{
    // nDirection: 0 up, 1 right, 2 down, 3 left. A shaft with a triangular head.
    painter.save();
    painter.translate(centre);
    painter.rotate(90.0 * nDirection);
    QPainterPath head;
    head.moveTo(0, -dSize / 2);
    head.lineTo(dSize * 0.42, -dSize * 0.05);
    head.lineTo(-dSize * 0.42, -dSize * 0.05);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(head);
    painter.drawRect(QRectF(-dSize * 0.1, -dSize * 0.1, dSize * 0.2, dSize * 0.6));
    painter.restore();
}

void DrawCrossGlyph(QPainter& painter, const QPointF& centre, qreal dSize, qreal dWidth, const QColor& colour)
{
    painter.save();
    painter.setPen(QPen(colour, dWidth, Qt::SolidLine, Qt::RoundCap));
    const qreal h = dSize / 2;
    painter.drawLine(centre + QPointF(-h, -h), centre + QPointF(h, h));
    painter.drawLine(centre + QPointF(-h, h), centre + QPointF(h, -h));
    painter.restore();
}

void DrawCheckGlyph(QPainter& painter, const QPointF& centre, qreal dSize, qreal dWidth, const QColor& colour)
{
    painter.save();
    painter.setPen(QPen(colour, dWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal s = dSize;
    QPainterPath path;
    path.moveTo(centre + QPointF(-0.45 * s, 0.02 * s));
    path.lineTo(centre + QPointF(-0.12 * s, 0.34 * s));
    path.lineTo(centre + QPointF(0.47 * s, -0.32 * s));
    painter.drawPath(path);
    painter.restore();
}

QImage FinishOpaque(const QImage& picture, const QColor& under, const QColor& outside)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_RGB888);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    result.setDotsPerMeterX(3780);
    result.setDotsPerMeterY(3780);
    const int nUr = under.red(), nUg = under.green(), nUb = under.blue();
    for (int y = 0; y < source.height(); ++y)
    {
        const QRgb* pIn = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* pOut = result.scanLine(y);
        for (int x = 0; x < source.width(); ++x)
        {
            const QRgb px = pIn[x];
            const int nAlpha = qAlpha(px);
            int r, g, b;
            if (nAlpha < 128)
            {
                r = outside.red();
                g = outside.green();
                b = outside.blue();
            }
            else
            {
                r = (qRed(px) * nAlpha + nUr * (255 - nAlpha)) / 255;
                g = (qGreen(px) * nAlpha + nUg * (255 - nAlpha)) / 255;
                b = (qBlue(px) * nAlpha + nUb * (255 - nAlpha)) / 255;
                if (r == outside.red() && g == outside.green() && b == outside.blue())
                    b = b > 0 ? b - 1 : 1; // never leak the outside colour into the inside
            }
            pOut[3 * x] = static_cast<uchar>(r);
            pOut[3 * x + 1] = static_cast<uchar>(g);
            pOut[3 * x + 2] = static_cast<uchar>(b);
        }
    }
    return result;
}

bool IsOpaque(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return true;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
    {
        const auto* pLine = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(pLine[x]) != 255)
                return false;
    }
    return true;
}

QImage Flatten(const QImage& picture, const QColor& under)
{
    QImage base(picture.size(), QImage::Format_RGB32);
    base.setDevicePixelRatio(picture.devicePixelRatio());
    base.setDotsPerMeterX(3780);
    base.setDotsPerMeterY(3780);
    base.fill(under);
    {
        QPainter painter(&base);
        painter.drawImage(0, 0, picture);
    }
    return base.convertToFormat(QImage::Format_RGB888);
}

QPainter& PrepareAntialiased(QPainter& painter)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    return painter;
}

TextStyle Label(int nPixelSize, const QColor& colour, int nAlign, int nWeight)
{
    TextStyle style;
    style.m_nPixelSize = nPixelSize;
    style.m_nMinPixelSize = std::max(7, nPixelSize - 3);
    style.m_colour = colour;
    style.m_nAlign = nAlign;
    style.m_nWeight = nWeight;
    return style;
}

void DrawCentredParagraph(QPainter& painter, const QRectF& rect, const QString& strText, int nPixelSize,
                          const QColor& colour, qreal dLineHeight)
{
    const QFont font = UiFont(nPixelSize);
    const QFontMetricsF metrics(font);
    QStringList lines;
    QString strLine;
    for (const QString& word : strText.split(' ', Qt::SkipEmptyParts))
    {
        const QString strTry = strLine.isEmpty() ? word : strLine + ' ' + word;
        if (!strLine.isEmpty() && metrics.horizontalAdvance(strTry) > rect.width())
        {
            lines << strLine;
            strLine = word;
        }
        else
        {
            strLine = strTry;
        }
    }
    if (!strLine.isEmpty())
        lines << strLine;
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    qreal y = rect.top() + metrics.ascent();
    for (const QString& line : lines)
    {
        const qreal x = rect.left() + (rect.width() - metrics.horizontalAdvance(line)) / 2;
        DrawTextLine(painter, QPointF(std::round(x), std::round(y)), line);
        y += dLineHeight;
    }
    painter.restore();
}

void SetFacePenAndBrush(QPainter& painter, const QRectF& frame, int nState, const FaceColours& normal,
                        const FaceColours& hover, const FaceColours& pressed)
{
    const FaceColours& colours = nState == FramePressed ? pressed : nState == FrameHover ? hover : normal;
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, colours.m_top);
    fill.setColorAt(1, colours.m_bottom);
    painter.setPen(QPen(colours.m_edge, 1));
    painter.setBrush(fill);
}
