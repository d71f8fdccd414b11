#include "skin/EmbeddedImage.h"
#include "skin/SkinDraw.h"

#include <QDir>
#include <QPainter>
#include <gtest/gtest.h>

namespace
{

QImage Solid(int w, int h, QRgb rgb)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(rgb);
    return img;
}

const QRgb kShapeRgb = qRgb(255, 255, 0);

} // namespace

TEST(StripFrames, FrameWidthDropsTheRemainder)
{
    EXPECT_EQ(StripFrameWidth(112, 7), 16);
    EXPECT_EQ(StripFrameWidth(118, 7), 16);
    EXPECT_EQ(StripFrameWidth(63, 3), 21);
    EXPECT_EQ(StripFrameWidth(10, 0), 0);
}

TEST(StripFrames, DrawsTheRequestedFrameStretched)
{
    // Three 4x2 frames: red, green, blue.
    LoadedImage strip;
    strip.m_image = QImage(12, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 2; ++y)
            strip.m_image.setPixel(x, y, x < 4 ? qRgb(255, 0, 0) : x < 8 ? qRgb(0, 255, 0) : qRgb(0, 0, 255));
    strip.m_nWidth = 12;
    strip.m_nHeight = 2;
    QImage target = Solid(20, 10, qRgb(0, 0, 0));
    QPainter dc(&target);
    DrawStripFrame(&dc, &strip, CRect(2, 2, 10, 6), 1, 4, 2);
    DrawStripFrame(&dc, nullptr, CRect(0, 0, 20, 10), 0, 4, 2); // no image: nothing drawn
    dc.end();
    EXPECT_EQ(target.pixel(2, 2), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(9, 5), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(10, 5), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(1, 1), qRgb(0, 0, 0));
}

TEST(KeyedFrame, KeyColourIsTransparentAndFrameIsStretched)
{
    // Two 2x2 frames; frame 1 has a key-coloured (magenta) top-left pixel.
    QImage bmp = Solid(4, 2, qRgb(10, 20, 30));
    bmp.setPixel(2, 0, qRgb(255, 0, 255));
    const COLORREF crKey = RGBRef(255, 0, 255);
    const QImage frame = MakeKeyedFrame(bmp, 2, 2, 2, 4, 4, crKey);
    ASSERT_EQ(frame.size(), QSize(4, 4));
    EXPECT_EQ(qAlpha(frame.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(frame.pixel(1, 1)), 0); // the key pixel doubled in both directions
    EXPECT_EQ(frame.pixel(2, 0), qRgb(10, 20, 30));
    EXPECT_EQ(frame.pixel(3, 3), qRgb(10, 20, 30));

    QImage target = Solid(8, 8, qRgb(200, 200, 200));
    QPainter dc(&target);
    EXPECT_TRUE(DrawKeyedFrame(&dc, 1, 1, 4, 4, bmp, 2, 2, 2, crKey));
    dc.end();
    EXPECT_EQ(target.pixel(1, 1), qRgb(200, 200, 200)); // background shows through the key colour
    EXPECT_EQ(target.pixel(3, 1), qRgb(10, 20, 30));
    EXPECT_EQ(target.pixel(5, 5), qRgb(200, 200, 200)); // outside the destination
}

TEST(KeyedFrame, NonPositiveSizesDrawNothing)
{
    const QImage bmp = Solid(4, 2, qRgb(1, 2, 3));
    QImage target = Solid(4, 4, qRgb(9, 9, 9));
    QPainter dc(&target);
    EXPECT_FALSE(DrawKeyedFrame(&dc, 0, 0, 0, 4, bmp, 0, 2, 2, 0));
    EXPECT_FALSE(DrawKeyedFrame(&dc, 0, 0, 4, 0, bmp, 0, 2, 2, 0));
    EXPECT_FALSE(DrawKeyedFrame(&dc, 0, 0, 4, 4, bmp, 0, 0, 2, 0));
    EXPECT_FALSE(DrawKeyedFrame(&dc, 0, 0, 4, 4, QImage(), 0, 2, 2, 0));
    dc.end();
    EXPECT_EQ(target.pixel(0, 0), qRgb(9, 9, 9));
}

TEST(WindowRegion, RunsOfNonShapePixelsRowByRow)
{
    QImage bmp = Solid(6, 3, kShapeRgb);
    // Row 0: pixels 1..2 and 4..5 inside. Row 1: all shape colour. Row 2: only the last pixel.
    for (int x : {1, 2, 4, 5})
        bmp.setPixel(x, 0, qRgb(0, 0, 0));
    bmp.setPixel(5, 2, qRgb(1, 1, 1));
    const QRegion rgn = RegionFromBitmap(bmp);
    EXPECT_FALSE(rgn.contains(QPoint(0, 0)));
    EXPECT_TRUE(rgn.contains(QPoint(1, 0)));
    EXPECT_TRUE(rgn.contains(QPoint(2, 0)));
    EXPECT_FALSE(rgn.contains(QPoint(3, 0)));
    EXPECT_TRUE(rgn.contains(QPoint(5, 0)));
    for (int x = 0; x < 6; ++x)
        EXPECT_FALSE(rgn.contains(QPoint(x, 1))) << x;
    EXPECT_TRUE(rgn.contains(QPoint(5, 2)));
    EXPECT_FALSE(rgn.contains(QPoint(4, 2)));
    // Near-yellow counts as inside: only the exact shape colour is outside.
    QImage almost = Solid(2, 1, qRgb(255, 254, 0));
    EXPECT_TRUE(RegionFromBitmap(almost).contains(QPoint(1, 0)));
    EXPECT_TRUE(RegionFromBitmap(Solid(5, 5, kShapeRgb)).isEmpty());
}

TEST(BackgroundPreparation, AverageColourIsPerChannelIntegerMean)
{
    QImage bmp(2, 1, QImage::Format_RGB32);
    bmp.setPixel(0, 0, qRgb(10, 0, 255));
    bmp.setPixel(1, 0, qRgb(21, 3, 0));
    bool bOk = false;
    EXPECT_EQ(AverageColour(bmp, 0x123456, &bOk), RGBRef(15, 1, 127));
    EXPECT_TRUE(bOk);
    // Rows wider than a summing block, of full red and blue: the channels must not run into each other.
    QImage wide(600, 2, QImage::Format_RGB32);
    wide.fill(qRgb(255, 7, 255));
    wide.setPixel(599, 1, qRgb(0, 0, 0));
    EXPECT_EQ(AverageColour(wide, 0, &bOk), RGBRef(254, 6, 254));
    EXPECT_EQ(AverageColour(QImage(), 0x123456, &bOk), 0x123456u);
    EXPECT_FALSE(bOk);
}

TEST(BackgroundPreparation, EveryShippedBitmapsSummaryIsWhatItsPixelsGive)
{
    // Windows take a bitmap's average colour and shape from the summary beside it, never from
    // the pixels: a stale or misfiled summary would give a wrong fill or outline.
    const QStringList listBitmaps = QDir(QStringLiteral(":/BITMAP")).entryList();
    ASSERT_TRUE(listBitmaps.contains(QStringLiteral("129")));
    EXPECT_EQ(QDir(QStringLiteral(":/BITMAP_SUMMARY")).entryList(), listBitmaps);
    for (const QString& strId : listBitmaps)
    {
        SCOPED_TRACE(strId.toStdString());
        const QImage bmp = LoadBitmapResource(strId.toUInt());
        BitmapSummary summary;
        ASSERT_TRUE(FindBitmapSummary(strId.toUInt(), summary));
        bool bOk = false;
        EXPECT_EQ(summary.m_crAverage, AverageColour(bmp, 0, &bOk));
        EXPECT_TRUE(bOk);
        EXPECT_EQ(summary.m_vecShapeRuns, ShapeRuns(bmp));
        EXPECT_EQ(RegionFromRuns(summary.m_vecShapeRuns), RegionFromBitmap(bmp));
    }
    BitmapSummary none;
    EXPECT_FALSE(FindBitmapSummary(1, none));
}

TEST(BackgroundPreparation, FadeWidthFollowsPictureAndWindowSizes)
{
    EXPECT_EQ(FadeWidth(400, 270, 400, 270), 0);
    EXPECT_EQ(FadeWidth(800, 634, 800, 634), 0);
    EXPECT_EQ(FadeWidth(400, 300, 305, 215), 100);
    EXPECT_EQ(FadeWidth(400, 300, 90, 60), 60);
    EXPECT_EQ(FadeWidth(400, 300, 500, 200), 100); // taller window alone is enough
}

TEST(BackgroundPreparation, FadeAlphas)
{
    EXPECT_EQ(FadeLineAlpha(0, 100), 255);
    EXPECT_EQ(FadeLineAlpha(50, 100), 127); // 255 - 127.5 truncated
    EXPECT_EQ(FadeLineAlpha(99, 100), 2);
    EXPECT_EQ(FadeLineAlpha(1, 60), 250); // 255 - 4.25
    EXPECT_EQ(FadeCornerAlpha(0, 0, 100), 255);
    EXPECT_EQ(FadeCornerAlpha(30, 40, 100), 127); // distance 50
    EXPECT_EQ(FadeCornerAlpha(99, 99, 100), 0);   // distance capped at F
}

TEST(BackgroundPreparation, PictureFadesIntoTheFill)
{
    const QImage bmp = Solid(10, 8, qRgb(200, 100, 0));
    const COLORREF crFill = RGBRef(0, 0, 100);
    const QImage noFade = PrepareBackgroundImage(bmp, crFill, 0);
    EXPECT_EQ(noFade.pixel(9, 7), qRgb(200, 100, 0));

    const QImage faded = PrepareBackgroundImage(bmp, crFill, 4);
    ASSERT_EQ(faded.size(), QSize(10, 8));
    EXPECT_EQ(faded.pixel(5, 3), qRgb(200, 100, 0)); // untouched area
    EXPECT_EQ(faded.pixel(6, 0), qRgb(200, 100, 0)); // first faded column has alpha 255
    // Column 2 of the right strip: alpha trunc(255 - 2 * 63.75) = 127.
    const QRgb rgbMid = faded.pixel(8, 1);
    EXPECT_EQ(qRed(rgbMid), (200 * 127 + 0 * 128 + 127) / 255);
    EXPECT_EQ(qBlue(rgbMid), (0 * 127 + 100 * 128 + 127) / 255);
    // Bottom strip row 3 (alpha 63) and the far corner (distance capped: alpha 63 at (3,0)).
    EXPECT_EQ(qRed(faded.pixel(0, 7)), (200 * 63 + 127) / 255);
    EXPECT_EQ(qRed(faded.pixel(9, 4)), (200 * 63 + 127) / 255);
    EXPECT_EQ(qRed(faded.pixel(6, 4)), 200); // corner origin keeps the picture
}

TEST(Text, WordEllipsisCutsAtAWordBoundary)
{
    const QFont font = SkinFont(0, 0, 400);
    const QString strLong =
        QStringLiteral("The config file is error，Please uninstall software and install it again! and more and more");
    const QString strShown = WordEllipsisText(font, strLong, 200);
    EXPECT_TRUE(strShown.endsWith(QStringLiteral("...")));
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(strShown), 200);
    const QString strKept = strShown.left(strShown.size() - 3);
    EXPECT_TRUE(strLong.startsWith(strKept));
    EXPECT_EQ(strLong.at(strKept.size()), QLatin1Char(' '));
    EXPECT_EQ(WordEllipsisText(font, QStringLiteral("short"), 200), QStringLiteral("short"));
}

TEST(Text, PathEllipsisKeepsTheLastPartOfAPathWhole)
{
    const QFont font = SkinFont(0, 0, 400);
    const QFontMetrics fm(font);
    const QString strPath = QStringLiteral("/home/someone/Applications/Graphics and Photos/bin/image-editor.AppImage");
    const QString strShown = PathEllipsisText(font, strPath, 230);
    EXPECT_TRUE(strShown.startsWith(QStringLiteral("/home/"))) << strShown.toStdString();
    EXPECT_TRUE(strShown.endsWith(QStringLiteral(".../image-editor.AppImage"))) << strShown.toStdString();
    EXPECT_LE(fm.horizontalAdvance(strShown), 230);
    // A last part too long for the width keeps its end.
    const QString strTail = PathEllipsisText(font, QStringLiteral("/x/") + QString(60, QLatin1Char('n')) + ".sh", 120);
    EXPECT_TRUE(strTail.endsWith(QStringLiteral("nn.sh"))) << strTail.toStdString();
    EXPECT_LE(fm.horizontalAdvance(strTail), 120);
}
