#pragma once
// The skin's pictures, one function per resource family. Every function returns
// finished images at their exact resource sizes.

#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

enum class EResourceKind { Png, Bitmap, Icon };

struct GeneratedResource {
    EResourceKind m_eKind;
    int m_nId;
    int m_nFrames;  // frames of the strip the toolkit cuts it into; 1 for pictures
    QImage m_image;
    QString m_strNote;
};

// Controls: buttons, tabs, keys, check boxes, combo buttons, scroll parts,
// list icons, bitmap buttons and the window icon.
void AddControlArtwork(std::vector<GeneratedResource>& vecOut);
// Windows: the main window skin, the page pictures and the dialog backgrounds.
void AddWindowArtwork(std::vector<GeneratedResource>& vecOut);

// Colours of the dialog areas that bitmap buttons are composited over, so their
// edges blend where they sit.
namespace DialogTone {
QColor TitleBar();
QColor Body();
QColor Footer();
}  // namespace DialogTone
