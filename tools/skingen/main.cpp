// Skin generator: draws every picture the program embeds and writes each in the
// embedded form (skin/EmbeddedImage.h: a small header and the pixels as the program
// draws them, so nothing is decoded at run time), with a Qt resource collection that
// lists them by resource id:
//   :/PNG/<id>     strips and pictures (premultiplied ARGB, or opaque RGB when
//                  no pixel is transparent)
//   :/BITMAP/<id>  24-bit pictures (opaque RGB)
//   :/ICON/128     the window icon
//   :/BITMAP_SUMMARY/<id>  each bitmap's average colour and shape (BitmapSummaries.h)
//   :/2x/<kind>/<id>  the same pictures drawn at twice the pixels, as PNG (HiDpiSet.h)
// Usage: skingen <output folder>
// For review it also writes contact_sheet.png (all pictures on one page) and
// preview_*.png (the windows composed with their controls); neither is embedded.

#include "Artwork.h"
#include "BitmapSummaries.h"
#include "HiDpiSet.h"
#include "Preview.h"
#include "SkinPaint.h"
#include "skin/EmbeddedImage.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

namespace
{

bool CheckResources(const std::vector<GeneratedResource>& vecResources)
{
    bool bOk = true;
    std::set<std::pair<int, int>> seen;
    for (const GeneratedResource& res : vecResources)
    {
        const int nKind = static_cast<int>(res.m_eKind);
        if (!seen.insert({nKind, res.m_nId}).second)
        {
            std::fprintf(stderr, "skingen: %s %d generated twice\n", KindFolder(res.m_eKind), res.m_nId);
            bOk = false;
        }
        if (res.m_image.isNull() || res.m_nFrames < 1 || res.m_image.width() % res.m_nFrames != 0)
        {
            std::fprintf(stderr, "skingen: %s %d has a bad size %dx%d for %d frames\n", KindFolder(res.m_eKind),
                         res.m_nId, res.m_image.width(), res.m_image.height(), res.m_nFrames);
            bOk = false;
        }
        if (res.m_eKind == EResourceKind::Bitmap && res.m_image.hasAlphaChannel())
        {
            std::fprintf(stderr, "skingen: bitmap %d carries alpha\n", res.m_nId);
            bOk = false;
        }
    }
    return bOk;
}

// Bitmaps, and pictures without a transparent pixel, are stored opaque: the program then copies
// them to the screen instead of blending them pixel by pixel.
bool WriteEmbeddedImage(QIODevice& file, const GeneratedResource& res)
{
    const bool bOpaque = res.m_eKind == EResourceKind::Bitmap || IsOpaque(res.m_image);
    const QImage image =
        res.m_image.convertToFormat(bOpaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    EmbeddedImageHeader header;
    header.m_nWidth = static_cast<uint32_t>(image.width());
    header.m_nHeight = static_cast<uint32_t>(image.height());
    header.m_nFormat = bOpaque ? EmbeddedImageHeader::kOpaqueRgb : EmbeddedImageHeader::kPremultipliedArgb;
    if (file.write(reinterpret_cast<const char*>(&header), sizeof header) != sizeof header)
        return false;
    const qint64 nRowBytes = static_cast<qint64>(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        if (file.write(reinterpret_cast<const char*>(image.constScanLine(y)), nRowBytes) != nRowBytes)
            return false;
    return true;
}

bool WriteImages(const QDir& outDir, const std::vector<GeneratedResource>& vecResources)
{
    for (const GeneratedResource& res : vecResources)
    {
        const QString strFolder = KindFolder(res.m_eKind);
        if (!outDir.mkpath(strFolder))
        {
            std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(outDir.filePath(strFolder)));
            return false;
        }
        const QString strPath = outDir.filePath(QString("%1/%2.img").arg(strFolder).arg(res.m_nId));
        QSaveFile file(strPath);
        if (!file.open(QIODevice::WriteOnly) || !WriteEmbeddedImage(file, res) || !file.commit())
        {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(strPath));
            return false;
        }
    }
    return true;
}

bool WriteCollection(const QDir& outDir, const std::vector<GeneratedResource>& vecResources,
                     const std::vector<GeneratedResource>& vec2x)
{
    std::map<QString, std::vector<int>> byKind;
    for (const GeneratedResource& res : vecResources)
    {
        byKind[KindFolder(res.m_eKind)].push_back(res.m_nId);
        if (res.m_eKind == EResourceKind::Bitmap)
            byKind[SummaryFolder].push_back(res.m_nId);
    }
    QString strQrc;
    QTextStream stream(&strQrc);
    stream << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n";
    for (auto& [strKind, vecIds] : byKind)
    {
        std::sort(vecIds.begin(), vecIds.end());
        stream << "  <qresource prefix=\"/" << strKind << "\">\n";
        for (int nId : vecIds)
            stream << "    <file alias=\"" << nId << "\">" << strKind << "/" << nId << ".img</file>\n";
        stream << "  </qresource>\n";
    }
    ListHiDpiImages(stream, vec2x);
    stream << "</RCC>\n";
    stream.flush();
    const QString strPath = outDir.filePath("corvane_resources.qrc");
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(strQrc.toUtf8()) < 0 || !file.commit())
    {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(strPath));
        return false;
    }
    return true;
}

// All pictures on one page: small ones enlarged, the window-sized ones halved.
QImage ContactSheet(const std::vector<GeneratedResource>& vecResources, int nPageWidth,
                    const std::function<bool(const GeneratedResource&)>& include)
{
    struct Tile
    {
        const GeneratedResource* m_pRes;
        QSize m_size;
        QPoint m_pos;
    };
    std::vector<Tile> vecTiles;
    int x = 10, y = 10, nRowHeight = 0;
    const int nLabel = 14;
    for (const GeneratedResource& res : vecResources)
    {
        if (!include(res))
            continue;
        const QSize size = res.m_image.size();
        const int nLongest = std::max(size.width() / res.m_nFrames, size.height());
        double dScale = nLongest <= 30 ? 3.0 : (nLongest <= 80 ? 2.0 : (size.width() >= 600 ? 0.5 : 1.0));
        if (size.width() * dScale > nPageWidth - 20)
            dScale = (nPageWidth - 20.0) / size.width();
        const QSize scaled(static_cast<int>(size.width() * dScale), static_cast<int>(size.height() * dScale));
        const int nTileWidth = std::max(scaled.width(), 90);
        if (x + nTileWidth > nPageWidth - 10)
        {
            x = 10;
            y += nRowHeight + nLabel + 10;
            nRowHeight = 0;
        }
        vecTiles.push_back({&res, scaled, QPoint(x, y)});
        x += nTileWidth + 12;
        nRowHeight = std::max(nRowHeight, scaled.height());
    }
    const int nHeight = y + nRowHeight + nLabel + 10;
    QImage sheet(nPageWidth, nHeight, QImage::Format_RGB32);
    sheet.fill(QColor(58, 60, 68));
    QPainter painter(&sheet);
    painter.setFont(UiFont(10));
    for (const Tile& tile : vecTiles)
    {
        const GeneratedResource& res = *tile.m_pRes;
        const QRect target(tile.m_pos, tile.m_size);
        painter.fillRect(target, QColor(90, 92, 100));
        painter.drawImage(target, res.m_image);
        // Frame boundaries of strips.
        painter.setPen(QColor(255, 255, 255, 60));
        for (int i = 1; i < res.m_nFrames; ++i)
        {
            const int fx = target.left() + target.width() * i / res.m_nFrames;
            painter.drawLine(fx, target.bottom() + 2, fx, target.bottom() + 4);
        }
        painter.setPen(QColor(230, 230, 230));
        painter.drawText(QPoint(target.left(), target.bottom() + 14), QString("%1 %2  %3x%4/%5")
                                                                          .arg(KindFolder(res.m_eKind))
                                                                          .arg(res.m_nId)
                                                                          .arg(res.m_image.width())
                                                                          .arg(res.m_image.height())
                                                                          .arg(res.m_nFrames));
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: skingen <output folder>\n");
        return 2;
    }
    const QStringList missing = MissingPreferredFonts();
    if (!missing.isEmpty())
        std::fprintf(stderr, "skingen: note: fonts not installed, using fallbacks: %s\n",
                     qPrintable(missing.join(", ")));

    std::vector<GeneratedResource> vecResources;
    AddWindowArtwork(vecResources);
    AddDialogArtwork(vecResources);
    AddControlArtwork(vecResources);
    std::vector<GeneratedResource> vec2x;
    if (!CheckResources(vecResources) || !DrawHiDpiSet(vecResources, vec2x))
        return 1;

    QDir outDir(QString::fromLocal8Bit(argv[1]));
    if (!outDir.mkpath("."))
    {
        std::fprintf(stderr, "skingen: cannot create %s\n", argv[1]);
        return 1;
    }
    if (!WriteImages(outDir, vecResources) || !WriteBitmapSummaries(outDir, vecResources) ||
        !WriteHiDpiImages(outDir, vec2x) || !WriteCollection(outDir, vecResources, vec2x))
        return 1;
    // Three review sheets: everything, the keys, and the small controls enlarged.
    const auto isPageTwin = [](const GeneratedResource& res)
    { return res.m_eKind == EResourceKind::Bitmap && res.m_nId >= 259 && res.m_nId <= 261; };
    const auto isKey = [](const GeneratedResource& res) { return res.m_strNote.startsWith("keycap "); };
    bool bSheets = ContactSheet(vecResources, 1800, [&](const GeneratedResource& res) { return !isPageTwin(res); })
                       .save(outDir.filePath("contact_sheet.png"), "PNG");
    bSheets &= ContactSheet(vecResources, 1300, isKey).save(outDir.filePath("contact_sheet_keys.png"), "PNG");
    bSheets &= ContactSheet(vec2x, 1300, isKey).save(outDir.filePath("contact_sheet_keys_2x.png"), "PNG");
    bSheets &= ContactSheet(vecResources, 1300,
                            [&](const GeneratedResource& res)
                            { return !isKey(res) && !isPageTwin(res) && res.m_image.height() < 100; })
                   .save(outDir.filePath("contact_sheet_controls.png"), "PNG");
    if (!bSheets)
        std::fprintf(stderr, "skingen: note: contact sheets not written\n");
    WritePreviews(outDir.path(), vecResources);
    return 0;
}
