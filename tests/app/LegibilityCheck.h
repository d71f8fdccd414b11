#pragma once
// Reads text legibility off rendered pixels: a picture drawn twice, with its texts and without
// them, shows which pixels each text covers and what lies behind them. Contrast follows WCAG 2.x
// (relative luminance of sRGB, (L1 + 0.05) / (L2 + 0.05)).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <string>
#include <vector>

// One text as it was drawn.
struct DrawnText
{
    std::string strWhere; // the control id or picture that shows it
    QString strText;
    QRect rcText;         // where its ink may lie, in the picture's pixels
    QRect rcControl;      // the control it belongs to; empty when it stands on a background
    bool bLegend = false; // a keycap legend: its cap height is checked too
    QFont font;           // the font of a legend
};

// A colour pair that a fixed design gives, with the reason it stays.
struct ContrastException
{
    QColor text;
    QColor background;
    const char* pszReason;
};

struct LegibilityReport
{
    std::vector<std::string> vecFailures;
    std::vector<std::string> vecExceptions; // texts kept by an exception, with its reason
    int nChecked = 0;
};

double RelativeLuminance(QRgb rgb);
double ContrastRatio(QRgb a, QRgb b);
// Ink height of a capital H in the font at 1x, counted on rendered pixels.
int CapHeightPixels(const QFont& font);

// Checks one text of a picture rendered with it (imgWith) and without any text (imgWithout).
void CheckText(const QImage& imgWith, const QImage& imgWithout, const DrawnText& text,
               const std::vector<ContrastException>& vecExceptions, LegibilityReport& report);

inline constexpr double kMinimumContrast = 4.5;
inline constexpr int kMinimumCapHeight = 8;
inline constexpr int kMinimumEdgeGap = 2;
