#pragma once
// The button family of skinned controls.

#include "skin/ControlBase.h"
#include "skin/SkinDraw.h"

#include <memory>

// What a tab selects: a click writes nValue into *pSelection, and the tab draws as selected while
// *pSelection holds it. The selection belongs to the window that creates the tabs.
struct CTabSelection
{
    int* pSelection = nullptr;
    int nValue = 0;
};

// One radio button's share of an option word owned by its window: a click clears the group's
// bits and sets the button's own; the button draws as selected while its bit is set.
struct CRadioOption
{
    UINT* pWord = nullptr;
    UINT nBit = 0;
    UINT nGroupMask = 0;
};

// A PNG strip held by a control: the image and its frame size.
struct CStripImage
{
    std::unique_ptr<LoadedImage> m_pImage;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;

    bool Load(unsigned nPngId, int nFrames);
    void Draw(QPainter* pDC, const CRect& rcDest, int nFrame) const;
    bool IsLoaded() const { return m_pImage != nullptr; }
};

// The mouse side every button shares: hover, press and the capture between them, kept once here.
// A release inside the button is a click; subclasses say what a click does and which frame to draw.
class CButtonBase : public CControlBase
{
public:
    using CControlBase::CControlBase;
    bool OnMouseMove(UINT nFlags, int x, int y) final;
    bool OnLButtonDown(UINT nFlags, int x, int y) final;
    bool OnLButtonUp(UINT nFlags, int x, int y) final;
    int GetMouseState() const { return m_nMouseState; }
    virtual int GetDrawnFrame() const { return m_nMouseState; }

protected:
    virtual void OnClicked() { Notify(m_nId, 0, NOTIFY_CLICK); }
    int m_nMouseState = MS_NORMAL;
};

class CImageButton : public CButtonBase
{
public:
    using CButtonBase::CButtonBase;
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 3); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;

protected:
    CStripImage m_strip;
};

class CKeyboardButton : public CButtonBase
{
public:
    using CButtonBase::CButtonBase;
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 3); }
    void SetKeyAssignment(const std::string& strCaption, unsigned char nDefaultCode, unsigned char nCurrentCode);
    // A key tells its full name ("Page Up"), and once remapped what it sends now: "Q → Z".
    std::string ToolTipText() const override;
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    int GetDrawnFrame() const override;

    UINT m_nKeyId = 0;
    std::string m_strKeyCaption;
    unsigned char m_nDefaultCode = 0;
    unsigned char m_nCurrentCode = 0;
    bool m_bKeyChanged = false;

private:
    void OnClicked() override;
    CStripImage m_strip;
};

class CTabControl : public CButtonBase
{
public:
    CTabControl(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                bool bDisabled, CTabSelection selection);
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 3); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool IsSelected() const;
    int GetDrawnFrame() const override;
    // A tab switches what its window shows, so its click repaints the whole window.
    bool RepaintsWindowOnClick() const override { return true; }

private:
    void OnClicked() override;
    CStripImage m_strip;
    CTabSelection m_selection;
};

// Buttons drawn from a bitmap strip with a key colour taken from one of its pixels.
class CRegionButton : public CButtonBase
{
public:
    using CButtonBase::CButtonBase;
    void SetBitmap(unsigned nBitmapId, int nFrameWidth, int nFrameHeight, int nKeyX, int nKeyY);
    void Draw(QPainter* pDC, const CRect& rcClip) override;

protected:
    void DrawBitmapFrame(QPainter* pDC, int nFrame) const;
    unsigned m_nBitmapId = 0;
    int m_nKeyX = 0;
    int m_nKeyY = 0;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
};

class CRadioButton : public CRegionButton
{
public:
    CRadioButton(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                 bool bDisabled, CRadioOption option);
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool IsSelected() const;
    int GetDrawnFrame() const override { return IsSelected() ? 2 : m_nMouseState; }

private:
    void OnClicked() override;
    CRadioOption m_option;
};

class CCheckButton : public CButtonBase
{
public:
    using CButtonBase::CButtonBase;
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 7); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    bool GetChecked() const { return m_bChecked; }
    void SetChecked(bool bChecked);
    int GetDrawnFrame() const override;

private:
    void OnClicked() override;
    CStripImage m_strip;
    bool m_bChecked = false;
};

class CComboButton : public CButtonBase
{
public:
    CComboButton(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                 bool bDisabled, UINT nPopupMessage, const std::string& strCaption);
    bool LoadImage(unsigned nPngId) { return m_strip.Load(nPngId, 5); }
    void Draw(QPainter* pDC, const CRect& rcClip) override;
    void SetCaption(const std::string& strCaption);
    const std::string& GetCaption() const { return m_strCaption; }
    void SetPopupOpen(bool bOpen);
    bool IsPopupOpen() const { return m_bPopupOpen; }
    UINT GetPopupMessage() const { return m_nPopupMessage; }
    int GetDrawnFrame() const override { return m_bPopupOpen ? 1 : m_nMouseState; }

private:
    void OnClicked() override;
    std::string m_strCaption;
    UINT m_nPopupMessage;
    bool m_bPopupOpen = false;
    CStripImage m_strip;
};
