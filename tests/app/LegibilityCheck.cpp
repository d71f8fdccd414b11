#include "LegibilityCheck.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

double RelativeLuminance(QRgb rgb)
{
    const auto channel = [](int n)
    {
        const double c = n / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double ContrastRatio(QRgb a, QRgb b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

int CapHeightPixels(const QFont& font)
{
    const int nSize = std::max(8, font.pixelSize() * 3);
    QImage img(nSize, nSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter painter(&img);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(2, nSize * 2 / 3), QStringLiteral("H"));
    painter.end();
    int nRows = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) >= 128)
            {
                ++nRows;
                break;
            }
    return nRows;
}

namespace
{
QString Hex(QRgb rgb)
{
    return QColor(rgb).name();
}

bool Near(QRgb a, const QColor& b, int nTolerance)
{
    return std::abs(qRed(a) - b.red()) <= nTolerance && std::abs(qGreen(a) - b.green()) <= nTolerance &&
           std::abs(qBlue(a) - b.blue()) <= nTolerance;
}

struct InkPixel
{
    QPoint pt;
    QRgb rgbWith;
    QRgb rgbWithout;
    double dWeight; // how far the text moved the pixel's luminance
};
} // namespace

void CheckText(const QImage& imgWith, const QImage& imgWithout, const DrawnText& text,
               const std::vector<ContrastException>& vecExceptions, LegibilityReport& report)
{
    const QRect rcArea = text.rcText.adjusted(-1, -1, 1, 1) & imgWith.rect();
    std::vector<InkPixel> vecInk;
    double dMaxWeight = 0;
    for (int y = rcArea.top(); y <= rcArea.bottom(); ++y)
        for (int x = rcArea.left(); x <= rcArea.right(); ++x)
        {
            const QRgb rgbWith = imgWith.pixel(x, y) | 0xFF000000u;
            const QRgb rgbWithout = imgWithout.pixel(x, y) | 0xFF000000u;
            if (rgbWith == rgbWithout)
                continue;
            const double dWeight = std::abs(RelativeLuminance(rgbWith) - RelativeLuminance(rgbWithout));
            vecInk.push_back({QPoint(x, y), rgbWith, rgbWithout, dWeight});
            dMaxWeight = std::max(dMaxWeight, dWeight);
        }
    // A text hidden under something else, or cut away, shows no ink: nothing to read.
    if (vecInk.empty() || dMaxWeight < 0.002)
        return;
    ++report.nChecked;
    const std::string strName = text.strWhere + " \"" + text.strText.toStdString() + "\"";

    // The text's colour: the pixels it covers most; antialiased fringes only blend it.
    std::vector<const InkPixel*> vecCore;
    for (const InkPixel& ink : vecInk)
        if (ink.dWeight >= 0.6 * dMaxWeight)
            vecCore.push_back(&ink);
    std::sort(vecCore.begin(), vecCore.end(),
              [](const InkPixel* a, const InkPixel* b) { return a->dWeight > b->dWeight; });
    const size_t nTop = std::max<size_t>(1, vecCore.size() / 4);
    std::vector<double> vecTextLum;
    for (size_t i = 0; i < nTop; ++i)
        vecTextLum.push_back(RelativeLuminance(vecCore[i]->rgbWith));
    std::nth_element(vecTextLum.begin(), vecTextLum.begin() + vecTextLum.size() / 2, vecTextLum.end());
    const double dTextLum = vecTextLum[vecTextLum.size() / 2];
    QRgb rgbText = vecCore.front()->rgbWith;
    for (size_t i = 0; i < nTop; ++i)
        if (std::abs(RelativeLuminance(vecCore[i]->rgbWith) - dTextLum) < 1e-9)
            rgbText = vecCore[i]->rgbWith;

    // What lies behind the text, pixel by pixel; nine in ten must keep the contrast.
    std::vector<std::pair<double, QRgb>> vecContrast;
    for (const InkPixel& ink : vecInk)
        vecContrast.push_back({ContrastRatio(rgbText, ink.rgbWithout), ink.rgbWithout});
    std::sort(vecContrast.begin(), vecContrast.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto& worst = vecContrast[vecContrast.size() / 10];
    if (worst.first < kMinimumContrast)
    {
        const ContrastException* pException = nullptr;
        for (const ContrastException& exception : vecExceptions)
            if (Near(rgbText, exception.text, 8) && Near(worst.second, exception.background, 8))
                pException = &exception;
        char szRatio[32];
        std::snprintf(szRatio, sizeof szRatio, "%.2f:1", worst.first);
        const std::string strDetail = strName + ": contrast " + szRatio + " (" + Hex(rgbText).toStdString() + " on " +
                                      Hex(worst.second).toStdString() + ")";
        if (pException)
            report.vecExceptions.push_back(strDetail + " kept: " + pException->pszReason);
        else
            report.vecFailures.push_back(strDetail + ", below 4.5:1");
    }

    if (text.bLegend)
    {
        const int nCap = CapHeightPixels(text.font);
        if (nCap < kMinimumCapHeight)
            report.vecFailures.push_back(strName + ": cap height " + std::to_string(nCap) + " px, below 8 px");
    }

    if (!text.rcControl.isEmpty())
    {
        QRect rcInk;
        for (const InkPixel& ink : vecInk)
            if (ink.dWeight >= 0.25 * dMaxWeight)
                rcInk |= QRect(ink.pt, QSize(1, 1));
        const QRect& rc = text.rcControl;
        const int nGap = std::min({rcInk.left() - rc.left(), rc.right() - rcInk.right(), rcInk.top() - rc.top(),
                                   rc.bottom() - rcInk.bottom()});
        if (nGap < kMinimumEdgeGap)
            report.vecFailures.push_back(strName + ": ink " + std::to_string(nGap) +
                                         " px from the control's edge, closer than 2 px");
    }
}
