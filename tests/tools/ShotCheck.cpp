// corvane-shotcheck: pixel checks of compositor screenshots for the Wayland end-to-end test.
//
//   locate SHOT BEHIND RENDER   where RENDER (a window drawn off screen) lies on SHOT, given
//                               BEHIND, the same screen without the window: prints
//                               "X Y LEFT TOP RIGHT BOTTOM PERCENT", the window's top-left on the
//                               screen, the box of what it changed in window coordinates, and
//                               the share of that box that shows RENDER
//   same A B X Y [X Y ...]      each screen point shows the same colour on A and on B
//   match SHOT X0 Y0 RENDER X Y [X Y ...]
//                               each point (X, Y) of RENDER shows on SHOT at (X0 + X, Y0 + Y)
//   colour SHOT X Y             prints the colour of a point as RRGGBB
//   crop SHOT X Y W H OUT       saves that rectangle of SHOT as OUT
// Exits 0 when the check holds, 1 with the differences when it does not, 2 on bad arguments.

#include <QImage>
#include <QRect>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

// The compositor's picture and Qt's may round a channel differently.
bool SameColour(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
           std::abs(qBlue(a) - qBlue(b)) <= 2;
}

QImage Load(const char* pszFile)
{
    QImage img(QString::fromLocal8Bit(pszFile));
    if (img.isNull())
        std::fprintf(stderr, "cannot read %s\n", pszFile);
    return img.convertToFormat(QImage::Format_RGB32);
}

std::string Hex(QRgb c)
{
    char sz[8];
    std::snprintf(sz, sizeof sz, "%02X%02X%02X", qRed(c), qGreen(c), qBlue(c));
    return sz;
}

// The share of the sampled points of box rcBox (screen) that show RENDER placed at ptOrigin.
double ShareShown(const QImage& imgShot, const QImage& imgRender, const QPoint& ptOrigin, const QRect& rcBox, int nStep)
{
    int nSeen = 0;
    int nSame = 0;
    for (int y = rcBox.top(); y <= rcBox.bottom(); y += nStep)
        for (int x = rcBox.left(); x <= rcBox.right(); x += nStep)
        {
            const QPoint ptRender(x - ptOrigin.x(), y - ptOrigin.y());
            if (!imgRender.rect().contains(ptRender))
                continue;
            ++nSeen;
            if (SameColour(imgShot.pixel(x, y), imgRender.pixel(ptRender)))
                ++nSame;
        }
    return nSeen == 0 ? 0.0 : 100.0 * nSame / nSeen;
}

int Locate(const QImage& imgShot, const QImage& imgBehind, const QImage& imgRender)
{
    if (imgShot.size() != imgBehind.size())
        return 2;
    // What the window changed, below the desktop's panel (its clock changes by itself).
    constexpr int kPanel = 40;
    QRect rcChanged;
    for (int y = kPanel; y < imgShot.height(); ++y)
        for (int x = 0; x < imgShot.width(); ++x)
            if (!SameColour(imgShot.pixel(x, y), imgBehind.pixel(x, y)))
                rcChanged |= QRect(x, y, 1, 1);
    if (rcChanged.isEmpty())
    {
        std::printf("the window is not on the screen\n");
        return 1;
    }
    // The window's shape starts a little inside its rectangle: try every origin up to 64 pixels
    // above and left of the changed box, on a coarse grid of points first.
    QPoint ptBest;
    double dBest = -1;
    for (int dy = 0; dy <= 64; ++dy)
        for (int dx = 0; dx <= 64; ++dx)
        {
            const QPoint ptOrigin(rcChanged.left() - dx, rcChanged.top() - dy);
            const double dShare = ShareShown(imgShot, imgRender, ptOrigin, rcChanged, 7);
            if (dShare > dBest)
            {
                dBest = dShare;
                ptBest = ptOrigin;
            }
        }
    const double dShare = ShareShown(imgShot, imgRender, ptBest, rcChanged, 1);
    const QRect rc = rcChanged.translated(-ptBest);
    std::printf("%d %d %d %d %d %d %.1f\n", ptBest.x(), ptBest.y(), rc.left(), rc.top(), rc.right() + 1,
                rc.bottom() + 1, dShare);
    return 0;
}

int ComparePoints(const QImage& imgA, const QImage& imgB, const QPoint& ptOffsetA, char** argv, int argc)
{
    int nBad = 0;
    for (int i = 0; i + 1 < argc; i += 2)
    {
        const QPoint ptB(std::atoi(argv[i]), std::atoi(argv[i + 1]));
        const QPoint ptA = ptB + ptOffsetA;
        if (!imgA.rect().contains(ptA) || !imgB.rect().contains(ptB))
        {
            std::printf("point %d,%d is outside a picture\n", ptB.x(), ptB.y());
            ++nBad;
            continue;
        }
        if (!SameColour(imgA.pixel(ptA), imgB.pixel(ptB)))
        {
            std::printf("point %d,%d: %s, expected %s\n", ptB.x(), ptB.y(), Hex(imgA.pixel(ptA)).c_str(),
                        Hex(imgB.pixel(ptB)).c_str());
            ++nBad;
        }
    }
    return nBad == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string strCommand = argc > 1 ? argv[1] : "";
    if (strCommand == "locate" && argc == 5)
    {
        const QImage imgShot = Load(argv[2]), imgBehind = Load(argv[3]), imgRender = Load(argv[4]);
        if (imgShot.isNull() || imgBehind.isNull() || imgRender.isNull())
            return 2;
        return Locate(imgShot, imgBehind, imgRender);
    }
    if (strCommand == "same" && argc >= 6 && argc % 2 == 0)
    {
        const QImage imgA = Load(argv[2]), imgB = Load(argv[3]);
        if (imgA.isNull() || imgB.isNull())
            return 2;
        return ComparePoints(imgA, imgB, QPoint(0, 0), argv + 4, argc - 4);
    }
    if (strCommand == "match" && argc >= 8 && argc % 2 == 0)
    {
        const QImage imgShot = Load(argv[2]), imgRender = Load(argv[5]);
        if (imgShot.isNull() || imgRender.isNull())
            return 2;
        return ComparePoints(imgShot, imgRender, QPoint(std::atoi(argv[3]), std::atoi(argv[4])), argv + 6, argc - 6);
    }
    if (strCommand == "colour" && argc == 5)
    {
        const QImage imgShot = Load(argv[2]);
        const QPoint pt(std::atoi(argv[3]), std::atoi(argv[4]));
        if (!imgShot.rect().contains(pt))
            return 2;
        std::printf("%s\n", Hex(imgShot.pixel(pt)).c_str());
        return 0;
    }
    if (strCommand == "crop" && argc == 8)
    {
        const QImage imgShot = Load(argv[2]);
        const QRect rc(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
        return !imgShot.isNull() && imgShot.copy(rc).save(QString::fromLocal8Bit(argv[7]), "PNG") ? 0 : 1;
    }
    std::fprintf(stderr, "usage: corvane-shotcheck locate SHOT BEHIND RENDER | same A B X Y... | "
                         "match SHOT X0 Y0 RENDER X Y... | colour SHOT X Y | crop SHOT X Y W H OUT\n");
    return 2;
}
