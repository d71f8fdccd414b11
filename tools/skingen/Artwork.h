#pragma once
// The skin's pictures, one function per resource family. Every function returns
// finished images at their exact resource sizes.

#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

enum class EResourceKind
{
    Png,
    Bitmap,
    Icon
};

// The resource folder of a kind: "PNG", "BITMAP" or "ICON".
inline const char* KindFolder(EResourceKind eKind)
{
    switch (eKind)
    {
    case EResourceKind::Png: return "PNG";
    case EResourceKind::Bitmap: return "BITMAP";
    case EResourceKind::Icon: return "ICON";
    }
    return "PNG";
}

struct GeneratedResource
{
    EResourceKind m_eKind;
    int m_nId;
    int m_nFrames; // frames of the strip the toolkit cuts it into; 1 for pictures
    QImage m_image;
    QString m_strNote;
};

// Controls: buttons, tabs, keys, check boxes, combo buttons, scroll parts,
// list icons, bitmap buttons and the window icon.
void AddControlArtwork(std::vector<GeneratedResource>& vecOut);
// The main window: its skin and the page pictures.
void AddWindowArtwork(std::vector<GeneratedResource>& vecOut);
// Dialogs: their backgrounds and the key-coloured bitmap buttons on them.
void AddDialogArtwork(std::vector<GeneratedResource>& vecOut);

// A strip or picture as a PNG resource, kept as drawn.
inline void AddPng(std::vector<GeneratedResource>& vecOut, int nId, int nFrames, const QImage& image,
                   const QString& strNote)
{
    vecOut.push_back({EResourceKind::Png, nId, nFrames, image, strNote});
}
// A strip or picture as a bitmap resource: opaque 24-bit.
inline void AddBitmap(std::vector<GeneratedResource>& vecOut, int nId, int nFrames, const QImage& image,
                      const QString& strNote)
{
    vecOut.push_back({EResourceKind::Bitmap, nId, nFrames, image.convertToFormat(QImage::Format_RGB888), strNote});
}

// Colours of the dialog areas that bitmap buttons are composited over, so their
// edges blend where they sit.
namespace DialogTone
{
QColor TitleBar();
QColor Body();
QColor Footer();
} // namespace DialogTone
