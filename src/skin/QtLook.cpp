#include "skin/QtLook.h"

#include "skin/SkinTypes.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>

namespace
{
QColor FromColorRef(COLORREF cr)
{
    return QColor(ColorRefToQRgb(cr));
}
} // namespace

QPalette SkinQtPalette()
{
    const QColor window(13, 32, 68); // the panels of the skinned windows
    const QColor base = FromColorRef(SkinColour::kListFill);
    const QColor button(22, 48, 92);
    const QColor text = FromColorRef(SkinColour::kText);
    const QColor dim(128, 152, 190); // still 4.5:1 on the fills
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    {
        const bool bDisabled = group == QPalette::Disabled;
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::WindowText, bDisabled ? dim : text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, window);
        palette.setColor(group, QPalette::Text, bDisabled ? dim : text);
        palette.setColor(group, QPalette::PlaceholderText, dim);
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::ButtonText, bDisabled ? dim : text);
        palette.setColor(group, QPalette::BrightText, text);
        palette.setColor(group, QPalette::Highlight, FromColorRef(SkinColour::kHighlight));
        palette.setColor(group, QPalette::HighlightedText, text);
        palette.setColor(group, QPalette::ToolTipBase, FromColorRef(SkinColour::kPopupFill));
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::Link, QColor(120, 196, 250));
        palette.setColor(group, QPalette::Light, QColor(72, 114, 172));
        palette.setColor(group, QPalette::Midlight, QColor(48, 80, 128));
        palette.setColor(group, QPalette::Mid, QColor(22, 48, 92));
        palette.setColor(group, QPalette::Dark, QColor(6, 16, 38));
        palette.setColor(group, QPalette::Shadow, QColor(0, 0, 0));
    }
    return palette;
}

void ApplySkinLookToQt()
{
    // Without a desktop theme Qt already runs Fusion; a second instance would only cost start-up.
    if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0)
        if (QStyle* pFusion = QStyleFactory::create(QStringLiteral("Fusion")))
            QApplication::setStyle(pFusion);
    const QPalette palette = SkinQtPalette();
    QApplication::setPalette(palette);
    // Tooltips on the popups' fill; no style sheet, which would restyle every widget it reaches.
    QToolTip::setPalette(palette);
}
