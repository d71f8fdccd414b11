#pragma once
// The lighting page's keyboard picture, lit in the chosen colour at the chosen brightness. It is
// drawn once per choice over the part of the page picture it covers, into an opaque picture of
// its own, so painting the page only copies it.

#include <QColor>
#include <QImage>
#include <QPoint>

class CLightingPreview
{
public:
    // Under the keyboard, the words that tell a breathing light from a steady one.
    static constexpr const char* BreathingText = "Breathing: the light rises and falls";
    // Where the picture lies on the lighting page (client pixels), glow included.
    static constexpr QPoint Origin{372, 204};
    static constexpr int Width = 370;
    static constexpr int Height = 200;

    // The picture for a colour and a brightness level ("LightBrightness": 0..24; 16 and above
    // breathe), over imgBackdrop (what lies under it on the page, Width x Height). Kept until the
    // choice changes.
    const QImage& Picture(const QColor& light, int nLevel, const QImage& imgBackdrop);
    // How brightly a level lights the keys, 0..1, and whether it breathes.
    static double LevelStrength(int nLevel);
    static bool IsBreathing(int nLevel) { return nLevel >= 16 && nLevel <= 24; }

private:
    static QImage Draw(const QColor& light, int nLevel, const QImage& imgBackdrop);

    QImage m_imgPicture;
    QRgb m_rgbLight = 0;
    int m_nLevel = -1;
};
