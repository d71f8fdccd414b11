// Checks the generated skin as the toolkit will load it: every resource id is
// present at its exact size, strips cut into whole frames, bitmaps are 24-bit,
// window shapes keep the shape colour outside the controls, and the pictures
// the controls switch between really differ.

#include "skin/EmbeddedImage.h"
#include "skin/ResourceInit.h"
#include "KeyButtonLayout.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QString>

#include <cmath>
#include <queue>
#include <vector>

namespace
{

struct Expected
{
    const char* m_pszKind;
    int m_nId;
    int m_nWidth;
    int m_nHeight;
    int m_nFrames;
};

// Sizes fixed by the windows and controls that use the pictures.
const Expected kExpected[] = {
    {"BITMAP", 129, 800, 634, 1}, {"BITMAP", 153, 420, 206, 1}, {"BITMAP", 176, 305, 245, 1},
    {"BITMAP", 165, 400, 270, 1}, {"BITMAP", 258, 400, 270, 1}, {"BITMAP", 272, 400, 270, 1},
    {"BITMAP", 380, 400, 270, 1}, {"BITMAP", 154, 78, 24, 3},   {"BITMAP", 381, 69, 21, 3},
    {"BITMAP", 383, 69, 21, 3},   {"BITMAP", 162, 219, 29, 3},  {"BITMAP", 163, 198, 29, 3},
    {"BITMAP", 384, 219, 29, 3},  {"BITMAP", 385, 258, 29, 3},  {"BITMAP", 275, 57, 19, 3},
    {"PNG", 137, 195, 26, 3},     {"PNG", 262, 141, 26, 3},     {"PNG", 263, 159, 26, 3},
    {"PNG", 264, 159, 26, 3},     {"PNG", 171, 204, 21, 3},     {"PNG", 170, 213, 21, 3},
    {"PNG", 169, 213, 21, 3},     {"PNG", 135, 66, 22, 3},      {"PNG", 136, 63, 21, 3},
    {"PNG", 166, 90, 28, 3},      {"PNG", 167, 90, 20, 3},      {"PNG", 168, 90, 23, 3},
    {"PNG", 164, 264, 25, 3},     {"PNG", 257, 258, 25, 3},     {"PNG", 267, 258, 23, 3},
    {"PNG", 268, 258, 23, 3},     {"PNG", 269, 258, 23, 3},     {"PNG", 270, 258, 23, 3},
    {"PNG", 276, 297, 23, 3},     {"PNG", 177, 66, 18, 3},      {"PNG", 156, 112, 16, 7},
    {"PNG", 189, 1099, 29, 7},    {"PNG", 265, 1145, 30, 5},    {"PNG", 266, 830, 30, 5},
    {"PNG", 273, 1050, 21, 5},    {"PNG", 191, 15, 15, 1},      {"PNG", 192, 15, 15, 1},
    {"PNG", 193, 15, 15, 1},      {"PNG", 259, 702, 388, 1},    {"PNG", 260, 702, 388, 1},
    {"PNG", 261, 702, 388, 1},    {"PNG", 224, 21, 247, 1},
};

QImage Load(const char* pszKind, int nId)
{
    return EmbeddedImage(pszKind, static_cast<unsigned>(nId));
}

bool IsShapeColour(QRgb px)
{
    return qRed(px) == 255 && qGreen(px) == 255 && qBlue(px) == 0;
}

const KeyButtonLayout* FindKey(int nId)
{
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
        if (key.m_nId == nId)
            return &key;
    return nullptr;
}

// Mean absolute channel difference between two frames of a strip.
double FrameDifference(const QImage& strip, int nFrames, int nA, int nB)
{
    const int nWidth = strip.width() / nFrames;
    const QImage image = strip.convertToFormat(QImage::Format_ARGB32);
    double dSum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < nWidth; ++x)
        {
            const QRgb a = image.pixel(nA * nWidth + x, y), b = image.pixel(nB * nWidth + x, y);
            dSum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    return dSum / (3.0 * nWidth * image.height());
}

class ResourceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CorvaneInitResources(); }
};

TEST_F(ResourceTest, EveryListedPictureHasItsExactSizeAndWholeFrames)
{
    for (const Expected& e : kExpected)
    {
        SCOPED_TRACE(QString("%1 %2").arg(e.m_pszKind).arg(e.m_nId).toStdString());
        const QImage image = Load(e.m_pszKind, e.m_nId);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), e.m_nWidth);
        EXPECT_EQ(image.height(), e.m_nHeight);
        EXPECT_EQ(image.width() % e.m_nFrames, 0);
    }
    // Scroll arrows are as wide as the 21-pixel scroll bars and leave room for a thumb.
    for (int nId : {187, 188})
    {
        const QImage arrow = Load("PNG", nId);
        ASSERT_FALSE(arrow.isNull()) << nId;
        EXPECT_EQ(arrow.width(), 63) << nId;
        EXPECT_GT(arrow.height(), 8) << nId;
        EXPECT_LT(arrow.height(), 60) << nId;
    }
    const QImage icon = Load("ICON", 128);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.width(), icon.height());
    EXPECT_GE(icon.width(), 32);
}

TEST_F(ResourceTest, BitmapsAreOpaqueAndBitmapButtonsHaveVisibleFaces)
{
    for (const Expected& e : kExpected)
    {
        if (QString(e.m_pszKind) != "BITMAP")
            continue;
        const QImage image = Load(e.m_pszKind, e.m_nId);
        ASSERT_FALSE(image.isNull()) << e.m_nId;
        EXPECT_FALSE(image.hasAlphaChannel()) << e.m_nId;
        if (e.m_nFrames == 3)
        {
            // The transparent colour is read from pixel (0, 0); the middle of every
            // frame must not be transparent, or the button would vanish.
            const QRgb key = image.pixel(0, 0);
            const int nFrameWidth = image.width() / 3;
            for (int f = 0; f < 3; ++f)
                EXPECT_NE(image.pixel(f * nFrameWidth + nFrameWidth / 2, image.height() / 2), key)
                    << e.m_nId << " frame " << f;
        }
    }
}

TEST_F(ResourceTest, KeyButtonsUseTheDocumentedImagesAndSizes)
{
    // Image ids by button: Esc 271, F1..Pause 277.., "~"..Page Up 296.., Num Lock..Keypad - 292..,
    // Tab..Shift_R 313.., Up Arrow 152, Keypad 1..Keypad . 363..
    auto expectedImage = [](int nId)
    {
        if (nId == 2200)
            return 271;
        if (nId <= 2215)
            return 277 + (nId - 2201);
        if (nId <= 2232)
            return 296 + (nId - 2216);
        if (nId <= 2236)
            return 292 + (nId - 2233);
        if (nId <= 2285)
            return 313 + (nId - 2237);
        if (nId == 2286)
            return 152;
        return 363 + (nId - 2287);
    };
    for (int i = 0; i < 103; ++i)
    {
        const KeyButtonLayout& key = KeyButtonLayoutTable[i];
        SCOPED_TRACE(key.m_pszCaption);
        EXPECT_EQ(key.m_nId, 2200 + i);
        EXPECT_EQ(key.m_nImageId, expectedImage(key.m_nId));
        const QImage strip = Load("PNG", key.m_nImageId);
        ASSERT_FALSE(strip.isNull());
        EXPECT_EQ(strip.width(), 3 * key.m_nWidth);
        EXPECT_EQ(strip.height(), key.m_nHeight);
        // A remapped key shows the pressed frame: it must stand out from the normal one.
        EXPECT_GT(FrameDifference(strip, 3, 0, 2), 20.0);
        EXPECT_GT(FrameDifference(strip, 3, 0, 1), 5.0);
    }
    // Keys whose rectangles are fixed.
    struct Fixed
    {
        int m_nId, m_nLeft, m_nTop, m_nWidth, m_nHeight;
    };
    const Fixed fixed[] = {
        {2200, 131, 248, 21, 22}, {2213, 487, 248, 21, 21},  {2214, 510, 248, 21, 21}, {2217, 153, 280, 20, 21},
        {2229, 432, 279, 46, 22}, {2237, 131, 303, 33, 22},  {2250, 426, 325, 22, 22}, {2257, 633, 301, 22, 45},
        {2258, 131, 326, 39, 22}, {2270, 450, 302, 28, 45},  {2274, 131, 349, 50, 22}, {2285, 415, 349, 63, 22},
        {2286, 510, 348, 22, 22}, {2290, 633, 348, 22, 45},  {2291, 130, 372, 28, 22}, {2292, 160, 372, 27, 22},
        {2293, 188, 372, 28, 22}, {2294, 218, 372, 142, 22}, {2295, 362, 372, 28, 22}, {2296, 420, 372, 28, 22},
        {2297, 450, 372, 28, 22}, {2301, 564, 371, 45, 22}};
    for (const Fixed& f : fixed)
    {
        const KeyButtonLayout* pKey = FindKey(f.m_nId);
        ASSERT_NE(pKey, nullptr) << f.m_nId;
        EXPECT_EQ(QRect(pKey->m_nLeft, pKey->m_nTop, pKey->m_nWidth, pKey->m_nHeight),
                  QRect(f.m_nLeft, f.m_nTop, f.m_nWidth, f.m_nHeight))
            << f.m_nId;
    }
    // No two keys overlap, and all lie in the page area of the main window.
    const QRect page(47, 137, 702, 388);
    for (int i = 0; i < 103; ++i)
    {
        const KeyButtonLayout& a = KeyButtonLayoutTable[i];
        const QRect ra(a.m_nLeft, a.m_nTop, a.m_nWidth, a.m_nHeight);
        EXPECT_TRUE(page.contains(ra)) << a.m_nId;
        for (int j = i + 1; j < 103; ++j)
        {
            const KeyButtonLayout& b = KeyButtonLayoutTable[j];
            EXPECT_FALSE(ra.intersects(QRect(b.m_nLeft, b.m_nTop, b.m_nWidth, b.m_nHeight)))
                << a.m_nId << " and " << b.m_nId;
        }
    }
    // The spare key image id still resolves, at the size of its twin.
    EXPECT_EQ(Load("PNG", SpareKeyImageId).size(), Load("PNG", SpareKeyImageTwinId).size());
}

TEST_F(ResourceTest, StateStripsShowDistinctStates)
{
    struct Strip
    {
        int m_nId, m_nFrames, m_nA, m_nB;
    };
    // Tab normal vs selected, check box unchecked vs checked vs disabled,
    // record toggle idle vs recording, combo normal vs open.
    const Strip strips[] = {{137, 3, 0, 2}, {171, 3, 0, 2}, {156, 7, 0, 3}, {156, 7, 0, 6}, {156, 7, 3, 6},
                            {189, 7, 0, 3}, {265, 5, 0, 1}, {273, 5, 0, 2}, {135, 3, 0, 1}};
    for (const Strip& s : strips)
    {
        const QImage strip = Load("PNG", s.m_nId);
        ASSERT_FALSE(strip.isNull()) << s.m_nId;
        EXPECT_GT(FrameDifference(strip, s.m_nFrames, s.m_nA, s.m_nB), 4.0)
            << s.m_nId << " frames " << s.m_nA << "/" << s.m_nB;
    }
}

// Every shape-colour pixel must be reachable from the picture's border through
// shape-colour pixels (no holes in the window), and the controls must sit
// wholly inside the shape.
void ExpectShape(int nId, const std::vector<QRect>& vecControls)
{
    const QImage image = Load("BITMAP", nId).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull()) << nId;
    const int w = image.width(), h = image.height();
    std::vector<char> vecOutside(static_cast<size_t>(w) * h, 0);
    std::queue<QPoint> pending;
    auto visit = [&](int x, int y)
    {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        char& mark = vecOutside[static_cast<size_t>(y) * w + x];
        if (mark || !IsShapeColour(image.pixel(x, y)))
            return;
        mark = 1;
        pending.push(QPoint(x, y));
    };
    for (int x = 0; x < w; ++x)
    {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y)
    {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!pending.empty())
    {
        const QPoint p = pending.front();
        pending.pop();
        visit(p.x() + 1, p.y());
        visit(p.x() - 1, p.y());
        visit(p.x(), p.y() + 1);
        visit(p.x(), p.y() - 1);
    }
    int nOutside = 0, nHoles = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const bool bShape = IsShapeColour(image.pixel(x, y));
            nOutside += bShape;
            nHoles += bShape && !vecOutside[static_cast<size_t>(y) * w + x];
        }
    EXPECT_GT(nOutside, 0) << nId << " has no outside";
    EXPECT_EQ(nHoles, 0) << nId;
    for (const QRect& r : vecControls)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (IsShapeColour(image.pixel(x, y)))
                {
                    ADD_FAILURE() << nId << ": control at " << r.x() << "," << r.y() << " leaves the shape at " << x
                                  << "," << y;
                    return;
                }
}

TEST_F(ResourceTest, WindowShapesKeepTheShapeColourOutsideTheControls)
{
    std::vector<QRect> vecMain = {{741, 66, 22, 22},  {675, 57, 21, 21},  {174, 531, 65, 26}, {276, 531, 47, 26},
                                  {468, 531, 53, 26}, {558, 531, 53, 26}, {511, 101, 30, 28}, {605, 109, 30, 20},
                                  {559, 106, 30, 23}, {264, 562, 68, 21}, {364, 562, 71, 21}, {466, 562, 71, 21},
                                  {49, 529, 88, 25},  {665, 529, 86, 25}, {47, 137, 702, 388}};
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
        vecMain.push_back(QRect(key.m_nLeft, key.m_nTop, key.m_nWidth, key.m_nHeight));
    ExpectShape(129, vecMain);
    ExpectShape(153, {{391, 3, 23, 21},
                      {22, 104, 12, 12},
                      {232, 104, 12, 12},
                      {287, 100, 118, 20},
                      {16, 162, 73, 29},
                      {118, 162, 66, 29}});
    ExpectShape(176, {{276, 4, 23, 21}, {26, 87, 230, 18}, {258, 87, 22, 18}, {71, 200, 73, 29}, {173, 200, 66, 29}});
}

TEST_F(ResourceTest, PagePicturesAreOpaqueSoTheyHideTheKeyboard)
{
    for (int nId : {259, 260, 261})
    {
        const QImage page = Load("PNG", nId).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(page.isNull()) << nId;
        bool bOpaque = true;
        for (int y = 0; y < page.height() && bOpaque; ++y)
            for (int x = 0; x < page.width() && bOpaque; ++x)
                bOpaque = qAlpha(page.pixel(x, y)) == 255;
        EXPECT_TRUE(bOpaque) << nId;
        EXPECT_EQ(Load("BITMAP", nId).size(), page.size()) << nId;
    }
}

} // namespace

// The 2x set: drawn, not enlarged, at exactly twice each picture, and a window's 2x shape is its
// 1x shape, so that masks and hit-testing in logical pixels fit the sharper picture.
TEST_F(ResourceTest, EveryPictureHasATwiceAsLarge2xTwinWithTheSameShape)
{
    std::vector<Expected> vecAll(std::begin(kExpected), std::end(kExpected));
    vecAll.push_back({"ICON", 128, Load("ICON", 128).width(), Load("ICON", 128).height(), 1});
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
        vecAll.push_back({"PNG", key.m_nImageId, 3 * key.m_nWidth, key.m_nHeight, 3});
    for (const Expected& e : vecAll)
    {
        SCOPED_TRACE(QString("%1 %2").arg(e.m_pszKind).arg(e.m_nId).toStdString());
        const QImage img2x = EmbeddedImage2x(e.m_pszKind, static_cast<unsigned>(e.m_nId));
        ASSERT_FALSE(img2x.isNull());
        EXPECT_EQ(img2x.devicePixelRatio(), 2.0);
        EXPECT_EQ(img2x.size(), QSize(e.m_nWidth, e.m_nHeight) * 2);
    }
    int nEnlarged = 0; // 2x keycaps whose 2x2 blocks are all one colour would be 1x ones scaled up
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
    {
        const QImage img2x = EmbeddedImage2x("PNG", static_cast<unsigned>(key.m_nImageId));
        bool bDetail = false;
        for (int y = 0; y + 1 < img2x.height() && !bDetail; y += 2)
            for (int x = 0; x + 1 < img2x.width() && !bDetail; x += 2)
                bDetail = img2x.pixel(x, y) != img2x.pixel(x + 1, y) || img2x.pixel(x, y) != img2x.pixel(x, y + 1);
        nEnlarged += bDetail ? 0 : 1;
    }
    EXPECT_EQ(nEnlarged, 0);
    for (int nId : {129, 153, 176})
    {
        const QImage bmp = Load("BITMAP", nId);
        const QImage bmp2x = EmbeddedImage2x("BITMAP", static_cast<unsigned>(nId));
        int nMismatched = 0;
        for (int y = 0; y < bmp2x.height(); ++y)
            for (int x = 0; x < bmp2x.width(); ++x)
                nMismatched += IsShapeColour(bmp2x.pixel(x, y)) != IsShapeColour(bmp.pixel(x / 2, y / 2));
        EXPECT_EQ(nMismatched, 0) << "bitmap " << nId;
    }
}
