#pragma once
// Image resources and the drawing operations of the skin: strip frames, key-coloured
// bitmap frames and the background fade (window shapes and average colour: PixelSummary.h).
// The pure functions work on QImages so that they can be checked pixel by pixel.

#include "skin/PixelSummary.h"
#include "skin/SkinTypes.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <memory>
#include <string>

class QPainter;

struct LoadedImage
{
    QImage m_image;
    int m_nStatus = 0; // 0 when the image is well formed
    int m_nWidth = 0;
    int m_nHeight = 0;
    unsigned m_nResourceId = 0; // finds the 2x picture of the same resource; 0 for none
};

// Loads PNG resource nId (":/PNG/<id>"). Answers false and leaves pOut untouched when
// the resource does not exist; otherwise stores a new image (with a failure status and
// no pixels when the resource is not a well-formed picture) and answers true. Nothing is
// decoded: the image wraps the embedded pixels (skin/EmbeddedImage.h).
bool LoadPngResource(unsigned nId, std::unique_ptr<LoadedImage>& pOut);
// Bitmap resource nId (":/BITMAP/<id>") as an opaque 32-bit image; null when missing.
QImage LoadBitmapResource(unsigned nId);
// Icon resource nId (":/ICON/<id>"); null when missing.
QImage LoadIconResource(unsigned nId);

// Screens above 100 %: true when the painter's device has a device pixel ratio above 1, so
// that the 2x pictures are drawn (EmbeddedImage2x) in the same logical rectangles as the 1x ones.
bool PaintsAboveOneRatio(const QPainter* pDC);

// Frame width of an N-frame strip: the remainder pixels at the right end are lost.
inline int StripFrameWidth(int nImageWidth, int nFrames)
{
    return nFrames > 0 ? nImageWidth / nFrames : 0;
}

// Draws frame nFrame (source nFrame * nFrameWidth, 0, nFrameWidth, nFrameHeight) of
// the strip stretched into rcDest. Nothing is drawn without an image. Frame sizes and rcDest
// are logical: above 100 % the same frame of the 2x strip is drawn, when there is one.
void DrawStripFrame(QPainter* pDC, const LoadedImage* pImage, const CRect& rcDest, int nFrame, int nFrameWidth,
                    int nFrameHeight);

// Draws rcSource (in img's own pixels) of img unscaled at ptDest in bands of at most 64 rows;
// a 2x picture covers half as many logical pixels. Qt's raster engine
// hands an area of 96 rows or more to helper threads; for a picture the size of a window the
// hand-over costs more than the copy, and far more on a busy machine, so big pictures are drawn
// in bands that stay on the painting thread.
void DrawImageInBands(QPainter* pDC, const QPoint& ptDest, const QImage& img, const QRect& rcSource);

// The source rectangle (nSrcX, 0, nSrcW, nSrcH) of a bitmap stretched (nearest pixel) to
// nWidth x nHeight, every pixel of crKey fully transparent. Null image when a size is not
// positive.
QImage MakeKeyedFrame(const QImage& bmpSource, int nSrcX, int nSrcW, int nSrcH, int nWidth, int nHeight,
                      COLORREF crKey);
bool DrawKeyedFrame(QPainter* pDC, int x, int y, int nWidth, int nHeight, const QImage& bmpSource, int nSrcX, int nSrcW,
                    int nSrcH, COLORREF crKey);
// Frame nFrame of bitmap resource nBitmapId stretched to rcDest, with the colour of its pixel
// (nKeyX, nKeyY) transparent; the bitmap is read on every draw. Above 100 % the frame comes
// from the 2x bitmap, keyed by the colour at the same example pixel there. False when nothing
// was drawn.
bool DrawKeyedBitmapFrame(QPainter* pDC, const CRect& rcDest, unsigned nBitmapId, int nFrame, int nFrameWidth,
                          int nFrameHeight, int nKeyX, int nKeyY);
// Colour of a bitmap pixel as COLORREF (0 outside the image).
COLORREF BitmapPixel(const QImage& bmp, int x, int y);

// Edge fade width: min(100, W, H) when the window is wider or taller than the picture, else 0.
int FadeWidth(int nWindowWidth, int nWindowHeight, int nPictureWidth, int nPictureHeight);
// Constant alpha of fade line i (0 <= i < F) and of corner pixel (i, j).
int FadeLineAlpha(int i, int nFade);
int FadeCornerAlpha(int i, int j, int nFade);
// The prepared background: W x H filled with crFill, the bitmap's top-left (W-F) x (H-F)
// copied, the right strip, bottom strip and corner blended onto the fill with the fade.
QImage PrepareBackgroundImage(const QImage& bmp, COLORREF crFill, int nFade);
// The same for the 2x bitmap of resource nBitmapId, fade width nFade in logical pixels;
// null when there is no 2x bitmap.
QImage PrepareBackgroundImage2x(unsigned nBitmapId, COLORREF crFill, int nFade);

// Toolkit fonts: face "宋体" first, then an installed CJK face. nHeight/nWidth follow the
// logical-font convention (0 = default size).
QFont SkinFont(int nHeight, int nWidth, int nWeight);
// Draws single-line text with the format flags (DT_CENTER, DT_RIGHT, DT_VCENTER,
// DT_WORD_ELLIPSIS, DT_PATH_ELLIPSIS) in rc, using the painter's pen colour and font.
void DrawSkinText(QPainter* pDC, const QString& strText, const CRect& rc, UINT nFormat);
// The text that DrawSkinText shows in nWidth pixels with DT_WORD_ELLIPSIS.
QString WordEllipsisText(const QFont& font, const QString& strText, int nWidth);
// The text shown with DT_PATH_ELLIPSIS: folders are cut from the middle so that the last part
// of the path ("/name") stays whole, or, when even that does not fit, its end stays in view.
QString PathEllipsisText(const QFont& font, const QString& strText, int nWidth);

void FillSolid(QPainter* pDC, const CRect& rc, COLORREF cr);
// An image to draw a window's client area into at the device pixel ratio (so text drawn live
// stays sharp above 100 %), in logical coordinates.
QImage ClientRenderTarget(const CRect& rcClient, qreal dRatio);

// One text as DrawSkinText shows it: the words after ellipsis, where they go on the painted
// device, and the rectangle they are laid out in.
struct SkinTextDraw
{
    QString m_strShown;
    QRect m_rcDevice;
};
// The legibility checker watches every text the skin draws; when the watcher answers false the
// text is left out, so the picture without it shows what lies behind it. None is set normally.
using SkinTextWatcher = bool (*)(void* pContext, const SkinTextDraw& text);
void SetSkinTextWatcher(SkinTextWatcher fnWatcher, void* pContext);

inline QString ToQString(const std::string& str)
{
    return QString::fromStdString(str);
}
