// The windows at the device pixel ratio the test runs at: ctest runs this file's tests at 100 %
// and again with QT_SCALE_FACTOR=2. Each picture on the screen must be the skin's own picture of
// that ratio, pixel for pixel, in the same logical place; at 100 % the 2x set is never touched.

#include "MainWindowTestSupport.h"

#include "dialogs/FirmwareResetDlg.h"
#include "skin/EmbeddedImage.h"
#include "skin/SkinDraw.h"

#include "KeyButtonLayout.h"

#include <QPixmap>

namespace
{

// rcLogical of a resource picture (kind "PNG" or "BITMAP") as the set of dRatio holds it.
QImage SkinPixels(const char* pszKind, unsigned nId, const QRect& rcLogical, qreal dRatio)
{
    const QImage img = dRatio > 1 ? EmbeddedImage2x(pszKind, nId) : EmbeddedImage(pszKind, nId);
    const int nScale = dRatio > 1 ? 2 : 1;
    return img.copy(QRect(rcLogical.topLeft() * nScale, rcLogical.size() * nScale))
        .convertToFormat(QImage::Format_ARGB32);
}

// Pixels of rcLogical on the screen shot that differ from the opaque pixels of the expected picture
// (its antialiased edges blend with what lies under them).
int DifferingPixels(const QImage& shot, const QRect& rcLogical, const QImage& expected)
{
    const qreal dRatio = shot.devicePixelRatio();
    const QImage got = shot.copy(QRect((rcLogical.topLeft() * dRatio), rcLogical.size() * dRatio))
                           .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(got.size(), expected.size());
    int nDiffering = 0;
    for (int y = 0; y < std::min(got.height(), expected.height()); ++y)
        for (int x = 0; x < std::min(got.width(), expected.width()); ++x)
            if (qAlpha(expected.pixel(x, y)) == 255 && got.pixel(x, y) != expected.pixel(x, y))
                ++nDiffering;
    return nDiffering;
}

} // namespace

TEST_F(MainWindowTest, KeycapsAndBackgroundAreTheSkinPicturesOfTheWindowsPixelRatio)
{
    Open();
    const qreal dRatio = Dlg().devicePixelRatioF();
    const int nDecodedBefore = EmbeddedImage2xDecodedCount();
    const KeyButtonLayout& hovered = KeyButtonLayoutTable[30]; // a key of the number row
    Dlg().WindowProc(WM_MOUSEMOVE, 0, MakeLParam(hovered.m_nLeft + 5, hovered.m_nTop + 5));
    const QImage shot = Dlg().grab().toImage(); // through the window's own painting
    ASSERT_EQ(shot.size(), QSize(800, 634) * dRatio);

    for (const KeyButtonLayout* pKey : {&KeyButtonLayoutTable[0], &KeyButtonLayoutTable[1], &hovered,
                                        &KeyButtonLayoutTable[60], &KeyButtonLayoutTable[102]})
    {
        const int nFrame = pKey == &hovered ? 1 : 0;
        const QRect rcKey(pKey->m_nLeft, pKey->m_nTop, pKey->m_nWidth, pKey->m_nHeight);
        const QRect rcFrame(nFrame * pKey->m_nWidth, 0, pKey->m_nWidth, pKey->m_nHeight);
        EXPECT_EQ(DifferingPixels(shot, rcKey, SkinPixels("PNG", pKey->m_nImageId, rcFrame, dRatio)), 0)
            << "key " << pKey->m_pszCaption << " at ratio " << dRatio;
    }
    // A stretch of the window's own background, beside the logo.
    const QRect rcBackground(20, 100, 90, 20);
    EXPECT_EQ(DifferingPixels(shot, rcBackground, SkinPixels("BITMAP", 129, rcBackground, dRatio)), 0);

    if (dRatio == 1)
    {
        EXPECT_EQ(EmbeddedImage2xDecodedCount(), nDecodedBefore) << "a 2x picture was decoded at 100 %";
    }
}

TEST_F(MainWindowTest, KeyedBitmapButtonsShowTheirFaceAndLetTheBackgroundThroughAtEveryRatio)
{
    CFirmwareResetDlg dlg;
    dlg.Create();
    const qreal dRatio = dlg.devicePixelRatioF();
    const QImage shot = dlg.grab().toImage();
    const QRect rcOk(223, 230, 73, 29); // bitmap 162, frame 0; its key colour is that of pixel (0, 0)
    const QImage face = SkinPixels("BITMAP", 162, QRect(0, 0, 73, 29), dRatio);
    const QRgb rgbKey = face.pixel(0, 0);
    QImage faceOnly = face;
    int nKeyed = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            if (face.pixel(x, y) == rgbKey)
            {
                faceOnly.setPixel(x, y, 0); // left out of the comparison
                ++nKeyed;
            }
    ASSERT_GT(nKeyed, 0);
    EXPECT_EQ(DifferingPixels(shot, rcOk, faceOnly), 0) << "at ratio " << dRatio;
    // Where the key colour was, the dialog's background shows.
    const QImage background = SkinPixels("BITMAP", 165, rcOk, dRatio);
    const QImage got =
        shot.copy(QRect(rcOk.topLeft() * dRatio, rcOk.size() * dRatio)).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < face.height(); ++y)
    {
        for (int x = 0; x < face.width(); ++x)
        {
            if (face.pixel(x, y) == rgbKey)
            {
                ASSERT_EQ(got.pixel(x, y), background.pixel(x, y)) << x << "," << y << " at ratio " << dRatio;
            }
        }
    }
}
