#include "skin/SkinDraw.h"

#include "skin/EmbeddedImage.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>

bool LoadPngResource(unsigned nId, std::unique_ptr<LoadedImage>& pOut)
{
    QImage img;
    if (!FindEmbeddedImage("PNG", nId, img))
        return false;
    auto pImage = std::make_unique<LoadedImage>();
    pImage->m_nStatus = img.isNull() ? 1 : 0;
    pImage->m_nWidth = img.width();
    pImage->m_nHeight = img.height();
    pImage->m_nResourceId = nId;
    pImage->m_image = std::move(img);
    pOut = std::move(pImage);
    return true;
}

QImage LoadBitmapResource(unsigned nId)
{
    const QImage img = EmbeddedImage("BITMAP", nId);
    return img.format() == QImage::Format_RGB32 || img.isNull() ? img : img.convertToFormat(QImage::Format_RGB32);
}

QImage LoadIconResource(unsigned nId)
{
    return EmbeddedImage("ICON", nId);
}

bool PaintsAboveOneRatio(const QPainter* pDC)
{
    return pDC && pDC->device() && pDC->device()->devicePixelRatio() > 1.0;
}

namespace
{

// Between 100 % and 200 % the 2x picture is scaled down, which wants filtering; at 200 % its
// pixels land on the device's one to one.
void SmoothUnlessExact(QPainter* pDC, const QImage& img)
{
    if (pDC->device()->devicePixelRatio() != img.devicePixelRatio())
        pDC->setRenderHint(QPainter::SmoothPixmapTransform);
}

// The 2x strip of image when the painter wants it and it is twice the 1x strip, else null.
QImage HighRatioStrip(const QPainter* pDC, const LoadedImage& image)
{
    if (!PaintsAboveOneRatio(pDC) || image.m_nResourceId == 0)
        return QImage();
    QImage img2x = EmbeddedImage2x("PNG", image.m_nResourceId);
    if (img2x.width() != 2 * image.m_nWidth || img2x.height() != 2 * image.m_nHeight)
        return QImage();
    return img2x;
}

} // namespace

void DrawStripFrame(QPainter* pDC, const LoadedImage* pImage, const CRect& rcDest, int nFrame, int nFrameWidth,
                    int nFrameHeight)
{
    if (!pDC || !pImage || pImage->m_image.isNull() || nFrameWidth <= 0 || nFrameHeight <= 0)
        return;
    if (const QImage img2x = HighRatioStrip(pDC, *pImage); !img2x.isNull())
    {
        SmoothUnlessExact(pDC, img2x);
        const QRect rcSource(2 * nFrame * nFrameWidth, 0, 2 * nFrameWidth, 2 * nFrameHeight);
        if (rcDest.Width() == nFrameWidth && rcDest.Height() == nFrameHeight)
            DrawImageInBands(pDC, QPoint(rcDest.left, rcDest.top), img2x, rcSource);
        else
            pDC->drawImage(QRectF(rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height()), img2x, QRectF(rcSource));
        return;
    }
    const QRect rcSource(nFrame * nFrameWidth, 0, nFrameWidth, nFrameHeight);
    if (rcDest.Width() == nFrameWidth && rcDest.Height() == nFrameHeight)
        DrawImageInBands(pDC, QPoint(rcDest.left, rcDest.top), pImage->m_image, rcSource);
    else
        pDC->drawImage(QRectF(rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height()), pImage->m_image,
                       QRectF(rcSource));
}

void DrawImageInBands(QPainter* pDC, const QPoint& ptDest, const QImage& img, const QRect& rcSource)
{
    constexpr int BandRows = 64;
    const qreal dRatio = img.devicePixelRatio();
    for (int y = 0; y < rcSource.height(); y += BandRows)
    {
        const int nRows = std::min(BandRows, rcSource.height() - y);
        const QRect rcBand(rcSource.x(), rcSource.y() + y, rcSource.width(), nRows);
        if (dRatio == 1.0)
            pDC->drawImage(QPoint(ptDest.x(), ptDest.y() + y), img, rcBand);
        else
            pDC->drawImage(QRectF(ptDest.x(), ptDest.y() + y / dRatio, rcBand.width() / dRatio, nRows / dRatio), img,
                           QRectF(rcBand));
    }
}

QImage MakeKeyedFrame(const QImage& bmpSource, int nSrcX, int nSrcW, int nSrcH, int nWidth, int nHeight, COLORREF crKey)
{
    if (nWidth <= 0 || nHeight <= 0 || nSrcW <= 0 || nSrcH <= 0 || bmpSource.isNull())
        return QImage();
    QImage frame = bmpSource.copy(nSrcX, 0, nSrcW, nSrcH).convertToFormat(QImage::Format_ARGB32);
    const QRgb rgbKey = ColorRefToQRgb(crKey) & 0xFFFFFF;
    for (int y = 0; y < frame.height(); ++y)
    {
        auto* pLine = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x)
        {
            if ((pLine[x] & 0xFFFFFF) == rgbKey)
                pLine[x] = 0;
            else
                pLine[x] |= 0xFF000000;
        }
    }
    if (nWidth != nSrcW || nHeight != nSrcH)
        frame = frame.scaled(nWidth, nHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return frame;
}

bool DrawKeyedFrame(QPainter* pDC, int x, int y, int nWidth, int nHeight, const QImage& bmpSource, int nSrcX, int nSrcW,
                    int nSrcH, COLORREF crKey)
{
    const QImage frame = MakeKeyedFrame(bmpSource, nSrcX, nSrcW, nSrcH, nWidth, nHeight, crKey);
    if (frame.isNull() || !pDC)
        return false;
    pDC->drawImage(QPoint(x, y), frame);
    return true;
}

bool DrawKeyedBitmapFrame(QPainter* pDC, const CRect& rcDest, unsigned nBitmapId, int nFrame, int nFrameWidth,
                          int nFrameHeight, int nKeyX, int nKeyY)
{
    if (!pDC)
        return false;
    const QImage bmp = LoadBitmapResource(nBitmapId);
    if (bmp.isNull())
        return false;
    // A 2x bitmap that is not twice the 1x one would cut the wrong frames: the 1x one is drawn.
    if (const QImage bmp2x = PaintsAboveOneRatio(pDC) ? EmbeddedImage2x("BITMAP", nBitmapId) : QImage();
        bmp2x.size() == bmp.size() * 2)
    {
        QImage frame =
            MakeKeyedFrame(bmp2x, 2 * nFrame * nFrameWidth, 2 * nFrameWidth, 2 * nFrameHeight, 2 * rcDest.Width(),
                           2 * rcDest.Height(), BitmapPixel(bmp2x, 2 * nKeyX, 2 * nKeyY));
        if (!frame.isNull())
        {
            frame.setDevicePixelRatio(2);
            SmoothUnlessExact(pDC, frame);
            pDC->drawImage(QPoint(rcDest.left, rcDest.top), frame);
            return true;
        }
    }
    return DrawKeyedFrame(pDC, rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height(), bmp, nFrame * nFrameWidth,
                          nFrameWidth, nFrameHeight, BitmapPixel(bmp, nKeyX, nKeyY));
}

COLORREF BitmapPixel(const QImage& bmp, int x, int y)
{
    if (!bmp.valid(x, y))
        return 0;
    return QRgbToColorRef(bmp.pixel(x, y));
}

int FadeWidth(int nWindowWidth, int nWindowHeight, int nPictureWidth, int nPictureHeight)
{
    if (nWindowWidth > nPictureWidth || nWindowHeight > nPictureHeight)
        return std::max(0, std::min({100, nPictureWidth, nPictureHeight}));
    return 0;
}

int FadeLineAlpha(int i, int nFade)
{
    if (nFade <= 0)
        return 255;
    return static_cast<int>(255.0 - i * (255.0 / nFade));
}

int FadeCornerAlpha(int i, int j, int nFade)
{
    if (nFade <= 0)
        return 255;
    const double dDistance = std::min(std::sqrt(static_cast<double>(i * i + j * j)), static_cast<double>(nFade));
    return static_cast<int>(255.0 - dDistance * (255.0 / nFade));
}

namespace
{

inline QRgb Blend(QRgb rgbSrc, QRgb rgbDst, int nAlpha)
{
    auto mix = [nAlpha](int s, int d) { return (s * nAlpha + d * (255 - nAlpha) + 127) / 255; };
    return qRgb(mix(qRed(rgbSrc), qRed(rgbDst)), mix(qGreen(rgbSrc), qGreen(rgbDst)),
                mix(qBlue(rgbSrc), qBlue(rgbDst)));
}

} // namespace

QImage PrepareBackgroundImage(const QImage& bmp, COLORREF crFill, int nFade)
{
    if (bmp.isNull())
        return QImage();
    const QImage src = bmp.convertToFormat(QImage::Format_RGB32);
    const int W = src.width();
    const int H = src.height();
    const int F = std::clamp(nFade, 0, std::min(W, H));
    // Without a fade the picture covers the whole fill: it is the result, shared rather than copied.
    if (F == 0)
        return src;
    QImage out(W, H, QImage::Format_RGB32);
    out.setDevicePixelRatio(src.devicePixelRatio());
    const QRgb rgbFill = ColorRefToQRgb(crFill);
    out.fill(rgbFill);
    for (int y = 0; y < H - F; ++y)
    {
        const auto* pSrc = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* pDst = reinterpret_cast<QRgb*>(out.scanLine(y));
        std::copy(pSrc, pSrc + (W - F), pDst);
    }
    // Right strip: column i of the strip fades with the line alpha.
    for (int i = 0; i < F; ++i)
    {
        const int nAlpha = FadeLineAlpha(i, F);
        const int x = W - F + i;
        for (int y = 0; y < H - F; ++y)
            out.setPixel(x, y, Blend(src.pixel(x, y), rgbFill, nAlpha));
    }
    // Bottom strip: row i fades the same way downwards.
    for (int i = 0; i < F; ++i)
    {
        const int nAlpha = FadeLineAlpha(i, F);
        const int y = H - F + i;
        const auto* pSrc = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* pDst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < W - F; ++x)
            pDst[x] = Blend(pSrc[x], rgbFill, nAlpha);
    }
    // Corner: alpha by the distance from the square's top-left corner.
    for (int j = 0; j < F; ++j)
        for (int i = 0; i < F; ++i)
        {
            const int x = W - F + i;
            const int y = H - F + j;
            out.setPixel(x, y, Blend(src.pixel(x, y), rgbFill, FadeCornerAlpha(i, j, F)));
        }
    return out;
}

QImage PrepareBackgroundImage2x(unsigned nBitmapId, COLORREF crFill, int nFade)
{
    QImage bmp2x = EmbeddedImage2x("BITMAP", nBitmapId);
    if (bmp2x.isNull())
        return QImage();
    QImage img = PrepareBackgroundImage(bmp2x, crFill, 2 * nFade);
    img.setDevicePixelRatio(2);
    return img;
}

QFont SkinFont(int nHeight, int nWidth, int nWeight)
{
    QFont font;
    // Latin words in a Latin face when the first two are missing: the CJK face's Latin letters
    // spread words apart at these sizes ("Functi on"); Chinese text still finds its face.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Droid Sans Fallback")});
    int nPixels = 12;
    if (nHeight != 0)
        nPixels = std::abs(nHeight);
    else if (nWidth > 0)
        nPixels = nWidth + 4;
    font.setPixelSize(nPixels);
    font.setWeight(nWeight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QString WordEllipsisText(const QFont& font, const QString& strText, int nWidth)
{
    const QFontMetrics fm(font);
    if (fm.horizontalAdvance(strText) <= nWidth)
        return strText;
    const QString strDots = QStringLiteral("...");
    // Prefer cutting at a word boundary; fall back to characters for unbroken text.
    for (qsizetype n = strText.size(); n > 0; --n)
    {
        if (strText.at(n - 1) != QLatin1Char(' ') && (n == strText.size() || strText.at(n) != QLatin1Char(' ')))
            continue;
        const QString strTry = strText.left(n).trimmed() + strDots;
        if (!strText.left(n).trimmed().isEmpty() && fm.horizontalAdvance(strTry) <= nWidth)
            return strTry;
    }
    for (qsizetype n = strText.size() - 1; n > 0; --n)
    {
        const QString strTry = strText.left(n) + strDots;
        if (fm.horizontalAdvance(strTry) <= nWidth)
            return strTry;
    }
    return strDots;
}

QString PathEllipsisText(const QFont& font, const QString& strText, int nWidth)
{
    const QFontMetrics fm(font);
    if (fm.horizontalAdvance(strText) <= nWidth)
        return strText;
    const QString strDots = QStringLiteral("...");
    const qsizetype nSlash = strText.lastIndexOf(QLatin1Char('/'));
    if (nSlash > 0)
    {
        const QString strLast = strText.mid(nSlash);
        const int nRest = nWidth - fm.horizontalAdvance(strLast);
        if (nRest >= fm.horizontalAdvance(QStringLiteral("/") + strDots))
        {
            QString strFront = strText.left(nSlash);
            while (!strFront.isEmpty() && fm.horizontalAdvance(strFront + strDots) > nRest)
                strFront.chop(1);
            return strFront + strDots + strLast;
        }
    }
    QString strEnd = strText;
    while (!strEnd.isEmpty() && fm.horizontalAdvance(strDots + strEnd) > nWidth)
        strEnd.remove(0, 1);
    return strDots + strEnd;
}

namespace
{
SkinTextWatcher g_fnTextWatcher = nullptr;
void* g_pTextWatcherContext = nullptr;
} // namespace

void SetSkinTextWatcher(SkinTextWatcher fnWatcher, void* pContext)
{
    g_fnTextWatcher = fnWatcher;
    g_pTextWatcherContext = pContext;
}

void DrawSkinText(QPainter* pDC, const QString& strText, const CRect& rc, UINT nFormat)
{
    if (!pDC || rc.IsRectEmpty())
        return;
    QString strShown = strText;
    strShown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (nFormat & DT_PATH_ELLIPSIS)
        strShown = PathEllipsisText(pDC->font(), strShown, rc.Width());
    else if (nFormat & DT_WORD_ELLIPSIS)
        strShown = WordEllipsisText(pDC->font(), strShown, rc.Width());
    int nAlign = Qt::TextSingleLine;
    if (nFormat & DT_CENTER)
        nAlign |= Qt::AlignHCenter;
    else if (nFormat & DT_RIGHT)
        nAlign |= Qt::AlignRight;
    else
        nAlign |= Qt::AlignLeft;
    if (nFormat & DT_VCENTER)
        nAlign |= Qt::AlignVCenter;
    else if (nFormat & DT_BOTTOM)
        nAlign |= Qt::AlignBottom;
    else
        nAlign |= Qt::AlignTop;
    if (g_fnTextWatcher &&
        !g_fnTextWatcher(g_pTextWatcherContext, {strShown, pDC->deviceTransform().mapRect(rc.ToQRect())}))
        return;
    pDC->save();
    pDC->setClipRect(rc.ToQRect(), Qt::IntersectClip);
    pDC->drawText(rc.ToQRect(), nAlign, strShown);
    pDC->restore();
}

void FillSolid(QPainter* pDC, const CRect& rc, COLORREF cr)
{
    if (pDC && !rc.IsRectEmpty())
        pDC->fillRect(rc.ToQRect(), QColor(ColorRefToQRgb(cr)));
}

QImage ClientRenderTarget(const CRect& rcClient, qreal dRatio)
{
    QImage img(qCeil(std::max(1, rcClient.Width()) * dRatio), qCeil(std::max(1, rcClient.Height()) * dRatio),
               QImage::Format_RGB32);
    img.setDevicePixelRatio(dRatio);
    return img;
}
