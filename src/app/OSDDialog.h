#pragma once
// The on-screen display: a small translucent window in the bottom-right corner of the screen
// that says which profile the keyboard switched to or which lock changed, for about six seconds,
// whether or not the main window is shown. The main window drives it through COsdHandler
// (app/OsdHandler.h).

#include <string>

#include <QImage>
#include <QWidget>

#include "skin/SkinTypes.h"

class COSDDialog : public QWidget
{
public:
    static constexpr int Width = 300;
    static constexpr int Height = 56;
    static constexpr int Alpha = 128;                // of 255, for the whole window
    static constexpr COLORREF Background = 0xA449A4; // red 164, green 73, blue 164
    static constexpr int TextLeft = 30;
    static constexpr int TextTop = 14;

    COSDDialog();

    // Replaces the text and repaints.
    void SetText(const std::string& strText);
    const std::string& Text() const { return m_strText; }
    // Places the window in the bottom-right corner of the primary screen's work area, above
    // every other window, and shows it without taking the focus.
    void ShowInCorner();
    // The window's picture as painted.
    QImage Render() const;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    std::string m_strText;
};
