#include "mainwindow/PageHandler.h"

#include <QLineEdit>
#include <QPainter>

#include "mainwindow/LightingPreview.h"
#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "skin/SkinDraw.h"

using namespace MainWindow;

CPageHandler::CPageHandler(CMainWindowHost& host) : m_host(host) {}

CPageHandler::~CPageHandler() = default;

unsigned CPageHandler::PagePictureId(int nPage)
{
    switch (nPage)
    {
    case MacroPage: return 261;
    case ProgrammableKeyPage: return 259;
    case LightingPage: return 260;
    default: return 0;
    }
}

bool CPageHandler::HandleMessage(UINT nMsg, WPARAM, LPARAM lParam)
{
    int nPage = -1;
    for (int p = 0; p < PageCount; ++p)
        if (PageTabIds[p] == nMsg)
            nPage = p;
    if (nPage < 0)
        return false;
    if (lParam == NOTIFY_CLICK)
        ShowPage(nPage);
    // The edit box is no skinned control: it follows the selected page on every notification
    // of a tab, the press included.
    if (QLineEdit* pEdit = m_host.LoopCountEdit())
        pEdit->setVisible(m_host.SelectedPage() == MacroPage);
    return true;
}

void CPageHandler::ShowPage(int nPage)
{
    for (int p = 0; p < PageCount; ++p)
        m_host.ShowControlList(ListOfPage(p), p == nPage);
}

void CPageHandler::DrawOnPage(QPainter* pDC, int nPage)
{
    if (nPage < 0 || nPage >= PageCount || PagePictureId(nPage) == 0)
        return;
    const size_t nIndex = static_cast<size_t>(nPage);
    if (!m_arrLoaded[nIndex])
    {
        m_arrLoaded[nIndex] = true;
        LoadPngResource(PagePictureId(nPage), m_arrPictures[nIndex]);
    }
    const LoadedImage* pPicture = m_arrPictures[nIndex].get();
    if (!pPicture)
        return;
    const bool bWholeSize =
        pPicture->m_nWidth == PagePictureRect.Width() && pPicture->m_nHeight == PagePictureRect.Height();
    if (nPage != LightingPage || !bWholeSize || pPicture->m_image.isNull())
    {
        DrawStripFrame(pDC, pPicture, PagePictureRect, 0, pPicture->m_nWidth, pPicture->m_nHeight);
        return;
    }
    // The lighting handler covers its keyboard picture's area opaquely; the page picture is not
    // copied there first, so that picture costs the page nothing extra.
    const QRect rcPage = PagePictureRect.ToQRect();
    const QRect rcHole =
        QRect(CLightingPreview::Origin, QSize(CLightingPreview::Width, CLightingPreview::Height)) & rcPage;
    const QRect rcParts[4] = {
        QRect(rcPage.left(), rcPage.top(), rcPage.width(), rcHole.top() - rcPage.top()),
        QRect(rcPage.left(), rcHole.bottom() + 1, rcPage.width(), rcPage.bottom() - rcHole.bottom()),
        QRect(rcPage.left(), rcHole.top(), rcHole.left() - rcPage.left(), rcHole.height()),
        QRect(rcHole.right() + 1, rcHole.top(), rcPage.right() - rcHole.right(), rcHole.height()),
    };
    for (const QRect& rcPart : rcParts)
        if (!rcPart.isEmpty())
            DrawImageInBands(pDC, rcPart.topLeft(), pPicture->m_image, rcPart.translated(-rcPage.topLeft()));
}
