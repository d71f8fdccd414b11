#pragma once
// The profile slots: the three slot tabs, the reset of the active slot and of all slots (each
// confirmed first), and Apply / OK, which send the pending edits to the keyboard, tell it the
// active slot and save the data files.

#include "mainwindow/MainWindowHandler.h"

class CMainWindowHost;

class CProfileSlotHandler : public CMainWindowHandler
{
public:
    // nSelectedSlotTab: the window's selection that the slot tabs draw; it follows the active
    // slot on every refresh (a slot tab click, a reset, a profile switch on the keyboard).
    CProfileSlotHandler(CMainWindowHost& host, int& nSelectedSlotTab);

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord& record) override;

private:
    void SwitchToSlot(int nSlot);
    // Each asks first; false when the user did not confirm (nothing changed then).
    bool ResetActiveSlot();
    bool ResetAllSlots();
    void Apply();
    // The reset confirmation with its question picture; true only for OK.
    bool Confirm(unsigned nQuestionPicture);

    CMainWindowHost& m_host;
    int& m_nSelectedSlotTab;
};
