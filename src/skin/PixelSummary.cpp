#include "skin/PixelSummary.h"

#include <algorithm>

QVector<QRect> ShapeRuns(const QImage& bmp)
{
    QVector<QRect> vecRuns;
    const int nWidth = bmp.width();
    const QImage img = bmp.convertToFormat(QImage::Format_RGB32);
    const QRgb rgbShape = ColorRefToQRgb(SkinColour::kShape) & 0xFFFFFF;
    const auto isShape = [rgbShape](QRgb rgb) { return (rgb & 0xFFFFFF) == rgbShape; };
    const auto isInside = [rgbShape](QRgb rgb) { return (rgb & 0xFFFFFF) != rgbShape; };
    for (int y = 0; y < img.height(); ++y)
    {
        const auto* pLine = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        const QRgb* pEnd = pLine + nWidth;
        for (const QRgb* p = pLine;;)
        {
            p = std::find_if(p, pEnd, isInside);
            if (p == pEnd)
                break;
            const QRgb* pRunEnd = std::find_if(p, pEnd, isShape);
            vecRuns.append(QRect(static_cast<int>(p - pLine), y, static_cast<int>(pRunEnd - p), 1));
            p = pRunEnd;
            if (p - pLine >= nWidth - 1)
                break;
        }
    }
    return vecRuns;
}

QRegion RegionFromRuns(const QVector<QRect>& vecRuns)
{
    QRegion rgn;
    if (!vecRuns.isEmpty())
        rgn.setRects(vecRuns.constData(), static_cast<int>(vecRuns.size()));
    return rgn;
}

QRegion RegionFromBitmap(const QImage& bmp)
{
    return RegionFromRuns(ShapeRuns(bmp));
}

namespace
{

// Red and blue are summed in one 32-bit word, 16 bits apart: a block of 256 pixels sums to at
// most 65280 per channel, so blue never carries into red and red never overflows. Full blocks
// have a fixed length, which lets the compiler sum several pixels per instruction.
constexpr int AverageBlock = 256;

inline void AddBlockSums(const QRgb* pPixels, int nCount, unsigned long long& nRed, unsigned long long& nGreen,
                         unsigned long long& nBlue)
{
    uint32_t nRedBlue = 0;
    uint32_t nBlockGreen = 0;
    for (int i = 0; i < nCount; ++i)
    {
        nRedBlue += pPixels[i] & 0x00FF00FF;
        nBlockGreen += (pPixels[i] >> 8) & 0xFF;
    }
    nRed += nRedBlue >> 16;
    nBlue += nRedBlue & 0xFFFF;
    nGreen += nBlockGreen;
}

} // namespace

COLORREF AverageColour(const QImage& bmp, COLORREF crOld, bool* pbOk)
{
    if (bmp.isNull() || bmp.width() <= 0 || bmp.height() <= 0)
    {
        if (pbOk)
            *pbOk = false;
        return crOld;
    }
    const QImage img = bmp.convertToFormat(QImage::Format_RGB32);
    const int nWidth = img.width();
    unsigned long long nRed = 0, nGreen = 0, nBlue = 0;
    for (int y = 0; y < img.height(); ++y)
    {
        const auto* pLine = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        for (; x + AverageBlock <= nWidth; x += AverageBlock)
            AddBlockSums(pLine + x, AverageBlock, nRed, nGreen, nBlue);
        AddBlockSums(pLine + x, nWidth - x, nRed, nGreen, nBlue);
    }
    const unsigned long long nCount = static_cast<unsigned long long>(img.width()) * img.height();
    if (pbOk)
        *pbOk = true;
    return RGBRef(static_cast<int>(nRed / nCount), static_cast<int>(nGreen / nCount), static_cast<int>(nBlue / nCount));
}
