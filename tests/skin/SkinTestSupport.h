#pragma once

#include "skin/Buttons.h"
#include "skin/DlgBase.h"

#include <QCoreApplication>
#include <QPainter>
#include <vector>

struct RecordedMessage
{
    UINT nMsg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const RecordedMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const RecordedMessage& m)
{
    return os << "{" << m.nMsg << ", " << m.wParam << ", " << m.lParam << "}";
}

// A window that only records what it receives above the mouse range.
class CRecordingWindow : public CSkinWindow
{
public:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg >= WM_USER)
            m_vecMessages.push_back({nMsg, wParam, lParam});
        return 0;
    }
    std::vector<RecordedMessage> m_vecMessages;
};

// A dialog whose controls the test adds; it records notifications and the drag request.
class CTestDlg : public CDlgBase
{
public:
    CTestDlg() : CDlgBase(0, nullptr) { SetWindowSize(300, 200); }
    void CreateControls(int, int, int, int) override {}
    void DrawBackground(QPainter* pDC, const CRect& rc) override { DrawStandardBackground(pDC, rc); }
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg >= WM_USER || nMsg == WM_NCLBUTTONDOWN)
            m_vecMessages.push_back({nMsg, wParam, lParam});
        if (nMsg >= WM_USER)
            return 0;
        return CDlgBase::WindowProc(nMsg, wParam, lParam);
    }
    void InvalidateRect(const CRect* pRect, bool bErase = true) override
    {
        m_vecInvalidated.push_back(pRect ? *pRect : CRect(-1, -1, -1, -1)); // -1s: the whole window
        CDlgBase::InvalidateRect(pRect, bErase);
    }
    std::vector<CRect> m_vecInvalidated;
    void Move(int x, int y, bool bButton = false)
    {
        WindowProc(WM_MOUSEMOVE, bButton ? MK_LBUTTON : 0, MakeLParam(x, y));
    }
    void Down(int x, int y) { WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y)); }
    void Up(int x, int y) { WindowProc(WM_LBUTTONUP, 0, MakeLParam(x, y)); }
    void Leave() { WindowProc(WM_MOUSELEAVE, 0, 0); }
    int Count(UINT nMsg) const
    {
        int n = 0;
        for (const auto& m : m_vecMessages)
            n += m.nMsg == nMsg;
        return n;
    }
    std::vector<RecordedMessage> m_vecMessages;
};

// A control that counts its draws and follows the button rules.
class CProbeControl : public CImageButton
{
public:
    using CImageButton::CImageButton;
    void Draw(QPainter* pDC, const CRect& rcClip) override
    {
        ++m_nDraws;
        CImageButton::Draw(pDC, rcClip);
    }
    void ResetPressed(bool bPressed) override
    {
        ++m_nResets;
        CImageButton::ResetPressed(bPressed);
    }
    int m_nDraws = 0;
    int m_nResets = 0;
};

inline void ProcessPostedEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
