#include "skin/EmbeddedImage.h"

#include "skin/ResourceInit.h"

#include <QResource>
#include <QString>
#include <cstring>
#include <map>
#include <string>

bool FindEmbeddedImage(const char* pszKind, unsigned nId, QImage& imgOut)
{
    CorvaneInitResources();
    const QResource res(QStringLiteral(":/%1/%2").arg(QLatin1StringView(pszKind)).arg(nId));
    if (!res.isValid())
        return false;
    imgOut = QImage();
    EmbeddedImageHeader header;
    const qint64 nSize = res.size();
    if (res.compressionAlgorithm() != QResource::NoCompression || !res.data() ||
        nSize < static_cast<qint64>(sizeof header))
        return true;
    std::memcpy(&header, res.data(), sizeof header);
    const qint64 nPixelBytes = static_cast<qint64>(header.m_nWidth) * header.m_nHeight * 4;
    if (header.m_nMagic != EmbeddedImageHeader::kMagic || header.m_nWidth == 0 || header.m_nHeight == 0 ||
        header.m_nWidth > 32768 || header.m_nHeight > 32768 ||
        nSize != static_cast<qint64>(sizeof header) + nPixelBytes ||
        (header.m_nFormat != EmbeddedImageHeader::kPremultipliedArgb &&
         header.m_nFormat != EmbeddedImageHeader::kOpaqueRgb))
        return true;
    const uchar* pPixels = res.data() + sizeof header;
    const QImage::Format eFormat = header.m_nFormat == EmbeddedImageHeader::kOpaqueRgb
                                       ? QImage::Format_RGB32
                                       : QImage::Format_ARGB32_Premultiplied;
    // The const constructor keeps the data read-only: any change to the image copies it first.
    const QImage img(pPixels, static_cast<int>(header.m_nWidth), static_cast<int>(header.m_nHeight),
                     static_cast<qsizetype>(header.m_nWidth) * 4, eFormat);
    // Scan lines of 32-bit pixels must be 4-byte aligned; a collection laid out otherwise is copied.
    imgOut = reinterpret_cast<std::uintptr_t>(pPixels) % 4 == 0 ? img : img.copy();
    return true;
}

QImage EmbeddedImage(const char* pszKind, unsigned nId)
{
    QImage img;
    FindEmbeddedImage(pszKind, nId, img);
    return img;
}

namespace
{
std::map<std::pair<std::string, unsigned>, QImage>& Decoded2x()
{
    static std::map<std::pair<std::string, unsigned>, QImage> s_mapDecoded;
    return s_mapDecoded;
}
} // namespace

int EmbeddedImage2xDecodedCount()
{
    return static_cast<int>(Decoded2x().size());
}

QImage EmbeddedImage2x(const char* pszKind, unsigned nId)
{
    auto& mapDecoded = Decoded2x();
    const auto key = std::make_pair(std::string(pszKind), nId);
    if (const auto it = mapDecoded.find(key); it != mapDecoded.end())
        return it->second;
    CorvaneInitResources();
    const QResource res(QStringLiteral(":/2x/%1/%2").arg(QLatin1StringView(pszKind)).arg(nId));
    QImage img;
    if (res.isValid() && res.data() && res.compressionAlgorithm() == QResource::NoCompression &&
        img.loadFromData(res.data(), static_cast<int>(res.size()), "PNG"))
    {
        // The formats the 1x set is kept in, which the painter copies and blends fastest.
        img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        img.setDevicePixelRatio(2);
    }
    // A missing or broken picture is remembered too: the 1x one is drawn instead, without a retry.
    mapDecoded.emplace(key, img);
    return img;
}

bool FindBitmapSummary(unsigned nId, BitmapSummary& out)
{
    CorvaneInitResources();
    const QResource res(QStringLiteral(":/BITMAP_SUMMARY/%1").arg(nId));
    EmbeddedSummaryHeader header;
    const qint64 nSize = res.isValid() ? res.size() : 0;
    if (res.compressionAlgorithm() != QResource::NoCompression || !res.data() ||
        nSize < static_cast<qint64>(sizeof header))
        return false;
    std::memcpy(&header, res.data(), sizeof header);
    constexpr qint64 RunBytes = 3 * sizeof(int32_t);
    if (header.m_nMagic != EmbeddedSummaryHeader::kMagic || header.m_nAverage > 0xFFFFFF ||
        nSize != static_cast<qint64>(sizeof header) + header.m_nRuns * RunBytes)
        return false;
    // Runs go down the rows and rightwards within one, inside the largest picture there can be,
    // so that the region is built from them as it is from the pixels.
    QVector<QRect> vecRuns;
    vecRuns.reserve(header.m_nRuns);
    const uchar* pRun = res.data() + sizeof header;
    for (uint32_t i = 0; i < header.m_nRuns; ++i, pRun += RunBytes)
    {
        int32_t arrRun[3];
        std::memcpy(arrRun, pRun, sizeof arrRun);
        const auto [x, y, nWidth] = arrRun;
        if (x < 0 || y < 0 || nWidth <= 0 || x > 32768 - nWidth || y >= 32768)
            return false;
        if (!vecRuns.isEmpty() &&
            (y < vecRuns.back().y() || (y == vecRuns.back().y() && x <= vecRuns.back().right() + 1)))
            return false;
        vecRuns.append(QRect(x, y, nWidth, 1));
    }
    out.m_crAverage = header.m_nAverage;
    out.m_vecShapeRuns = std::move(vecRuns);
    return true;
}
