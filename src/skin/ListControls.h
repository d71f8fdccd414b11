#pragma once
// Text, scroll and list controls: a coloured label, a vertical scroll bar with a
// draggable thumb, the list of macro key names of one macro set (with an in-place edit
// box for a new name) and the list of the actions of one macro key.

#include "skin/Buttons.h"

#include <QLineEdit>
#include <QPointer>
#include <algorithm>

struct MacroLibrary;
struct MacroKey;

class CStaticText : public CControlBase
{
public:
    CStaticText(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                bool bDisabled, COLORREF crText, UINT nFormat);
    void SetDisplayText(const std::string& strText);
    const std::string& GetDisplayText() const { return m_strDisplayText; }
    void SetTextColour(COLORREF crText) { m_crText = crText; }
    COLORREF GetTextColour() const { return m_crText; }
    UINT GetFormat() const { return m_nFormat; }
    // A title label is drawn bold; labels are regular otherwise.
    void SetBold(bool bBold) { m_bBold = bBold; }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    int GetMouseState() const { return m_nMouseState; }

private:
    std::string m_strDisplayText;
    COLORREF m_crText;
    UINT m_nFormat;
    bool m_bBold = false;
    int m_nMouseState = MS_NORMAL;
};

// Part codes sent as wParam with the scroll bar's press notification.
enum ScrollBarPart
{
    SB_PART_THUMB = 0,
    SB_PART_UP = 6,
    SB_PART_DOWN = 7,
    SB_PART_PAGE_UP = 8,
    SB_PART_PAGE_DOWN = 9
};

class CVScrollBar : public CControlBase
{
public:
    using CControlBase::CControlBase;
    // Loads the arrow strips (3 frames each) and lays out arrows, track and thumb.
    void LoadImages(unsigned nUpPngId = 188, unsigned nDownPngId = 187);
    // Lays out arrows and track for an arrow height (also used when no art is present).
    void LayOut(int nArrowHeight);
    void SetScrollState(int nPosition, int nPage, int nRange);
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;

    int GetPosition() const { return m_nPosition; }
    int GetPage() const { return m_nPage; }
    int GetRange() const { return m_nRange; }
    CRect GetTrackRect() const { return m_rcTrack; }
    CRect GetThumbRect() const { return m_rcThumb; }
    CRect GetDragRect() const { return m_rcDrag; }
    CRect GetUpArrowRect() const { return m_rcUp; }
    CRect GetDownArrowRect() const { return m_rcDown; }
    bool IsDragging() const { return m_bDragging; }
    int GetMouseState() const { return m_nMouseState; }
    bool IsOverUp() const { return m_bOverUp; }
    bool IsOverDown() const { return m_bOverDown; }
    bool IsOverThumb() const { return m_bOverThumb; }

private:
    int TrackLength() const { return m_rcTrack.bottom - m_rcTrack.top + 1; }

    CStripImage m_imgUp;
    CStripImage m_imgDown;
    int m_nArrowHeight = 0;
    CRect m_rcUp;
    CRect m_rcDown;
    CRect m_rcTrack;
    CRect m_rcThumb;
    int m_nMouseState = MS_NORMAL;
    bool m_bOverUp = false;
    bool m_bOverDown = false;
    bool m_bOverThumb = false;
    bool m_bDragging = false;
    CRect m_rcDrag;
    int m_nGrabOffset = 0;
    int m_nPosition = 0;
    int m_nPage = 1;
    int m_nRange = 1;
    bool m_bNothingToScroll = true; // the page shows the whole range
};

// What both macro lists keep of their rows: the selected one, the first in view, how many fit,
// and the list's mouse state.
class CRowListBase : public CControlBase
{
public:
    using CControlBase::CControlBase;
    int GetSelectedRow() const { return m_nSelectedRow; }
    void SetSelectedRow(int nRow) { m_nSelectedRow = nRow; }
    int GetFirstVisibleRow() const { return m_nFirstVisibleRow; }
    // A row before the first one is taken as the first one.
    void SetFirstVisibleRow(int nRow) { m_nFirstVisibleRow = std::max(0, nRow); }
    int GetVisibleRows() const { return m_nVisibleRows; }
    int GetMouseState() const { return m_nMouseState; }

protected:
    int m_nSelectedRow = -1;
    int m_nFirstVisibleRow = 0;
    int m_nVisibleRows = 0;
    int m_nMouseState = MS_NORMAL;
};

class CEditShowList : public CRowListBase
{
public:
    static constexpr UINT kEditBoxId = 2016;
    static constexpr size_t kMaxNameBytes = 12;

    CEditShowList(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                  bool bDisabled, MacroLibrary* pLibrary);
    ~CEditShowList() override;

    void SetRect(int nLeft, int nTop, int nRight, int nBottom) override;
    void SelectSet(int nIndex);
    // Opens the edit box for a new name under the last key; false when one is already open.
    bool BeginNewName();
    void ScrollToEnd();
    std::string GetEditText() const;
    QLineEdit* GetEditBox() const { return m_pEdit.data(); }
    bool HasEditBox() const { return !m_pEdit.isNull(); }
    // Abandons the new name (the edit box goes away).
    void DestroyEditBox();
    // Checks the edit box text and, when it is a good new name, adds the key; answers the
    // notification code sent (0 when the box was empty and was removed, -1 without a box).
    int CommitEditBox();

    int GetCurrentSet() const { return m_nCurrentSet; }

    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;

private:
    int KeyCount() const; // keys of the current set, -1 when the set does not exist

    MacroLibrary* m_pLibrary;
    int m_nCurrentSet = -1;
    QPointer<QLineEdit> m_pEdit;
};

class CImageShowList : public CRowListBase
{
public:
    CImageShowList(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                   bool bDisabled);
    void SetRect(int nLeft, int nTop, int nRight, int nBottom) override;
    // Loads the release, press and delay icons (PNG 191, 192, 193).
    void LoadIcons();
    void SetMacroKey(const MacroKey* pKey);
    // Shows key nKey of set nSet of the library, found again at every use: macros added to the
    // library meanwhile (by the keyboard, or on the macro page) move its keys in memory, so a
    // pointer taken before would point at freed memory. No such key shows an empty list.
    void ShowLibraryKey(const MacroLibrary* pLibrary, size_t nSet, size_t nKey);
    const MacroKey* GetMacroKey() const;

    // The text a row shows for an action, and which icon (0 release, 1 press, 2 delay).
    static std::string ActionText(const unsigned char bytes[4], int* pnIcon);

    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;

private:
    const MacroKey* m_pKey = nullptr;
    const MacroLibrary* m_pLibrary = nullptr; // with m_nSet and m_nKey, in place of m_pKey
    size_t m_nSet = 0;
    size_t m_nKey = 0;
    std::unique_ptr<LoadedImage> m_pIconRelease;
    std::unique_ptr<LoadedImage> m_pIconPress;
    std::unique_ptr<LoadedImage> m_pIconDelay;
};
