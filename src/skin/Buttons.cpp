#include "skin/Buttons.h"

#include <QPainter>

int g_nSelectedPageTab = 0;
int g_nSelectedProfileTab = 0;
UINT g_nRadioOptionWord = kRadioOptionWordInitial;

namespace {

// Tab ids and the selection they stand for: page tabs first, then profile tabs.
struct TabTarget {
    int* pSelection;
    int nValue;
};

bool TabTargetForId(UINT nId, TabTarget& target) {
    switch (nId) {
    case 2003: target = {&g_nSelectedPageTab, 0}; return true;
    case 2004: target = {&g_nSelectedPageTab, 1}; return true;
    case 2005: target = {&g_nSelectedPageTab, 2}; return true;
    case 2077: target = {&g_nSelectedPageTab, 3}; return true;
    case 2049: target = {&g_nSelectedProfileTab, 0}; return true;
    case 2050: target = {&g_nSelectedProfileTab, 1}; return true;
    case 2051: target = {&g_nSelectedProfileTab, 2}; return true;
    default: return false;
    }
}

UINT RadioBitForId(UINT nId) {
    switch (nId) {
    case 2013: return 0x080;
    case 2014: return 0x100;
    default: return 0;
    }
}

}  // namespace

bool CStripImage::Load(unsigned nPngId, int nFrames) {
    std::unique_ptr<LoadedImage> pImage;
    if (!LoadPngResource(nPngId, pImage))
        return false;
    m_pImage = std::move(pImage);
    m_nFrameWidth = StripFrameWidth(m_pImage->m_nWidth, nFrames);
    m_nFrameHeight = m_pImage->m_nHeight;
    return true;
}

void CStripImage::Draw(QPainter* pDC, const CRect& rcDest, int nFrame) const {
    DrawStripFrame(pDC, m_pImage.get(), rcDest, nFrame, m_nFrameWidth, m_nFrameHeight);
}

// ---- CImageButton ----

void CImageButton::Draw(QPainter* pDC, const CRect&) { m_strip.Draw(pDC, m_rect, m_nMouseState); }

bool CImageButton::OnMouseMove(UINT, int x, int y) { return TrackHover(m_nMouseState, x, y); }

bool CImageButton::OnLButtonDown(UINT, int x, int y) {
    return PressAndNotify(m_nMouseState, x, y);
}

bool CImageButton::OnLButtonUp(UINT, int x, int y) {
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        Notify(m_nId, 0, NOTIFY_CLICK);
    return bChanged;
}

// ---- CKeyboardButton ----

void CKeyboardButton::SetKeyAssignment(const std::string& strCaption, unsigned char nDefaultCode,
                                       unsigned char nCurrentCode) {
    m_nKeyId = m_nId;
    m_strKeyCaption = strCaption;
    m_nDefaultCode = nDefaultCode;
    m_nCurrentCode = nCurrentCode;
    m_bKeyChanged = nCurrentCode != nDefaultCode;
}

int CKeyboardButton::GetDrawnFrame() const {
    if (m_nMouseState == MS_NORMAL && m_bKeyChanged)
        return 2;
    return m_nMouseState;
}

void CKeyboardButton::Draw(QPainter* pDC, const CRect&) { m_strip.Draw(pDC, m_rect, GetDrawnFrame()); }

bool CKeyboardButton::OnMouseMove(UINT, int x, int y) { return TrackHover(m_nMouseState, x, y); }

bool CKeyboardButton::OnLButtonDown(UINT, int x, int y) {
    return PressAndNotify(m_nMouseState, x, y);
}

bool CKeyboardButton::OnLButtonUp(UINT, int x, int y) {
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        Notify(m_nId, m_nId, NOTIFY_CLICK);
    return bChanged;
}

// ---- CTabControl ----

bool CTabControl::IsSelected() const {
    TabTarget target{};
    return TabTargetForId(m_nId, target) && *target.pSelection == target.nValue;
}

int CTabControl::GetDrawnFrame() const { return IsSelected() ? 2 : m_nMouseState; }

void CTabControl::Draw(QPainter* pDC, const CRect&) { m_strip.Draw(pDC, m_rect, GetDrawnFrame()); }

bool CTabControl::OnMouseMove(UINT, int x, int y) { return TrackHover(m_nMouseState, x, y); }

bool CTabControl::OnLButtonDown(UINT, int x, int y) {
    return PressAndNotify(m_nMouseState, x, y);
}

bool CTabControl::OnLButtonUp(UINT, int x, int y) {
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside) {
        TabTarget target{};
        if (TabTargetForId(m_nId, target))
            *target.pSelection = target.nValue;
        Notify(m_nId, 0, NOTIFY_CLICK);
    }
    return bChanged;
}

// ---- CRegionButton ----

void CRegionButton::SetBitmap(unsigned nBitmapId, int nFrameWidth, int nFrameHeight, int nKeyX, int nKeyY) {
    m_nBitmapId = nBitmapId;
    m_nFrameWidth = nFrameWidth;
    m_nFrameHeight = nFrameHeight;
    m_nKeyX = nKeyX;
    m_nKeyY = nKeyY;
}

void CRegionButton::DrawBitmapFrame(QPainter* pDC, int nFrame) const {
    // The bitmap is read on every draw; the key colour is whatever its key pixel holds.
    const QImage bmp = LoadBitmapResource(m_nBitmapId);
    if (bmp.isNull())
        return;
    DrawKeyedFrame(pDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), bmp, nFrame * m_nFrameWidth,
                   m_nFrameWidth, m_nFrameHeight, BitmapPixel(bmp, m_nKeyX, m_nKeyY));
}

void CRegionButton::Draw(QPainter* pDC, const CRect&) { DrawBitmapFrame(pDC, m_nMouseState); }

bool CRegionButton::OnMouseMove(UINT, int x, int y) { return TrackHover(m_nMouseState, x, y); }

bool CRegionButton::OnLButtonDown(UINT, int x, int y) {
    return PressAndNotify(m_nMouseState, x, y);
}

bool CRegionButton::OnLButtonUp(UINT, int x, int y) {
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        Notify(m_nId, 0, NOTIFY_CLICK);
    return bChanged;
}

// ---- CRadioButton ----

bool CRadioButton::IsSelected() const {
    const UINT nBit = RadioBitForId(m_nId);
    return nBit != 0 && (g_nRadioOptionWord & nBit) != 0;
}

void CRadioButton::Draw(QPainter* pDC, const CRect&) { DrawBitmapFrame(pDC, GetDrawnFrame()); }

bool CRadioButton::OnLButtonUp(UINT, int x, int y) {
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside) {
        const UINT nBit = RadioBitForId(m_nId);
        if (nBit != 0)
            g_nRadioOptionWord = (g_nRadioOptionWord & ~0x180u) | nBit;
        Notify(m_nId, 0, NOTIFY_CLICK);
    }
    return bChanged;
}

// ---- CCheckButton ----

void CCheckButton::SetChecked(bool bChecked) { m_bChecked = bChecked; }

int CCheckButton::GetDrawnFrame() const {
    if (m_bDisabled)
        return 6;
    return (m_bChecked ? 3 : 0) + m_nMouseState;
}

void CCheckButton::Draw(QPainter* pDC, const CRect&) { m_strip.Draw(pDC, m_rect, GetDrawnFrame()); }

bool CCheckButton::OnMouseMove(UINT, int x, int y) { return TrackHover(m_nMouseState, x, y); }

bool CCheckButton::OnLButtonDown(UINT, int x, int y) {
    return PressAndNotify(m_nMouseState, x, y);
}

bool CCheckButton::OnLButtonUp(UINT, int x, int y) {
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside) {
        m_bChecked = !m_bChecked;
        Notify(m_nId, 0, NOTIFY_CLICK);
    }
    return bChanged;
}

// ---- CComboButton ----

CComboButton::CComboButton(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText,
                           bool bVisible, bool bDisabled, UINT nPopupMessage, const std::string& strCaption)
    : CControlBase(hParent, nId, rect, strText, bVisible, bDisabled), m_strCaption(strCaption),
      m_nPopupMessage(nPopupMessage) {}

void CComboButton::SetCaption(const std::string& strCaption) {
    m_strCaption = strCaption;
    Invalidate();
}

void CComboButton::SetPopupOpen(bool bOpen) {
    if (m_bPopupOpen == bOpen)
        return;
    m_bPopupOpen = bOpen;
    Invalidate();
}

void CComboButton::Draw(QPainter* pDC, const CRect&) {
    m_strip.Draw(pDC, m_rect, GetDrawnFrame());
    pDC->save();
    pDC->setPen(QColor(ColorRefToQRgb(SkinColour::kText)));
    pDC->setFont(SkinFont(0, 9, 400));
    DrawSkinText(pDC, ToQString(m_strCaption), CRect(m_rect.left + 4, m_rect.top + 1, m_rect.right, m_rect.bottom),
                 DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
    pDC->restore();
}

bool CComboButton::OnMouseMove(UINT, int x, int y) { return TrackHover(m_nMouseState, x, y); }

bool CComboButton::OnLButtonDown(UINT, int x, int y) {
    return PressAndNotify(m_nMouseState, x, y);
}

bool CComboButton::OnLButtonUp(UINT, int x, int y) {
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        Notify(m_nPopupMessage, m_nId, NOTIFY_CLICK);
    return bChanged;
}
