#pragma once
// How the skin's pictures are embedded: each resource (":/PNG/<id>", ":/BITMAP/<id>",
// ":/ICON/<id>") holds a 16-byte header and then the pixels exactly as a QImage keeps them
// in memory, stored uncompressed. Loading a picture therefore wraps the program's own
// read-only data without decoding or copying anything, and a picture costs memory only
// when its pages are first touched. The skin generator writes this form.

#include <QImage>
#include <cstdint>

struct EmbeddedImageHeader {
    static constexpr uint32_t kMagic = 0x31495643;  // "CVI1"
    static constexpr uint32_t kPremultipliedArgb = 0;  // pictures with transparent pixels
    static constexpr uint32_t kOpaqueRgb = 1;           // bitmaps, and pictures without any
    uint32_t m_nMagic = kMagic;
    uint32_t m_nWidth = 0;
    uint32_t m_nHeight = 0;
    uint32_t m_nFormat = kPremultipliedArgb;  // rows follow, 4 bytes per pixel, no padding
};
static_assert(sizeof(EmbeddedImageHeader) == 16);

// Looks up picture pszKind/nId ("PNG", "BITMAP" or "ICON"). False when there is no such
// resource. True otherwise, with imgOut wrapping the embedded pixels, or null when the
// resource is not a well-formed picture.
bool FindEmbeddedImage(const char* pszKind, unsigned nId, QImage& imgOut);
// The picture, or a null image when it is missing or malformed.
QImage EmbeddedImage(const char* pszKind, unsigned nId);
