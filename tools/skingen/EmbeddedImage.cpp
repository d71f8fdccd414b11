#include "skin/EmbeddedImage.h"

#include "skin/ResourceInit.h"

#include <QResource>
#include <QString>
#include <cstring>

bool FindEmbeddedImage(const char* pszKind, unsigned nId, QImage& imgOut) {
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
        header.m_nWidth > 32768 || header.m_nHeight > 32768 || nSize != static_cast<qint64>(sizeof header) + nPixelBytes ||
        (header.m_nFormat != EmbeddedImageHeader::kPremultipliedArgb && header.m_nFormat != EmbeddedImageHeader::kOpaqueRgb))
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

QImage EmbeddedImage(const char* pszKind, unsigned nId) {
    QImage img;
    FindEmbeddedImage(pszKind, nId, img);
    return img;
}
