#pragma once
// The four pages of the main window: the page tabs show one page's controls and hide the
// others' (and the repeat-count edit box with the macro page), and each page has its picture
// under its controls.

#include <array>
#include <memory>

#include "mainwindow/MainWindowHandler.h"

class CMainWindowHost;
struct LoadedImage;

class CPageHandler : public CMainWindowHandler
{
public:
    explicit CPageHandler(CMainWindowHost& host);
    ~CPageHandler() override;

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord&) override {}
    // The page picture; the key page's is empty, so the skin shows between the keys.
    void DrawOnPage(QPainter* pDC, int nPage) override;

    static constexpr CRect PagePictureRect{47, 137, 47 + 702, 137 + 388};
    // PNG resource of a page's picture; 0 for the key page.
    static unsigned PagePictureId(int nPage);

private:
    // Shows page nPage's controls and hides those of the other pages.
    void ShowPage(int nPage);

    CMainWindowHost& m_host;
    // Decoded on first use, once per page.
    std::array<std::unique_ptr<LoadedImage>, 4> m_arrPictures;
    std::array<bool, 4> m_arrLoaded{};
};
