#pragma once
// Basic types of the skinned toolkit: a Windows-style rectangle (right and bottom
// exclusive), message numbers and parameters, colour values and text format flags.

#include <QRect>
#include <QRgb>
#include <algorithm>
#include <cstdint>

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t; // 0x00BBGGRR

struct CRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr bool operator==(const CRect&) const = default;

    // Intersection; an empty result is normalised to all zeroes.
    constexpr CRect Intersect(const CRect& o) const
    {
        CRect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom));
        return r.IsRectEmpty() ? CRect() : r;
    }
    constexpr CRect Deflated(int n) const { return CRect(left + n, top + n, right - n, bottom - n); }
    constexpr void Offset(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    static CRect FromQRect(const QRect& r) { return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height()); }
};

inline constexpr LPARAM MakeLParam(int x, int y)
{
    return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                                          static_cast<std::uint32_t>(x & 0xFFFF)));
}
// Signed coordinates, like GET_X_LPARAM / GET_Y_LPARAM.
inline constexpr int LParamX(LPARAM l)
{
    return static_cast<std::int16_t>(l & 0xFFFF);
}
inline constexpr int LParamY(LPARAM l)
{
    return static_cast<std::int16_t>((l >> 16) & 0xFFFF);
}

// Colours are kept as the COLORREF values the skin was designed with.
inline constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
inline constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
inline constexpr COLORREF RGBRef(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr QRgb ColorRefToQRgb(COLORREF c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline constexpr COLORREF QRgbToColorRef(QRgb c)
{
    return RGBRef(qRed(c), qGreen(c), qBlue(c));
}

namespace SkinColour
{
inline constexpr COLORREF kDialogFill = 0xEFE2BA;
inline constexpr COLORREF kPopupBorder = 0xEEBD88;
inline constexpr COLORREF kPopupFill = 0x261006;
inline constexpr COLORREF kListFill = 0x261005;
inline constexpr COLORREF kHighlight = 0xDEA035;
inline constexpr COLORREF kText = 0xFFFFFF;
inline constexpr COLORREF kScrollTrack = 0x010101;
inline constexpr COLORREF kThumbBorder = 0x1F1F1F;
inline constexpr COLORREF kThumbFill = 0x323232;
inline constexpr COLORREF kShape = 0x00FFFF; // RGB(255, 255, 0): outside a shaped window
} // namespace SkinColour

// Text format flags (DrawText).
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;
inline constexpr UINT DT_BOTTOM = 0x8;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x4000; // a path keeps its last part; wins over DT_WORD_ELLIPSIS
inline constexpr UINT DT_WORD_ELLIPSIS = 0x40000;

// Window messages.
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_NCACTIVATE = 0x0086;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
// HIWORD(wParam): the signed wheel turn, 120 per notch, positive away from the user; lParam: the
// pointer in client coordinates (not screen coordinates as on Windows).
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr int WHEEL_DELTA = 120;
inline constexpr int WheelDeltaOf(WPARAM wParam)
{
    return static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
}
inline constexpr UINT WM_MOUSEHOVER = 0x02A1;
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr WPARAM HTCAPTION = 2;
inline constexpr WPARAM MK_LBUTTON = 0x0001;

inline constexpr WPARAM VK_RETURN = 0x0D;
inline constexpr WPARAM VK_ESCAPE = 0x1B;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Notification codes carried in lParam of a control's message.
inline constexpr LPARAM NOTIFY_PRESS = 1;
inline constexpr LPARAM NOTIFY_CLICK = 2;
inline constexpr LPARAM NOTIFY_SCROLL = 3;
inline constexpr LPARAM NOTIFY_NAME_ADDED = 11;
inline constexpr LPARAM NOTIFY_NAME_EXISTS = 12;
inline constexpr LPARAM NOTIFY_NAME_TOO_LONG = 13;

// Popup messages.
inline constexpr UINT UM_POPUP_CLOSING = 1025;
inline constexpr UINT UM_FUNCTION_RESULT = 1027;
inline constexpr UINT UM_FUNCTION_GONE = 1029;
inline constexpr UINT UM_HOVER_MULTIMEDIA = 1030;
inline constexpr UINT UM_MULTIMEDIA_RESULT = 1031;
inline constexpr UINT UM_MULTIMEDIA_GONE = 1032;
inline constexpr UINT UM_HOVER_PLAIN = 1033;
inline constexpr UINT UM_ASSIGN_SHORTCUT = 1035;
inline constexpr UINT UM_ASSIGN_QUICK_LAUNCH = 1037;
inline constexpr UINT UM_HOVER_WINDOW_MANAGE = 1040;
inline constexpr UINT UM_WINDOW_MANAGE_RESULT = 1041;
inline constexpr UINT UM_WINDOW_MANAGE_GONE = 1042;
inline constexpr UINT UM_HOVER_MOUSE_FUNCTION = 1043;
inline constexpr UINT UM_MOUSE_FUNCTION_RESULT = 1044;
inline constexpr UINT UM_MOUSE_FUNCTION_GONE = 1045;
inline constexpr UINT UM_HOVER_MACRO = 1046;
inline constexpr UINT UM_MACRO_LIBRARY_GONE = 1047;
inline constexpr UINT UM_MACRO_LIBRARY_RESULT = 1051;
inline constexpr UINT UM_LIGHT_COLOR_GONE = 1061;
inline constexpr UINT UM_LIGHT_COLOR_RESULT = 1062;
inline constexpr UINT UM_LIGHT_BRIGHTNESS_GONE = 1064;
inline constexpr UINT UM_LIGHT_BRIGHTNESS_RESULT = 1065;
