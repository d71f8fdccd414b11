#pragma once
// How the skin's pictures are embedded: each resource (":/PNG/<id>", ":/BITMAP/<id>",
// ":/ICON/<id>") holds a 16-byte header and then the pixels exactly as a QImage keeps them
// in memory, stored uncompressed. Loading a picture therefore wraps the program's own
// read-only data without decoding or copying anything, and a picture costs memory only
// when its pages are first touched. The skin generator writes this form.
//
// Beside each bitmap, ":/BITMAP_SUMMARY/<id>" holds what a window would otherwise work out from
// all of its pixels when it opens (skin/PixelSummary.h): a 16-byte header with the average
// colour, then the shape runs as x, y, width triples of 32-bit integers.

#include <QImage>
#include <QRect>
#include <QVector>
#include <cstdint>

struct EmbeddedImageHeader
{
    static constexpr uint32_t kMagic = 0x31495643;    // "CVI1"
    static constexpr uint32_t kPremultipliedArgb = 0; // pictures with transparent pixels
    static constexpr uint32_t kOpaqueRgb = 1;         // bitmaps, and pictures without any
    uint32_t m_nMagic = kMagic;
    uint32_t m_nWidth = 0;
    uint32_t m_nHeight = 0;
    uint32_t m_nFormat = kPremultipliedArgb; // rows follow, 4 bytes per pixel, no padding
};
static_assert(sizeof(EmbeddedImageHeader) == 16);

// Looks up picture pszKind/nId ("PNG", "BITMAP" or "ICON"). False when there is no such
// resource. True otherwise, with imgOut wrapping the embedded pixels, or null when the
// resource is not a well-formed picture.
bool FindEmbeddedImage(const char* pszKind, unsigned nId, QImage& imgOut);
// The picture, or a null image when it is missing or malformed.
QImage EmbeddedImage(const char* pszKind, unsigned nId);

// The picture drawn at twice the pixels (":/2x/<kind>/<id>", a PNG) with device pixel ratio 2,
// for windows on screens above 100 %. It is decoded the first time it is asked for and kept for
// the rest of the run, so at 100 % no 2x picture costs anything. Null when there is none or it
// does not decode. User-interface thread only.
QImage EmbeddedImage2x(const char* pszKind, unsigned nId);
// How many 2x pictures have been looked up and decoded so far in this run.
int EmbeddedImage2xDecodedCount();

struct EmbeddedSummaryHeader
{
    static constexpr uint32_t kMagic = 0x31535643; // "CVS1"
    uint32_t m_nMagic = kMagic;
    uint32_t m_nAverage = 0; // AverageColour of the bitmap, as 0x00BBGGRR
    uint32_t m_nRuns = 0;    // ShapeRuns of the bitmap; 12 bytes each follow
    uint32_t m_nReserved = 0;
};
static_assert(sizeof(EmbeddedSummaryHeader) == 16);

struct BitmapSummary
{
    uint32_t m_crAverage = 0;
    QVector<QRect> m_vecShapeRuns;
};

// The summary of bitmap nId into out; false (out untouched) when there is none or it is not
// well formed, and the caller works it out from the pixels.
bool FindBitmapSummary(unsigned nId, BitmapSummary& out);
