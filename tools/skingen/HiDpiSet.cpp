#include "HiDpiSet.h"

#include "SkinPaint.h"

#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <map>

namespace
{

// A window's shape is that of its 1x bitmap (hit-testing and masks stay logical), so each 2x
// block of four pixels is outside exactly when its 1x pixel is: an edge pixel antialiased
// differently at 2x neither shows the shape colour inside the window nor reaches beyond it.
void MatchShape(const QImage& bmp1x, QImage& bmp2x)
{
    const QRgb rgbOutside = Palette::ShapeOutside.rgb();
    const QImage src1x = bmp1x.convertToFormat(QImage::Format_RGB32);
    QImage out = bmp2x.convertToFormat(QImage::Format_RGB32);
    bool bShaped = false;
    for (int y = 0; y < src1x.height() && !bShaped; ++y)
    {
        const auto* pLine = reinterpret_cast<const QRgb*>(src1x.constScanLine(y));
        for (int x = 0; x < src1x.width() && !bShaped; ++x)
            bShaped = pLine[x] == rgbOutside;
    }
    if (!bShaped)
        return;
    for (int y = 0; y < out.height(); ++y)
    {
        const auto* pLine1x = reinterpret_cast<const QRgb*>(src1x.constScanLine(y / 2));
        auto* pLine = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
        {
            const QRgb rgb1x = pLine1x[x / 2];
            if (rgb1x == rgbOutside)
                pLine[x] = rgbOutside;
            else if (pLine[x] == rgbOutside)
                pLine[x] = rgb1x;
        }
    }
    bmp2x = out.convertToFormat(bmp2x.format());
}

} // namespace

bool DrawHiDpiSet(const std::vector<GeneratedResource>& vec1x, std::vector<GeneratedResource>& vec2x)
{
    SetCanvasScale(2);
    AddWindowArtwork(vec2x);
    AddDialogArtwork(vec2x);
    AddControlArtwork(vec2x);
    SetCanvasScale(1);
    if (vec2x.size() != vec1x.size())
    {
        std::fprintf(stderr, "skingen: the 2x set has %zu pictures, the 1x set %zu\n", vec2x.size(), vec1x.size());
        return false;
    }
    bool bOk = true;
    for (size_t i = 0; i < vec1x.size(); ++i)
    {
        const GeneratedResource& res1x = vec1x[i];
        GeneratedResource& res2x = vec2x[i];
        if (res2x.m_eKind != res1x.m_eKind || res2x.m_nId != res1x.m_nId || res2x.m_nFrames != res1x.m_nFrames ||
            res2x.m_image.size() != res1x.m_image.size() * 2)
        {
            std::fprintf(stderr, "skingen: 2x %s %d is %dx%d, not twice %dx%d\n", KindFolder(res1x.m_eKind),
                         res1x.m_nId, res2x.m_image.width(), res2x.m_image.height(), res1x.m_image.width(),
                         res1x.m_image.height());
            bOk = false;
            continue;
        }
        if (res2x.m_eKind == EResourceKind::Bitmap)
            MatchShape(res1x.m_image, res2x.m_image);
    }
    return bOk;
}

bool WriteHiDpiImages(const QDir& outDir, const std::vector<GeneratedResource>& vec2x)
{
    for (const GeneratedResource& res : vec2x)
    {
        const QString strFolder = QStringLiteral("2x/%1").arg(KindFolder(res.m_eKind));
        if (!outDir.mkpath(strFolder))
        {
            std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(outDir.filePath(strFolder)));
            return false;
        }
        const QString strPath = outDir.filePath(QStringLiteral("%1/%2.png").arg(strFolder).arg(res.m_nId));
        // Opaque pictures lose their alpha channel: a quarter of the bytes to inflate.
        QImage image = res.m_image;
        if (res.m_eKind == EResourceKind::Bitmap || IsOpaque(image))
            image = image.convertToFormat(QImage::Format_RGB888);
        QSaveFile file(strPath);
        bool bOk = file.open(QIODevice::WriteOnly);
        if (bOk)
        {
            QImageWriter writer(&file, "PNG");
            writer.setQuality(0); // Qt's PNG writer: quality 0 is zlib's strongest level
            bOk = writer.write(image);
        }
        if (!bOk || !file.commit())
        {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(strPath));
            return false;
        }
    }
    return true;
}

void ListHiDpiImages(QTextStream& stream, const std::vector<GeneratedResource>& vec2x)
{
    std::map<QString, std::vector<int>> byKind;
    for (const GeneratedResource& res : vec2x)
        byKind[KindFolder(res.m_eKind)].push_back(res.m_nId);
    for (auto& [strKind, vecIds] : byKind)
    {
        std::sort(vecIds.begin(), vecIds.end());
        stream << "  <qresource prefix=\"/2x/" << strKind << "\">\n";
        for (int nId : vecIds)
            stream << "    <file alias=\"" << nId << "\">2x/" << strKind << "/" << nId << ".png</file>\n";
        stream << "  </qresource>\n";
    }
}
