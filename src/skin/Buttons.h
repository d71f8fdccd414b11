#pragma once
// The button family of skinned controls.

#include "skin/ControlBase.h"
#include "skin/SkinDraw.h"

#include <memory>

// What a tab selects: a click writes nValue into *pSelection, and the tab draws as selected while
// *pSelection holds it. The selection belongs to the window that creates the tabs.
struct CTabSelection {
    int* pSelection = nullptr;
    int nValue = 0;
};

// One radio button's share of an option word owned by its window: a click clears the group's
// bits and sets the button's own; the button draws as selected while its bit is set.
struct CRadioOption {
    UINT* pWord = nullptr;
    UINT nBit = 0;
    UINT nGroupMask = 0;
};

// A PNG strip held by a control: the image and its frame size.
struct CStripImage {
    std::unique_ptr<LoadedImage> m_pImage;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;

    bool Load(unsigned nPngId, int nFrames);
    void Draw(QPainter* pDC, const CRect& rcDest, int nFrame) const;
    bool IsLoaded() const { return m_pImage != nullptr; }
};

class CImageButton : public CControlBase {
public:
    using CControlBase::CControlBase;
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 3); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    int GetMouseState() const { return m_nMouseState; }

protected:
    CStripImage m_strip;
    int m_nMouseState = MS_NORMAL;
};

class CKeyboardButton : public CControlBase {
public:
    using CControlBase::CControlBase;
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 3); }
    void SetKeyAssignment(const std::string& strCaption, unsigned char nDefaultCode, unsigned char nCurrentCode);
    // A key tells its full name ("Page Up"), and once remapped what it sends now: "Q → Z".
    std::string ToolTipText() const override;
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    int GetMouseState() const { return m_nMouseState; }
    int GetDrawnFrame() const;

    UINT m_nKeyId = 0;
    std::string m_strKeyCaption;
    unsigned char m_nDefaultCode = 0;
    unsigned char m_nCurrentCode = 0;
    bool m_bKeyChanged = false;

private:
    CStripImage m_strip;
    int m_nMouseState = MS_NORMAL;
};

class CTabControl : public CControlBase {
public:
    CTabControl(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                bool bDisabled, CTabSelection selection);
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 3); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    int GetMouseState() const { return m_nMouseState; }
    bool IsSelected() const;
    int GetDrawnFrame() const;
    // A tab switches what its window shows, so its click repaints the whole window.
    bool RepaintsWindowOnClick() const override { return true; }

private:
    CStripImage m_strip;
    int m_nMouseState = MS_NORMAL;
    CTabSelection m_selection;
};

// Buttons drawn from a bitmap strip with a key colour taken from one of its pixels.
class CRegionButton : public CControlBase {
public:
    using CControlBase::CControlBase;
    void SetBitmap(unsigned nBitmapId, int nFrameWidth, int nFrameHeight, int nKeyX, int nKeyY);
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    int GetMouseState() const { return m_nMouseState; }

protected:
    void DrawBitmapFrame(QPainter* pDC, int nFrame) const;
    unsigned m_nBitmapId = 0;
    int m_nKeyX = 0;
    int m_nKeyY = 0;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    int m_nMouseState = MS_NORMAL;
};

class CRadioButton : public CRegionButton {
public:
    CRadioButton(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                 bool bDisabled, CRadioOption option);
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    bool IsSelected() const;
    int GetDrawnFrame() const { return IsSelected() ? 2 : m_nMouseState; }

private:
    CRadioOption m_option;
};

class CCheckButton : public CControlBase {
public:
    using CControlBase::CControlBase;
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 7); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    bool GetChecked() const { return m_bChecked; }
    void SetChecked(bool bChecked);
    int GetMouseState() const { return m_nMouseState; }
    int GetDrawnFrame() const;

private:
    CStripImage m_strip;
    bool m_bChecked = false;
    int m_nMouseState = MS_NORMAL;
};

class CComboButton : public CControlBase {
public:
    CComboButton(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                 bool bDisabled, UINT nPopupMessage, const std::string& strCaption);
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 5); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool OnMouseMove(UINT nFlags, int x, int y) override;
    bool OnLButtonDown(UINT nFlags, int x, int y) override;
    bool OnLButtonUp(UINT nFlags, int x, int y) override;
    void SetCaption(const std::string& strCaption);
    const std::string& GetCaption() const { return m_strCaption; }
    void SetPopupOpen(bool bOpen);
    bool IsPopupOpen() const { return m_bPopupOpen; }
    UINT GetPopupMessage() const { return m_nPopupMessage; }
    int GetMouseState() const { return m_nMouseState; }
    int GetDrawnFrame() const { return m_bPopupOpen ? 1 : m_nMouseState; }

private:
    std::string m_strCaption;
    UINT m_nPopupMessage;
    bool m_bPopupOpen = false;
    CStripImage m_strip;
    int m_nMouseState = MS_NORMAL;
};
