#include "BitmapSummaries.h"

#include "skin/EmbeddedImage.h"
#include "skin/PixelSummary.h"

#include <QSaveFile>
#include <cstdio>

namespace
{

bool WriteSummary(QIODevice& file, const QImage& bmp)
{
    bool bOk = false;
    const COLORREF crAverage = AverageColour(bmp, 0, &bOk);
    const QVector<QRect> vecRuns = ShapeRuns(bmp);
    if (!bOk)
        return false;
    EmbeddedSummaryHeader header;
    header.m_nAverage = crAverage;
    header.m_nRuns = static_cast<uint32_t>(vecRuns.size());
    if (file.write(reinterpret_cast<const char*>(&header), sizeof header) != sizeof header)
        return false;
    for (const QRect& rc : vecRuns)
    {
        const int32_t arrRun[3] = {rc.x(), rc.y(), rc.width()};
        if (file.write(reinterpret_cast<const char*>(arrRun), sizeof arrRun) != sizeof arrRun)
            return false;
    }
    return true;
}

} // namespace

bool WriteBitmapSummaries(const QDir& outDir, const std::vector<GeneratedResource>& vecResources)
{
    if (!outDir.mkpath(SummaryFolder))
    {
        std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(outDir.filePath(SummaryFolder)));
        return false;
    }
    for (const GeneratedResource& res : vecResources)
    {
        if (res.m_eKind != EResourceKind::Bitmap)
            continue;
        const QString strPath = outDir.filePath(QString("%1/%2.img").arg(SummaryFolder).arg(res.m_nId));
        QSaveFile file(strPath);
        if (!file.open(QIODevice::WriteOnly) || !WriteSummary(file, res.m_image) || !file.commit())
        {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(strPath));
            return false;
        }
    }
    return true;
}
