#include "keyboardhook/KeyboardHook.h"
#include "keyboardhook/ScriptedKeyHook.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace
{

// evdev codes of the keys used below; the platform gives them moved up by 8.
constexpr quint32 Scan(quint32 nEvdev)
{
    return nEvdev + 8;
}

struct Message
{
    UINT nMsg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};

// A window that keeps the hook's messages and the keys that reach it as WM_KEYDOWN.
class CKeyWindow : public CSkinWindow
{
public:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == UM_HOOK_KEY || nMsg == WM_KEYDOWN)
            m_vecMessages.push_back({nMsg, wParam, lParam});
        return 0;
    }
    // What arrived so far; the hook reports while the key event is delivered, nothing comes later.
    std::vector<Message> Take() { return std::exchange(m_vecMessages, {}); }
    std::vector<Message> m_vecMessages;
};

bool SendKey(QObject* pTarget, QEvent::Type eType, int nKey, quint32 nScanCode, quint32 nNativeKey = 0,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier, ulong nTimestamp = 0, bool bRepeat = false)
{
    QKeyEvent event(eType, nKey, modifiers, nScanCode, nNativeKey, 0, QString(), bRepeat);
    event.setTimestamp(nTimestamp);
    QCoreApplication::sendEvent(pTarget, &event);
    return event.isAccepted();
}

// The VK the started hook reports for one key press.
WPARAM ReportedVk(CKeyWindow& wnd, int nKey, quint32 nScanCode, quint32 nNativeKey = 0,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    SendKey(&wnd, QEvent::KeyPress, nKey, nScanCode, nNativeKey, modifiers);
    const std::vector<Message> vecMessages = wnd.Take();
    return vecMessages.size() == 1 && vecMessages[0].nMsg == UM_HOOK_KEY ? vecMessages[0].wParam : 0xFFFF;
}

} // namespace

// ---- Which key is reported ----

TEST(KeyboardHookCodes, TheKeysPositionDecidesWhateverTheLayoutPutsOnIt)
{
    CKeyWindow wnd;
    CKeyboardHook hook;
    ASSERT_EQ(hook.StartHook(&wnd), 1);
    // AZERTY: the key labelled A sits where a US keyboard has Q, and the other way round.
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_A, Scan(16)), 0x51u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Q, Scan(30)), 0x41u);
    // Cyrillic: Ф on the A key, Я on the Z key.
    EXPECT_EQ(ReportedVk(wnd, 0x0424 /* Ф */, Scan(30)), 0x41u);
    EXPECT_EQ(ReportedVk(wnd, 0x042F /* Я */, Scan(44)), 0x5Au);
    // Modifiers by side, AltGr as the right Alt, the Win keys.
    const std::pair<quint32, WPARAM> kSides[] = {{42, 0xA0}, {54, 0xA1},  {29, 0xA2},  {97, 0xA3},
                                                 {56, 0xA4}, {100, 0xA5}, {125, 0x5B}, {126, 0x5C}};
    for (auto [nEvdev, nVk] : kSides)
        EXPECT_EQ(ReportedVk(wnd, Qt::Key_Shift, Scan(nEvdev)), nVk) << nEvdev;
    // Enter and keypad Enter differ; the program's own codes for power and international keys.
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Return, Scan(28)), 0x0Du);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Enter, Scan(96)), 0x0Eu);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Less, Scan(86)), 0xF3u); // K45
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_yen, Scan(124)), 0xF7u); // K14
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_PowerOff, Scan(116)), 0xF0u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_F13, Scan(183)), 0x7Cu);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_VolumeMute, Scan(113)), 0xADu);
    // A place the table does not know is 0, even when Qt knows the character.
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_A, Scan(84)), 0u);
}

TEST(KeyboardHookCodes, WithoutAScanCodeQtsKeyAndTheModifiersSideDecide)
{
    CKeyWindow wnd;
    CKeyboardHook hook;
    hook.StartHook(&wnd);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_A, 0), 0x41u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_5, 0), 0x35u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_5, 0, 0, Qt::KeypadModifier), 0x65u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Return, 0), 0x0Du);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Enter, 0, 0, Qt::KeypadModifier), 0x0Eu);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Shift, 0), 0xA0u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Shift, 0, 0xFFE2), 0xA1u);   // Shift_R keysym
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_Control, 0, 0xFFE4), 0xA3u); // Control_R keysym
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_AltGr, 0), 0xA5u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_F24, 0), 0x87u);
    EXPECT_EQ(ReportedVk(wnd, Qt::Key_unknown, 0), 0u);
}

// ---- The message ----

TEST(KeyboardHook, ReleaseSetsBit31AndTheStampWrapsAt2Pow31)
{
    CKeyWindow wnd;
    CKeyboardHook hook;
    hook.StartHook(&wnd);
    SendKey(&wnd, QEvent::KeyPress, Qt::Key_A, Scan(30), 0, Qt::NoModifier, 0x7FFFFFFE);
    SendKey(&wnd, QEvent::KeyRelease, Qt::Key_A, Scan(30), 0, Qt::NoModifier, 0x80000003);
    const std::vector<Message> vecMessages = wnd.Take();
    ASSERT_EQ(vecMessages.size(), 2u);
    EXPECT_EQ(vecMessages[0], (Message{UM_HOOK_KEY, 0x41, 0x7FFFFFFE}));
    EXPECT_EQ(vecMessages[1], (Message{UM_HOOK_KEY, 0x41, LPARAM(0x80000003u)}));
    EXPECT_FALSE(IsHookRelease(vecMessages[0].lParam));
    EXPECT_TRUE(IsHookRelease(vecMessages[1].lParam));
    EXPECT_EQ(HookStampDelta(HookStamp(vecMessages[0].lParam), HookStamp(vecMessages[1].lParam)), 5u);
}

TEST(KeyboardHook, AHeldKeyRepeatsItsPressOnly)
{
    CKeyWindow wnd;
    CKeyboardHook hook;
    hook.StartHook(&wnd);
    SendKey(&wnd, QEvent::KeyPress, Qt::Key_B, Scan(48), 0, Qt::NoModifier, 100);
    SendKey(&wnd, QEvent::KeyRelease, Qt::Key_B, Scan(48), 0, Qt::NoModifier, 600, true);
    SendKey(&wnd, QEvent::KeyPress, Qt::Key_B, Scan(48), 0, Qt::NoModifier, 600, true);
    SendKey(&wnd, QEvent::KeyRelease, Qt::Key_B, Scan(48), 0, Qt::NoModifier, 700);
    const std::vector<Message> vecMessages = wnd.Take();
    EXPECT_EQ(vecMessages,
              (std::vector<Message>{
                  {UM_HOOK_KEY, 0x42, 100}, {UM_HOOK_KEY, 0x42, 600}, {UM_HOOK_KEY, 0x42, LPARAM(0x80000000u | 700)}}));
}

TEST(KeyboardHook, ScriptedHookReportsExactlyAsTheRealOne)
{
    CKeyWindow wnd;
    {
        CKeyboardHook hook;
        hook.StartHook(&wnd);
        SendKey(&wnd, QEvent::KeyPress, Qt::Key_Shift, Scan(54), 0, Qt::NoModifier, 1234);
    }
    CScriptedKeyHook scripted;
    EXPECT_FALSE(scripted.Press(0xA1, 1234)); // not started: nothing
    scripted.StartHook(&wnd);
    EXPECT_TRUE(scripted.Press(0xA1, 1234));
    const std::vector<Message> vecMessages = wnd.Take();
    ASSERT_EQ(vecMessages.size(), 2u);
    EXPECT_EQ(vecMessages[0], vecMessages[1]);
    EXPECT_EQ(scripted.StopHook(), 1);
    EXPECT_EQ(scripted.StopHook(), 0);
    EXPECT_FALSE(scripted.Release(0xA1, 1300));
}

// ---- Keys taken while started ----

TEST(KeyboardHook, WhileStartedEnterAndEscapeDoNotReachTheWindowAndNoShortcutTakesAKey)
{
    CKeyWindow wnd;
    CKeyboardHook hook;
    hook.StartHook(&wnd);
    SendKey(&wnd, QEvent::KeyPress, Qt::Key_Escape, Scan(1));
    SendKey(&wnd, QEvent::KeyPress, Qt::Key_Return, Scan(28));
    EXPECT_TRUE(SendKey(&wnd, QEvent::ShortcutOverride, Qt::Key_S, Scan(31), 0, Qt::ControlModifier));
    std::vector<Message> vecMessages = wnd.Take();
    ASSERT_EQ(vecMessages.size(), 2u);
    EXPECT_EQ(vecMessages[0].nMsg, UM_HOOK_KEY);
    EXPECT_EQ(vecMessages[0].wParam, 0x1Bu);
    EXPECT_EQ(vecMessages[1].wParam, 0x0Du);
}

TEST(KeyboardHook, AfterStopOrWithItsWindowGoneKeysActOnTheWindowAgain)
{
    CKeyWindow wnd;
    auto pHook = std::make_unique<CKeyboardHook>();
    EXPECT_EQ(pHook->StopHook(), 0); // stopping an idle hook is harmless
    pHook->StartHook(&wnd);
    EXPECT_EQ(pHook->StopHook(), 1);
    SendKey(&wnd, QEvent::KeyPress, Qt::Key_Escape, Scan(1));
    EXPECT_EQ(wnd.Take(), (std::vector<Message>{{WM_KEYDOWN, VK_ESCAPE, 0}}));
    // Destroyed while started.
    pHook->StartHook(&wnd);
    pHook.reset();
    SendKey(&wnd, QEvent::KeyPress, Qt::Key_Return, Scan(28));
    EXPECT_EQ(wnd.Take(), (std::vector<Message>{{WM_KEYDOWN, VK_RETURN, 0}}));
    // Started for a window that was destroyed since.
    CKeyWindow other;
    CKeyboardHook hook;
    {
        CKeyWindow gone;
        hook.StartHook(&gone);
    }
    SendKey(&other, QEvent::KeyPress, Qt::Key_Escape, Scan(1));
    EXPECT_EQ(other.Take(), (std::vector<Message>{{WM_KEYDOWN, VK_ESCAPE, 0}}));
    EXPECT_FALSE(hook.IsStarted());
}
