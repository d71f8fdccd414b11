#include "mainwindow/StatusLineHandler.h"

#include <QPainter>

#include "device/ProfileCommands.h"
#include "mainwindow/MainWindowHost.h"
#include "skin/SkinDraw.h"

namespace
{
constexpr QRgb TextColour = qRgb(0xD2, 0xE4, 0xF6);
constexpr int DotSize = 8;
} // namespace

CStatusLineHandler::CStatusLineHandler(CMainWindowHost& host) : m_host(host)
{
    m_strState = StateText(EKeyboardState::NotFound);
    m_tmrResult.setSingleShot(true);
    QObject::connect(&m_tmrResult, &QTimer::timeout,
                     [this]
                     {
                         m_strResult.clear();
                         Repaint();
                     });
}

std::string CStatusLineHandler::StateText(EKeyboardState eState)
{
    switch (eState)
    {
    case EKeyboardState::Connected: return "Keyboard connected";
    case EKeyboardState::NoAccess:
        return "Keyboard found, but this user may not open it: install the udev rule (README, Install), then "
               "plug it in again.";
    case EKeyboardState::NotFound: break;
    }
    return "No keyboard found. Changes are kept and sent when it is plugged in.";
}

std::string CStatusLineHandler::OutcomeText(EProfileCommand eCommand, const ProfileCommandOutcome& outcome,
                                            const std::string& strConfigDir)
{
    const bool bReset = eCommand == EProfileCommand::Reset;
    std::string strText;
    if (outcome.m_bSent)
        strText = bReset ? "Factory settings sent to the keyboard" : "Changes sent to the keyboard";
    else if (!outcome.m_bConnected)
        strText = bReset ? "Factory settings kept for the keyboard: they are sent when it is plugged in"
                         : "Changes kept for the keyboard: they are sent when it is plugged in";
    else
        strText = "The keyboard did not take " + outcome.m_strFailedWrite +
                  ": it is sent again at the next Apply or connection";
    if (!outcome.m_bSaved)
        return strText + ", but not every data file in " + strConfigDir + " could be saved.";
    return strText + (outcome.m_bSent || !outcome.m_bConnected ? " and saved." : ". Saved.");
}

void CStatusLineHandler::SetKeyboardState(EKeyboardState eState)
{
    std::string strState = StateText(eState);
    const ETone eTone = eState == EKeyboardState::Connected  ? ETone::Good
                        : eState == EKeyboardState::NotFound ? ETone::Waiting
                                                             : ETone::Problem;
    if (strState == m_strState && eTone == m_eStateTone)
        return;
    m_strState = std::move(strState);
    m_eStateTone = eTone;
    Repaint();
}

void CStatusLineHandler::ShowOutcome(EProfileCommand eCommand, const ProfileCommandOutcome& outcome,
                                     const std::string& strConfigDir)
{
    m_strResult = OutcomeText(eCommand, outcome, strConfigDir);
    m_eResultTone = !outcome.m_bSaved || (outcome.m_bConnected && !outcome.m_bSent) ? ETone::Problem
                    : outcome.m_bSent                                               ? ETone::Good
                                                                                    : ETone::Waiting;
    m_tmrResult.start(ResultShownMs);
    Repaint();
}

void CStatusLineHandler::ShowLine()
{
    m_bLineShown = true;
    Repaint();
}

void CStatusLineHandler::Repaint()
{
    m_host.RepaintRect(LineRect);
}

void CStatusLineHandler::DrawOnPage(QPainter* pDC, int)
{
    if (!m_bLineShown)
        return;
    const ETone eTone = m_strResult.empty() ? m_eStateTone : m_eResultTone;
    const QColor crDot = eTone == ETone::Good      ? QColor(0x4C, 0xD9, 0x7B)
                         : eTone == ETone::Waiting ? QColor(0xF2, 0xB8, 0x4B)
                                                   : QColor(0xFF, 0x6B, 0x6B);
    const QString strText = QString::fromStdString(Text());
    const QFont font = SkinFont(12, 0, 400);
    const int nTextWidth = QFontMetrics(font).horizontalAdvance(strText);
    const int nWidth = LineRect.Width() - DotSize - 8;
    // The dot and the text are centred together; a text too long for the band is cut at a word.
    const int nShown = std::min(nTextWidth, nWidth);
    const int nLeft = LineRect.left + (LineRect.Width() - (DotSize + 6 + nShown)) / 2;
    const int nMiddle = (LineRect.top + LineRect.bottom) / 2;

    pDC->save();
    pDC->setRenderHint(QPainter::Antialiasing, true);
    pDC->setPen(Qt::NoPen);
    pDC->setBrush(crDot);
    pDC->drawEllipse(QRectF(nLeft, nMiddle - DotSize / 2.0, DotSize, DotSize));
    pDC->setFont(font);
    pDC->setPen(QColor::fromRgb(TextColour));
    DrawSkinText(pDC, strText, CRect(nLeft + DotSize + 6, LineRect.top, nLeft + DotSize + 6 + nShown, LineRect.bottom),
                 DT_VCENTER | DT_WORD_ELLIPSIS);
    pDC->restore();
}
