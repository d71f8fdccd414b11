#include "skin/Buttons.h"

#include "model/KeyTables.h"

#include <algorithm>

#include <QPainter>

bool CStripImage::Load(unsigned nPngId, int nFrames)
{
    std::unique_ptr<LoadedImage> pImage;
    if (!LoadPngResource(nPngId, pImage))
        return false;
    m_pImage = std::move(pImage);
    m_nFrameWidth = StripFrameWidth(m_pImage->m_nWidth, nFrames);
    m_nFrameHeight = m_pImage->m_nHeight;
    return true;
}

void CStripImage::Draw(QPainter* pDC, const CRect& rcDest, int nFrame) const
{
    DrawStripFrame(pDC, m_pImage.get(), rcDest, nFrame, m_nFrameWidth, m_nFrameHeight);
}

// ---- CButtonBase ----

bool CButtonBase::OnMouseMove(UINT, int x, int y)
{
    return TrackHover(m_nMouseState, x, y);
}

bool CButtonBase::OnLButtonDown(UINT, int x, int y)
{
    return PressAndNotify(m_nMouseState, x, y);
}

bool CButtonBase::OnLButtonUp(UINT, int x, int y)
{
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        OnClicked();
    return bChanged;
}

// ---- CImageButton ----

namespace
{
// A disabled button or tab is drawn faded, so that it reads as out of use while it is.
constexpr qreal kDisabledOpacity = 0.45;
} // namespace

void CImageButton::Draw(QPainter* pDC, const CRect&)
{
    if (m_bDisabled)
        pDC->setOpacity(kDisabledOpacity);
    m_strip.Draw(pDC, m_rect, m_nMouseState);
}

// ---- CKeyboardButton ----

void CKeyboardButton::SetKeyAssignment(const std::string& strCaption, unsigned char nDefaultCode,
                                       unsigned char nCurrentCode)
{
    m_nKeyId = m_nId;
    m_strKeyCaption = strCaption;
    m_nDefaultCode = nDefaultCode;
    m_nCurrentCode = nCurrentCode;
    m_bKeyChanged = nCurrentCode != nDefaultCode;
}

int CKeyboardButton::GetDrawnFrame() const
{
    if (m_nMouseState == MS_NORMAL && m_bKeyChanged)
        return 2;
    return m_nMouseState;
}

std::string CKeyboardButton::ToolTipText() const
{
    // The narrow keys carry short legends ("PU", "NL"); the pointer gets the key's full name.
    if (!m_bKeyChanged)
        return m_strKeyCaption;
    const char* pszSends = DeviceKeyNameTable[m_nCurrentCode];
    return m_strKeyCaption + " \u2192 " + (pszSends ? pszSends : "Undefined");
}

void CKeyboardButton::Draw(QPainter* pDC, const CRect&)
{
    m_strip.Draw(pDC, m_rect, GetDrawnFrame());
}

void CKeyboardButton::OnClicked()
{
    Notify(m_nId, m_nId, NOTIFY_CLICK);
}

// ---- CTabControl ----

CTabControl::CTabControl(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                         bool bDisabled, CTabSelection selection)
    : CButtonBase(hParent, nId, rect, strText, bVisible, bDisabled), m_selection(selection)
{
}

bool CTabControl::IsSelected() const
{
    return m_selection.pSelection && *m_selection.pSelection == m_selection.nValue;
}

int CTabControl::GetDrawnFrame() const
{
    return IsSelected() ? 2 : m_nMouseState;
}

void CTabControl::Draw(QPainter* pDC, const CRect&)
{
    if (m_bDisabled)
        pDC->setOpacity(kDisabledOpacity);
    m_strip.Draw(pDC, m_rect, GetDrawnFrame());
}

void CTabControl::OnClicked()
{
    if (m_selection.pSelection)
        *m_selection.pSelection = m_selection.nValue;
    Notify(m_nId, 0, NOTIFY_CLICK);
}

// ---- CRegionButton ----

void CRegionButton::SetBitmap(unsigned nBitmapId, int nFrameWidth, int nFrameHeight, int nKeyX, int nKeyY)
{
    m_nBitmapId = nBitmapId;
    m_nFrameWidth = nFrameWidth;
    m_nFrameHeight = nFrameHeight;
    m_nKeyX = nKeyX;
    m_nKeyY = nKeyY;
}

void CRegionButton::DrawBitmapFrame(QPainter* pDC, int nFrame) const
{
    // The key colour is whatever the bitmap's key pixel holds.
    DrawKeyedBitmapFrame(pDC, m_rect, m_nBitmapId, nFrame, m_nFrameWidth, m_nFrameHeight, m_nKeyX, m_nKeyY);
}

void CRegionButton::Draw(QPainter* pDC, const CRect&)
{
    DrawBitmapFrame(pDC, m_nMouseState);
}

// ---- CRadioButton ----

CRadioButton::CRadioButton(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                           bool bDisabled, CRadioOption option)
    : CRegionButton(hParent, nId, rect, strText, bVisible, bDisabled), m_option(option)
{
}

bool CRadioButton::IsSelected() const
{
    return m_option.pWord && m_option.nBit != 0 && (*m_option.pWord & m_option.nBit) != 0;
}

void CRadioButton::Draw(QPainter* pDC, const CRect&)
{
    DrawBitmapFrame(pDC, GetDrawnFrame());
}

void CRadioButton::OnClicked()
{
    if (m_option.pWord)
        *m_option.pWord = (*m_option.pWord & ~m_option.nGroupMask) | m_option.nBit;
    Notify(m_nId, 0, NOTIFY_CLICK);
}

// ---- CCheckButton ----

void CCheckButton::SetChecked(bool bChecked)
{
    m_bChecked = bChecked;
}

int CCheckButton::GetDrawnFrame() const
{
    if (m_bDisabled)
        return 6;
    return (m_bChecked ? 3 : 0) + m_nMouseState;
}

void CCheckButton::Draw(QPainter* pDC, const CRect&)
{
    m_strip.Draw(pDC, m_rect, GetDrawnFrame());
}

void CCheckButton::OnClicked()
{
    m_bChecked = !m_bChecked;
    Notify(m_nId, 0, NOTIFY_CLICK);
}

// ---- CComboButton ----

CComboButton::CComboButton(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                           bool bDisabled, UINT nPopupMessage, const std::string& strCaption)
    : CButtonBase(hParent, nId, rect, strText, bVisible, bDisabled), m_strCaption(strCaption),
      m_nPopupMessage(nPopupMessage)
{
}

void CComboButton::SetCaption(const std::string& strCaption)
{
    m_strCaption = strCaption;
    Invalidate();
}

void CComboButton::SetPopupOpen(bool bOpen)
{
    if (m_bPopupOpen == bOpen)
        return;
    m_bPopupOpen = bOpen;
    Invalidate();
}

void CComboButton::Draw(QPainter* pDC, const CRect&)
{
    m_strip.Draw(pDC, m_rect, GetDrawnFrame());
    pDC->save();
    pDC->setPen(QColor(ColorRefToQRgb(SkinColour::kText)));
    pDC->setFont(SkinFont(0, 9, 400));
    // The words keep clear of the box's inner border, and of the arrow part at its right end.
    const int nArrowPart = std::min(m_rect.Height(), m_rect.Width() / 3);
    DrawSkinText(pDC, ToQString(m_strCaption),
                 CRect(m_rect.left + 8, m_rect.top + 1, m_rect.right - nArrowPart - 2, m_rect.bottom),
                 DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
    pDC->restore();
}

void CComboButton::OnClicked()
{
    Notify(m_nPopupMessage, m_nId, NOTIFY_CLICK);
}
