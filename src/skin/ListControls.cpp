#include "skin/ListControls.h"

#include "model/KeyTables.h"
#include "model/Macro.h"
#include "skin/EditEscape.h"

#include <QLineEdit>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace
{

constexpr int kRowHeight = 20;

int VisibleRowsFor(const CRect& rc)
{
    return (rc.bottom - rc.top + 10) / kRowHeight;
}

} // namespace

// ---- CStaticText ----

CStaticText::CStaticText(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                         bool bDisabled, COLORREF crText, UINT nFormat)
    : CControlBase(hParent, nId, rect, strText, bVisible, bDisabled), m_crText(crText), m_nFormat(nFormat)
{
}

void CStaticText::SetDisplayText(const std::string& strText)
{
    if (strText == m_strDisplayText)
        return;
    m_strDisplayText = strText;
    Invalidate();
}

void CStaticText::Draw(QPainter* pDC, const CRect&)
{
    pDC->save();
    pDC->setPen(QColor(ColorRefToQRgb(m_crText)));
    pDC->setFont(SkinFont(0, 0, m_bBold ? 700 : 400));
    // Two pixels of air inside the label's edges; a label aligned to its top moves down by as much.
    const CRect rcText(m_rect.left + 2, m_rect.top + ((m_nFormat & DT_VCENTER) ? 0 : 2), m_rect.right - 2,
                       m_rect.bottom);
    DrawSkinText(pDC, ToQString(m_strDisplayText), rcText, m_nFormat | DT_SINGLELINE | DT_WORD_ELLIPSIS);
    pDC->restore();
}

bool CStaticText::OnMouseMove(UINT, int x, int y)
{
    return TrackHover(m_nMouseState, x, y);
}

bool CStaticText::OnLButtonDown(UINT, int x, int y)
{
    return PressAndNotify(m_nMouseState, x, y);
}

bool CStaticText::OnLButtonUp(UINT, int x, int y)
{
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        Notify(m_nId, 0, NOTIFY_CLICK);
    return bChanged;
}

// ---- CVScrollBar ----

void CVScrollBar::LoadImages(unsigned nUpPngId, unsigned nDownPngId)
{
    m_imgUp.Load(nUpPngId, 3);
    m_imgDown.Load(nDownPngId, 3);
    LayOut(m_imgUp.IsLoaded() ? m_imgUp.m_nFrameHeight : 0);
}

void CVScrollBar::LayOut(int nArrowHeight)
{
    m_nArrowHeight = nArrowHeight;
    m_rcUp = CRect(m_rect.left, m_rect.top, m_rect.right, m_rect.top + nArrowHeight - 1);
    m_rcDown = CRect(m_rect.left, m_rect.bottom - nArrowHeight + 1, m_rect.right, m_rect.bottom);
    m_rcTrack = CRect(m_rect.left, m_rect.top + nArrowHeight, m_rect.right, m_rect.bottom - nArrowHeight + 1);
    m_rcThumb = m_rcTrack;
}

void CVScrollBar::SetScrollState(int nPosition, int nPage, int nRange)
{
    m_bNothingToScroll = nRange == 0 || nPage >= nRange;
    if (nRange == 0)
    {
        m_rcThumb = m_rcTrack;
        return;
    }
    m_nPosition = nPosition;
    m_nPage = nPage;
    m_nRange = nRange;
    const int L = TrackLength();
    if (L <= 0)
    {
        // A bar too short for its arrows has no track to place a thumb in.
        m_rcThumb = m_rcTrack;
        return;
    }
    const int nThumbLength = static_cast<int>(std::trunc(static_cast<double>(L) * nPage / nRange + 0.5));
    const int nThumbTop =
        m_rcTrack.top + static_cast<int>(std::trunc(static_cast<double>(L) * nPosition / nRange + 0.5));
    const int nThumbBottom = std::min(nThumbTop + std::min(L, nThumbLength) - 1, m_rcTrack.bottom);
    m_rcThumb = CRect(m_rcTrack.left, nThumbTop, m_rcTrack.right, nThumbBottom);
    Invalidate();
}

bool CVScrollBar::OnMouseMove(UINT, int x, int y)
{
    const int nOldState = m_nMouseState;
    const bool bOldUp = m_bOverUp, bOldDown = m_bOverDown, bOldThumb = m_bOverThumb;
    if (!m_bDisabled && m_nMouseState != MS_PRESSED)
    {
        if (m_rect.PtInRect(x, y))
        {
            m_nMouseState = MS_HOVER;
            m_bOverUp = m_rcUp.PtInRect(x, y);
            m_bOverDown = m_rcDown.PtInRect(x, y);
            m_bOverThumb = m_rcThumb.PtInRect(x, y);
        }
        else
        {
            m_nMouseState = MS_NORMAL;
            m_bOverUp = m_bOverDown = m_bOverThumb = false;
        }
    }
    if (m_nMouseState == MS_NORMAL)
        m_bDragging = false;
    if (m_bDragging)
    {
        const int nDelta = y - m_nGrabOffset - m_rcDrag.top;
        bool bShifted = false;
        if (nDelta > 0 && m_rcDrag.bottom < m_rcTrack.bottom)
        {
            m_rcDrag.Offset(0, nDelta);
            if (m_rcDrag.bottom > m_rcTrack.bottom)
                m_rcDrag.Offset(0, m_rcTrack.bottom - m_rcDrag.bottom);
            bShifted = true;
        }
        else if (nDelta < 0 && m_rcDrag.top > m_rcTrack.top)
        {
            m_rcDrag.Offset(0, nDelta);
            if (m_rcDrag.top < m_rcTrack.top)
                m_rcDrag.Offset(0, m_rcTrack.top - m_rcDrag.top);
            bShifted = true;
        }
        if (bShifted && TrackLength() > 0)
        {
            Invalidate();
            const int nNewPosition =
                static_cast<int>(static_cast<long long>(m_rcDrag.top - m_rcTrack.top) * m_nRange / TrackLength());
            if (nNewPosition != m_nPosition)
            {
                m_nPosition = nNewPosition;
                Notify(m_nId, 0, NOTIFY_SCROLL);
            }
        }
    }
    return nOldState != m_nMouseState || bOldUp != m_bOverUp || bOldDown != m_bOverDown || bOldThumb != m_bOverThumb;
}

bool CVScrollBar::OnLButtonDown(UINT, int x, int y)
{
    if (m_bDisabled || !m_rect.PtInRect(x, y))
        return false;
    const bool bChanged = m_nMouseState != MS_PRESSED;
    m_nMouseState = MS_PRESSED;
    WPARAM nPart;
    if (m_rcUp.PtInRect(x, y))
    {
        nPart = SB_PART_UP;
    }
    else if (m_rcDown.PtInRect(x, y))
    {
        nPart = SB_PART_DOWN;
    }
    else if (m_rcThumb.PtInRect(x, y))
    {
        nPart = SB_PART_THUMB;
        m_bDragging = true;
        m_rcDrag = m_rcThumb;
        m_nGrabOffset = y - m_rcThumb.top;
    }
    else if (y < m_rcThumb.top)
    {
        nPart = SB_PART_PAGE_UP;
    }
    else
    {
        nPart = SB_PART_PAGE_DOWN;
    }
    Notify(m_nId, nPart, NOTIFY_PRESS);
    return bChanged;
}

bool CVScrollBar::OnLButtonUp(UINT, int x, int y)
{
    if (m_bDisabled)
        return false;
    const int nOld = m_nMouseState;
    // A drag ends with the button wherever it is released, so the thumb never stays
    // drawn at a dragged place the position does not match.
    m_bDragging = false;
    if (m_rect.PtInRect(x, y))
    {
        m_nMouseState = MS_HOVER;
        Notify(m_nId, 0, NOTIFY_CLICK);
    }
    else
    {
        m_nMouseState = MS_NORMAL;
    }
    SetScrollState(m_nPosition, m_nPage, m_nRange);
    return nOld != m_nMouseState;
}

void CVScrollBar::Draw(QPainter* pDC, const CRect&)
{
    // While everything fits, the bar steps back: it takes the list's own fill, so the list reads
    // as one piece and no dead grey strip suggests there is more to see.
    if (m_bNothingToScroll && !m_bDragging)
    {
        FillSolid(pDC, m_rect, SkinColour::kListFill);
        return;
    }
    FillSolid(pDC, m_rect, SkinColour::kScrollTrack);
    const int nArrowWidth = m_imgUp.m_nFrameWidth;
    m_imgUp.Draw(pDC, CRect(m_rect.left, m_rect.top, m_rect.left + nArrowWidth, m_rect.top + m_nArrowHeight),
                 m_bOverUp ? 1 : 0);
    const int nDownTop = m_rect.bottom - m_nArrowHeight + 1;
    m_imgDown.Draw(pDC, CRect(m_rect.left, nDownTop, m_rect.left + m_imgDown.m_nFrameWidth, nDownTop + m_nArrowHeight),
                   m_bOverDown ? 1 : 0);
    const CRect rcThumb = m_bDragging ? m_rcDrag : m_rcThumb;
    FillSolid(pDC, rcThumb, m_bOverThumb ? SkinColour::kHighlight : SkinColour::kThumbBorder);
    FillSolid(pDC, rcThumb.Deflated(1), m_bOverThumb ? SkinColour::kThumbBorder : SkinColour::kThumbFill);
}

// ---- CEditShowList ----

CEditShowList::CEditShowList(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText,
                             bool bVisible, bool bDisabled, MacroLibrary* pLibrary)
    : CRowListBase(hParent, nId, rect, strText, bVisible, bDisabled), m_pLibrary(pLibrary)
{
    m_nVisibleRows = VisibleRowsFor(rect);
}

CEditShowList::~CEditShowList()
{
    DestroyEditBox();
}

void CEditShowList::SetRect(int nLeft, int nTop, int nRight, int nBottom)
{
    CControlBase::SetRect(nLeft, nTop, nRight, nBottom);
    m_nVisibleRows = VisibleRowsFor(m_rect);
}

int CEditShowList::KeyCount() const
{
    if (!m_pLibrary || m_nCurrentSet < 0)
        return -1;
    const MacroSet* pSet = m_pLibrary->FindSet(static_cast<size_t>(m_nCurrentSet));
    return pSet ? static_cast<int>(pSet->m_vecKeys.size()) : -1;
}

void CEditShowList::SelectSet(int nIndex)
{
    m_nCurrentSet = nIndex;
    m_nFirstVisibleRow = 0;
    m_nSelectedRow = KeyCount() > 0 ? 0 : -1;
}

bool CEditShowList::BeginNewName()
{
    if (m_pEdit || !m_hParent)
        return false; // one box at a time, and only inside a window
    const int nKeys = KeyCount();
    if (nKeys < 0)
        return true;
    int nRow = nKeys;
    if (nKeys >= m_nVisibleRows)
    {
        m_nFirstVisibleRow = nKeys - m_nVisibleRows + 1;
        nRow = m_nVisibleRows - 1;
    }
    auto* pEdit = new QLineEdit(m_hParent);
    pEdit->setObjectName(QString::number(kEditBoxId));
    const int nTop = m_rect.top + nRow * kRowHeight;
    pEdit->setGeometry(m_rect.left + 2, nTop + 2, (m_rect.right - 2) - (m_rect.left + 2), (nTop + 20) - (nTop + 2));
    pEdit->setFrame(false);
    // Escape drops the typed name, as Delete does; the window keeps running.
    CancelEditOnEscape(*pEdit, {},
                       [this]
                       {
                           DestroyEditBox();
                           m_hParent->setFocus();
                           Invalidate();
                       });
    pEdit->show();
    pEdit->setFocus();
    m_pEdit = pEdit;
    Invalidate();
    return true;
}

void CEditShowList::ScrollToEnd()
{
    const int nKeys = KeyCount();
    if (nKeys <= 0)
        return;
    m_nFirstVisibleRow = nKeys > m_nVisibleRows ? nKeys - m_nVisibleRows : 0;
    Invalidate();
}

std::string CEditShowList::GetEditText() const
{
    return m_pEdit ? m_pEdit->text().toStdString() : std::string();
}

void CEditShowList::DestroyEditBox()
{
    if (QLineEdit* pEdit = m_pEdit.data())
    {
        m_pEdit = nullptr;
        pEdit->hide();
        pEdit->deleteLater();
    }
}

int CEditShowList::CommitEditBox()
{
    if (!m_pEdit)
        return -1;
    const std::string strName = GetEditText();
    if (strName.empty())
    {
        DestroyEditBox();
        return 0;
    }
    if (strName.size() > kMaxNameBytes)
    {
        Notify(m_nId, 0, NOTIFY_NAME_TOO_LONG);
        return static_cast<int>(NOTIFY_NAME_TOO_LONG);
    }
    MacroSet* pSet =
        m_pLibrary && m_nCurrentSet >= 0 ? m_pLibrary->FindSet(static_cast<size_t>(m_nCurrentSet)) : nullptr;
    if (!pSet)
    {
        // The set went away while the name was typed: nothing to add it to.
        DestroyEditBox();
        return 0;
    }
    if (pSet->FindKeyByName(strName))
    {
        Notify(m_nId, 0, NOTIFY_NAME_EXISTS);
        return static_cast<int>(NOTIFY_NAME_EXISTS);
    }
    pSet->AppendKey(strName);
    // The box goes before the parent hears of the new key, so its handler sees the list
    // in its final state and may rebuild it.
    DestroyEditBox();
    Invalidate();
    Notify(m_nId, 0, NOTIFY_NAME_ADDED);
    return static_cast<int>(NOTIFY_NAME_ADDED);
}

bool CEditShowList::OnMouseMove(UINT, int x, int y)
{
    return TrackHover(m_nMouseState, x, y);
}

bool CEditShowList::OnLButtonDown(UINT, int x, int y)
{
    if (m_bDisabled)
        return false;
    bool bChanged = false;
    if (m_rect.PtInRect(x, y))
    {
        bChanged = m_nMouseState != MS_PRESSED;
        m_nMouseState = MS_PRESSED;
        const int nKeys = KeyCount();
        const int nRow = (y - m_rect.top) / kRowHeight + m_nFirstVisibleRow;
        if (nKeys >= 0 && nRow < nKeys)
        {
            bChanged = bChanged || nRow != m_nSelectedRow;
            m_nSelectedRow = nRow;
        }
    }
    if (m_pEdit)
        CommitEditBox();
    return bChanged;
}

bool CEditShowList::OnLButtonUp(UINT, int x, int y)
{
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        Notify(m_nId, 0, NOTIFY_CLICK);
    return bChanged;
}

void CEditShowList::Draw(QPainter* pDC, const CRect&)
{
    FillSolid(pDC, m_rect, SkinColour::kListFill);
    const int nKeys = KeyCount();
    if (nKeys < 0 || m_nFirstVisibleRow >= nKeys)
        return;
    const MacroSet* pSet = m_pLibrary->FindSet(static_cast<size_t>(m_nCurrentSet));
    pDC->save();
    pDC->setPen(QColor(ColorRefToQRgb(SkinColour::kText)));
    for (int r = 0; r < m_nVisibleRows && m_nFirstVisibleRow + r < nKeys; ++r)
    {
        const int nIndex = m_nFirstVisibleRow + r;
        const CRect rcRow(m_rect.left + 2, m_rect.top + kRowHeight * r, m_rect.right - 2,
                          m_rect.top + kRowHeight * r + kRowHeight);
        if (nIndex == m_nSelectedRow)
            FillSolid(pDC, rcRow, SkinColour::kHighlight);
        DrawSkinText(pDC, ToQString(pSet->m_vecKeys[static_cast<size_t>(nIndex)].m_strName), rcRow,
                     DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
    }
    pDC->restore();
}

// ---- CImageShowList ----

CImageShowList::CImageShowList(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText,
                               bool bVisible, bool bDisabled)
    : CRowListBase(hParent, nId, rect, strText, bVisible, bDisabled)
{
    m_nVisibleRows = VisibleRowsFor(rect);
}

void CImageShowList::SetRect(int nLeft, int nTop, int nRight, int nBottom)
{
    CControlBase::SetRect(nLeft, nTop, nRight, nBottom);
    m_nVisibleRows = VisibleRowsFor(m_rect);
}

void CImageShowList::LoadIcons()
{
    LoadPngResource(191, m_pIconRelease);
    LoadPngResource(192, m_pIconPress);
    LoadPngResource(193, m_pIconDelay);
}

void CImageShowList::SetMacroKey(const MacroKey* pKey)
{
    m_pKey = pKey;
    m_pLibrary = nullptr;
    Invalidate();
}

void CImageShowList::ShowLibraryKey(const MacroLibrary* pLibrary, size_t nSet, size_t nKey)
{
    m_pKey = nullptr;
    m_pLibrary = pLibrary;
    m_nSet = nSet;
    m_nKey = nKey;
    Invalidate();
}

const MacroKey* CImageShowList::GetMacroKey() const
{
    if (!m_pLibrary)
        return m_pKey;
    const MacroSet* pSet = m_pLibrary->FindSet(m_nSet);
    return pSet ? pSet->FindKey(m_nKey) : nullptr;
}

std::string CImageShowList::ActionText(const unsigned char bytes[4], int* pnIcon)
{
    if (bytes[0] < 8)
    {
        const unsigned nMs = (unsigned{bytes[1]} << 16) | (unsigned{bytes[2]} << 8) | bytes[3];
        char szText[32];
        std::snprintf(szText, sizeof szText, "%ums", nMs);
        if (pnIcon)
            *pnIcon = 2;
        return szText;
    }
    const char* pszName = VkNameTable[bytes[0]];
    std::string strText = pszName ? pszName : "";
    const bool bRelease = (bytes[1] & 0x80) != 0;
    strText += bRelease ? " Release" : " Press";
    if (pnIcon)
        *pnIcon = bRelease ? 0 : 1;
    return strText;
}

bool CImageShowList::OnMouseMove(UINT, int x, int y)
{
    return TrackHover(m_nMouseState, x, y);
}

bool CImageShowList::OnLButtonDown(UINT, int x, int y)
{
    if (m_bDisabled || !m_rect.PtInRect(x, y))
        return false;
    bool bChanged = m_nMouseState != MS_PRESSED;
    m_nMouseState = MS_PRESSED;
    const int nRow = (y - m_rect.top) / kRowHeight + m_nFirstVisibleRow;
    const MacroKey* pKey = GetMacroKey();
    if (pKey && nRow < static_cast<int>(std::min(pKey->m_nActionCount, MacroActionSlots)))
    {
        bChanged = bChanged || nRow != m_nSelectedRow;
        m_nSelectedRow = nRow;
    }
    return bChanged;
}

bool CImageShowList::OnLButtonUp(UINT, int x, int y)
{
    bool bInside = false;
    const bool bChanged = ReleaseState(m_nMouseState, x, y, bInside);
    if (bInside)
        Notify(m_nId, 0, NOTIFY_CLICK);
    return bChanged;
}

void CImageShowList::Draw(QPainter* pDC, const CRect&)
{
    FillSolid(pDC, m_rect, SkinColour::kListFill);
    const MacroKey* pKey = GetMacroKey();
    if (!pKey)
        return;
    const int nActions = static_cast<int>(std::min(pKey->m_nActionCount, MacroActionSlots));
    if (nActions <= 0 || m_nFirstVisibleRow >= nActions)
        return;
    const int nIconWidth = m_pIconRelease ? m_pIconRelease->m_nWidth : 15;
    const int nIconHeight = m_pIconRelease ? m_pIconRelease->m_nHeight : 15;
    pDC->save();
    pDC->setPen(QColor(ColorRefToQRgb(SkinColour::kText)));
    for (int r = 0; r < m_nVisibleRows && m_nFirstVisibleRow + r < nActions; ++r)
    {
        const int nIndex = m_nFirstVisibleRow + r;
        const CRect rcRow(m_rect.left + 17, m_rect.top + kRowHeight * r, m_rect.right - 2,
                          m_rect.top + kRowHeight * r + kRowHeight);
        if (nIndex == m_nSelectedRow)
            FillSolid(pDC, rcRow, SkinColour::kHighlight);
        const MacroAction& action = pKey->m_actions[static_cast<size_t>(nIndex)];
        int nIcon = 0;
        const std::string strText = ActionText(action.m_bytes.data(), &nIcon);
        DrawSkinText(pDC, ToQString(strText), rcRow, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
        const LoadedImage* pIcon =
            nIcon == 0 ? m_pIconRelease.get() : (nIcon == 1 ? m_pIconPress.get() : m_pIconDelay.get());
        if (pIcon)
            DrawStripFrame(
                pDC, pIcon,
                CRect(rcRow.left - 15, rcRow.top + 3, rcRow.left - 15 + nIconWidth, rcRow.top + 3 + nIconHeight), 0,
                pIcon->m_nWidth, pIcon->m_nHeight);
    }
    pDC->restore();
}
