#pragma once
#include <cstdint>
// The choice popups: the key-function menu with its submenus, the macro list and the
// lighting colour and brightness lists. A popup reports the choice to its parent and
// never changes the model itself.

#include "model/Profile.h"
#include "skin/WndPopup.h"

#include <functional>
#include <string>
#include <vector>

struct MacroKey;
struct MacroLibrary;

struct PopupItem
{
    bool m_bSeparator = false;
    UINT m_nCode = 0;
    std::string m_strText;
    CRect m_rect;
    bool m_bArrow = false;
    // Shown greyed, never hot and never chosen: a row that only tells something.
    bool m_bDisabled = false;
    // A short note drawn at the right end of the row in its own colour (empty: none); the text
    // before it is cut to leave it room. Not part of the choice.
    std::string m_strTag;
};

// Handed over by address in lParam of a result message; valid during the call only.
struct PopupResult
{
    std::string m_strName;
    KeyValue m_keyValue;
};

// Item list, hot item and result shared by the popups below.
class CItemPopup : public CWndPopup
{
public:
    CItemPopup(int nKind, UINT nResultMessage, int nWidth, KeyValue initial);

    const std::vector<PopupItem>& GetItems() const { return m_vecItems; }
    int GetHotItem() const { return m_nHotItem; }
    const PopupResult& GetResult() const { return m_result; }
    int GetPopupWidth() const { return m_nPopupWidth; }
    int GetPopupHeight() const { return m_nLayoutHeight; }

    void DrawItems(QPainter* pDC, int nLeft, int nTop, int nRight, int nBottom) override;
    bool OnItemHover(int x, int y) override;
    bool OnItemRelease(int x, int y) override;

    // Pixels of the submenu arrow, relative to an item's right edge and top.
    static void DrawSubmenuArrow(QPainter* pDC, int nRight, int nTop);
    static constexpr COLORREF kTagColour = RGBRef(255, 160, 58);
    static constexpr COLORREF kDisabledTextColour = RGBRef(128, 128, 128);

protected:
    void AddItem(bool bSeparator, UINT nCode, const std::string& strText, bool bArrow = false);
    void LayOutItems();
    // A colour square drawn before an item's words; false for none.
    virtual bool ItemSwatch(const PopupItem&, COLORREF&) const { return false; }
    // A new hot item (index); the function menu announces it to its parent.
    virtual void OnHotItemChanged(int nIndex);
    // Applies the choice of the hot item.
    virtual void ChooseItem(const PopupItem& item) = 0;
    UINT ResultMessage() const { return m_nNotifyMessage != 0 ? m_nNotifyMessage : m_nResultMessage; }
    LPARAM ResultAddress() { return reinterpret_cast<LPARAM>(&m_result); }
    void SendResult() { SendToParent(ResultMessage(), m_wPopupContext, ResultAddress()); }

    std::vector<PopupItem> m_vecItems;
    int m_nHotItem = -1;
    PopupResult m_result;
    int m_nPopupWidth;

private:
    UINT m_nResultMessage;
    int m_nLayoutHeight = 0;
};

class CComboPopup : public CItemPopup
{
public:
    CComboPopup();
    void BuildItems() override;
    bool OnItemPress(int x, int y) override;

    static constexpr const char* kDefaultFunctionName = "默认功能";

protected:
    void OnHotItemChanged(int nIndex) override;
    void ChooseItem(const PopupItem& item) override;
};

// One row of a submenu: its item code, its text and the key value it stands for.
struct SubmenuEntry
{
    UINT nCode;
    const char* pszText;
    std::uint8_t nKind;
    std::uint8_t nParam1;
};

// What tells one submenu of the function menu from another.
struct SubmenuTable
{
    int nKind;
    UINT nResultMessage;
    int nWidth; // 0: as wide as the rectangle it is opened with
    const SubmenuEntry* pEntries;
    size_t nEntries;
};

// A submenu of the function menu: lists its table's rows and answers with the chosen row's value.
class CSubmenuPopup : public CItemPopup
{
public:
    explicit CSubmenuPopup(const SubmenuTable& table);
    void BuildItems() override;

protected:
    void ChooseItem(const PopupItem& item) override;

private:
    const SubmenuTable& m_table;
};

// Multimedia functions.
class CProfilePopup : public CSubmenuPopup
{
public:
    CProfilePopup();
};

// Internet and system functions.
class CDPIPopup : public CSubmenuPopup
{
public:
    CDPIPopup();
};

// Mouse functions; as wide as the rectangle it is opened with.
class CMultimediaPopup : public CSubmenuPopup
{
public:
    CMultimediaPopup();
};

class CMacroLibraryPopup : public CItemPopup
{
public:
    // The one greyed row of an empty library, so the submenu says why there is nothing to pick.
    static constexpr const char* kEmptyLibraryText = "No macros yet: record one on the Macro page";

    // The note a macro's row carries (empty for none); the opener decides what is worth noting.
    using TagOf = std::function<std::string(const MacroKey&)>;

    explicit CMacroLibraryPopup(const MacroLibrary* pLibrary = nullptr, TagOf fnTagOf = {});
    void SetMacroLibrary(const MacroLibrary* pLibrary) { m_pLibrary = pLibrary; }
    void BuildItems() override;

protected:
    void ChooseItem(const PopupItem& item) override;

private:
    const MacroLibrary* m_pLibrary;
    TagOf m_fnTagOf;
};

// One choice of a popup: its item code, its text and the result byte it stands for.
struct PopupChoice
{
    UINT nCode;
    const char* pszText;
    std::uint8_t nValue;
};

// The two lighting popups: a press on the hot item answers at once; the chosen item's value goes
// into the kind byte of the result.
class CLightChoicePopup : public CItemPopup
{
public:
    CLightChoicePopup(int nKind, UINT nResultMessage, const PopupChoice* pChoices, size_t nChoices);
    void BuildItems() override;
    bool OnItemPress(int x, int y) override;

protected:
    void ChooseItem(const PopupItem& item) override;

private:
    const PopupChoice* m_pChoices;
    size_t m_nChoices;
};

class CLightColorPopup : public CLightChoicePopup
{
public:
    CLightColorPopup();
    // The colour of a "LightColor" value 1..7 as the page and the swatches show it; red for any
    // other value.
    static COLORREF ColourOf(int nColour);

protected:
    bool ItemSwatch(const PopupItem& item, COLORREF& crSwatch) const override;
};

class CLightBrightnessPopup : public CLightChoicePopup
{
public:
    CLightBrightnessPopup();
};
