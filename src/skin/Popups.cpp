#include "skin/Popups.h"

#include "model/Macro.h"
#include "skin/SkinDraw.h"

#include <QPainter>
#include <algorithm>

namespace
{

using ItemEntry = PopupChoice;

constexpr SubmenuEntry kMultimediaItems[] = {
    {18, "Mute", 2, 0xA0},     {19, "Volume+", 2, 0xA1},   {20, "Volume-", 2, 0xA2},    {21, "Open Media", 2, 0xA3},
    {22, "PreTrack", 2, 0xA4}, {23, "NextTrack", 2, 0xA5}, {24, "Play/Pause", 2, 0xA6}, {25, "Stop", 2, 0xA7},
};

constexpr SubmenuEntry kInternetItems[] = {
    {21, "WWW Search", 2, 0xA8},   {22, "WWW Home", 2, 0xA9}, {23, "WWW Back", 2, 0xAA},
    {24, "WWW Forward", 2, 0xAB},  {25, "WWW Stop", 2, 0xAC}, {26, "WWW Refresh", 2, 0xAD},
    {27, "WWW Favorite", 2, 0xAE}, {28, "Email", 2, 0xAF},    {29, "My Computer", 2, 0xB0},
    {30, "Calculator", 2, 0xB1},
};

constexpr SubmenuEntry kMouseItems[] = {
    {24, "Click", 3, 0x01},       {25, "Menu", 3, 0x02},       {26, "Middle Button", 3, 0x04},
    {27, "IE Backward", 3, 0x08}, {28, "IE Forward", 3, 0x10}, {29, "Double-click", 4, 0},
    {30, "Fire", 5, 0},
};

constexpr ItemEntry kColourItems[] = {
    {1, "Red", 1}, {2, "Purple", 2}, {3, "Blue", 3}, {4, "Cyan", 4}, {5, "Green", 5}, {6, "Yellow", 6}, {7, "White", 7},
};

constexpr ItemEntry kBrightnessItems[] = {
    {1, "Breath", 24}, {2, "100%", 8}, {3, "60%", 4}, {4, "30%", 2}, {5, "0%", 1},
};

constexpr SubmenuTable kMultimediaTable{1, UM_MULTIMEDIA_RESULT, 158, kMultimediaItems, std::size(kMultimediaItems)};
constexpr SubmenuTable kInternetTable{2, UM_WINDOW_MANAGE_RESULT, 158, kInternetItems, std::size(kInternetItems)};
constexpr SubmenuTable kMouseTable{3, UM_MOUSE_FUNCTION_RESULT, 0, kMouseItems, std::size(kMouseItems)};

} // namespace

// ---- CItemPopup ----

CItemPopup::CItemPopup(int nKind, UINT nResultMessage, int nWidth, KeyValue initial)
    : m_nPopupWidth(nWidth), m_nResultMessage(nResultMessage)
{
    m_nPopupKind = nKind;
    m_result.m_keyValue = initial;
}

void CItemPopup::AddItem(bool bSeparator, UINT nCode, const std::string& strText, bool bArrow)
{
    PopupItem item;
    item.m_bSeparator = bSeparator;
    item.m_nCode = nCode;
    item.m_strText = strText;
    item.m_bArrow = bArrow;
    m_vecItems.push_back(item);
    LayOutItems();
}

void CItemPopup::LayOutItems()
{
    const int W = m_nPopupWidth;
    int y = 3;
    for (PopupItem& item : m_vecItems)
    {
        if (item.m_bSeparator)
        {
            item.m_rect = CRect(3, y + 2, W - 3, y + 3);
            y += 4;
        }
        else
        {
            item.m_rect = CRect(3, y, W - 3, y + 16);
            y += 16;
        }
    }
    m_nLayoutHeight = y + 3;
    SetWindowSize(W, m_nLayoutHeight);
}

void CItemPopup::OnHotItemChanged(int) {}

bool CItemPopup::OnItemHover(int x, int y)
{
    if (m_nHotItem >= 0 && m_vecItems[static_cast<size_t>(m_nHotItem)].m_rect.PtInRect(x, y))
        return false;
    bool bRepaint = false;
    if (m_nHotItem >= 0)
    {
        m_nHotItem = -1;
        bRepaint = true;
    }
    for (size_t i = 0; i < m_vecItems.size(); ++i)
    {
        const PopupItem& item = m_vecItems[i];
        if (!item.m_bSeparator && !item.m_bDisabled && item.m_rect.PtInRect(x, y))
        {
            m_nHotItem = static_cast<int>(i);
            OnHotItemChanged(m_nHotItem);
            return true;
        }
    }
    return bRepaint;
}

bool CItemPopup::OnItemRelease(int x, int y)
{
    if (m_nHotItem < 0)
        return false;
    const PopupItem item = m_vecItems[static_cast<size_t>(m_nHotItem)];
    if (!item.m_rect.PtInRect(x, y))
    {
        m_nHotItem = -1;
        return true;
    }
    ChooseItem(item);
    return false;
}

void CItemPopup::DrawSubmenuArrow(QPainter* pDC, int R, int T)
{
    pDC->save();
    pDC->setPen(QColor(Qt::white));
    pDC->drawPoint(R - 3, T + 6);
    pDC->drawLine(R - 4, T + 5, R - 4, T + 7);
    pDC->drawLine(R - 5, T + 4, R - 5, T + 8);
    pDC->drawLine(R - 6, T + 3, R - 6, T + 9);
    pDC->restore();
}

void CItemPopup::DrawItems(QPainter* pDC, int, int, int, int)
{
    pDC->save();
    pDC->setPen(QColor(ColorRefToQRgb(SkinColour::kText)));
    for (size_t i = 0; i < m_vecItems.size(); ++i)
    {
        const PopupItem& item = m_vecItems[i];
        if (item.m_bSeparator)
        {
            FillSolid(pDC, item.m_rect, SkinColour::kHighlight);
            continue;
        }
        pDC->save();
        // At 11 pixels tall letters and descenders keep two pixels of air inside the 16-pixel row;
        // the macro list takes the same font, so every popup's rows read alike.
        pDC->setFont(SkinFont(11, 0, 400));
        if (static_cast<int>(i) == m_nHotItem)
            FillSolid(pDC, item.m_rect, SkinColour::kHighlight);
        if (item.m_bDisabled)
            pDC->setPen(QColor(ColorRefToQRgb(kDisabledTextColour)));
        // Words start a little in from the row's edge, clear of the highlight's border.
        CRect rcText(item.m_rect.left + 5, item.m_rect.top, item.m_rect.right - 4, item.m_rect.bottom);
        if (COLORREF crSwatch = 0; ItemSwatch(item, crSwatch))
        {
            const CRect rcSwatch(rcText.left, item.m_rect.top + 3, rcText.left + 10, item.m_rect.top + 13);
            FillSolid(pDC, rcSwatch, SkinColour::kPopupBorder);
            FillSolid(pDC, rcSwatch.Deflated(1), crSwatch);
            rcText.left += 15;
        }
        if (!item.m_strTag.empty())
        {
            const QString strTag = ToQString(item.m_strTag);
            const int nTagWidth = std::min(pDC->fontMetrics().horizontalAdvance(strTag), rcText.Width() / 2);
            pDC->save();
            pDC->setPen(QColor(ColorRefToQRgb(static_cast<int>(i) == m_nHotItem ? SkinColour::kText : kTagColour)));
            DrawSkinText(pDC, strTag, CRect(rcText.right - nTagWidth, rcText.top, rcText.right, rcText.bottom),
                         DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
            pDC->restore();
            rcText.right -= nTagWidth + 4;
        }
        DrawSkinText(pDC, ToQString(item.m_strText), rcText, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
        if (item.m_bArrow)
            DrawSubmenuArrow(pDC, item.m_rect.right, item.m_rect.top);
        pDC->restore();
    }
    pDC->restore();
}

// ---- CComboPopup ----

CComboPopup::CComboPopup() : CItemPopup(0, UM_FUNCTION_RESULT, 229, KeyValue{1, 0, 0}) {}

void CComboPopup::BuildItems()
{
    AddItem(false, 1, "Assign a Macro", true);
    AddItem(false, 2, "Multimedia", true);
    AddItem(false, 3, "Window Manage", true);
    AddItem(false, 4, "Mouse Function", true);
    AddItem(false, 5, "Default Function");
    AddItem(false, 6, "Assign a Shortcut");
    AddItem(false, 7, "Quick Launch");
    AddItem(false, 8, "No Function");
}

void CComboPopup::OnHotItemChanged(int nIndex)
{
    static constexpr UINT kHoverMessages[] = {UM_HOVER_MACRO, UM_HOVER_MULTIMEDIA, UM_HOVER_WINDOW_MANAGE,
                                              UM_HOVER_MOUSE_FUNCTION};
    const UINT nCode = m_vecItems[static_cast<size_t>(nIndex)].m_nCode;
    const UINT nMsg = nIndex < 4 ? kHoverMessages[nIndex] : UM_HOVER_PLAIN;
    SendToParent(nMsg, m_wPopupContext, static_cast<LPARAM>(nCode));
}

bool CComboPopup::OnItemPress(int x, int y)
{
    if (m_nHotItem < 0)
        return false;
    const PopupItem& item = m_vecItems[static_cast<size_t>(m_nHotItem)];
    if (!item.m_rect.PtInRect(x, y))
        m_nHotItem = -1;
    else if (item.m_nCode >= 1 && item.m_nCode <= 4)
        SendToParent(ResultMessage(), 0, 0); // asks the parent to bring the submenus forward
    return false;
}

void CComboPopup::ChooseItem(const PopupItem& item)
{
    switch (item.m_nCode)
    {
    case 1:
    case 2:
    case 3:
    case 4: SendToParent(ResultMessage(), 0, ResultAddress()); break;
    case 5:
        m_result.m_strName = kDefaultFunctionName;
        m_result.m_keyValue.m_nKind = 6;
        m_result.m_keyValue.m_nParam1 = 1;
        SendResult();
        break;
    case 6: SendToParent(UM_ASSIGN_SHORTCUT, m_wPopupContext, 0); break;
    case 7: SendToParent(UM_ASSIGN_QUICK_LAUNCH, m_wPopupContext, 0); break;
    case 8:
        m_result.m_strName = item.m_strText;
        m_result.m_keyValue.m_nKind = 0;
        m_result.m_keyValue.m_nParam1 = 0;
        SendResult();
        break;
    default: break;
    }
}

// ---- CSubmenuPopup ----

// A result starts as the kind its rows give; the width of 100 stands only until BuildItems
// knows the rectangle a table without its own width is opened with.
CSubmenuPopup::CSubmenuPopup(const SubmenuTable& table)
    : CItemPopup(table.nKind, table.nResultMessage, table.nWidth != 0 ? table.nWidth : 100,
                 KeyValue{table.pEntries[0].nKind, 0, 0}),
      m_table(table)
{
}

void CSubmenuPopup::BuildItems()
{
    if (m_table.nWidth == 0)
        m_nPopupWidth = m_nWidth;
    for (size_t i = 0; i < m_table.nEntries; ++i)
        AddItem(false, m_table.pEntries[i].nCode, m_table.pEntries[i].pszText);
}

void CSubmenuPopup::ChooseItem(const PopupItem& item)
{
    for (size_t i = 0; i < m_table.nEntries; ++i)
    {
        const SubmenuEntry& entry = m_table.pEntries[i];
        if (entry.nCode != item.m_nCode)
            continue;
        m_result.m_strName = entry.pszText;
        m_result.m_keyValue.m_nKind = entry.nKind;
        m_result.m_keyValue.m_nParam1 = entry.nParam1;
        SendResult();
        return;
    }
}

CProfilePopup::CProfilePopup() : CSubmenuPopup(kMultimediaTable) {}

CDPIPopup::CDPIPopup() : CSubmenuPopup(kInternetTable) {}

CMultimediaPopup::CMultimediaPopup() : CSubmenuPopup(kMouseTable) {}

// ---- CMacroLibraryPopup ----

CMacroLibraryPopup::CMacroLibraryPopup(const MacroLibrary* pLibrary, TagOf fnTagOf)
    : CItemPopup(4, UM_MACRO_LIBRARY_RESULT, 158, KeyValue{0, 0, 0}), m_pLibrary(pLibrary),
      m_fnTagOf(std::move(fnTagOf))
{
}

void CMacroLibraryPopup::BuildItems()
{
    const MacroSet* pSet = m_pLibrary ? m_pLibrary->FirstSet() : nullptr;
    if (!pSet || pSet->m_vecKeys.empty())
    {
        // Wide enough for the whole sentence (the submenu is otherwise as wide as a name).
        m_nPopupWidth = 262;
        AddItem(false, 0, kEmptyLibraryText);
        m_vecItems.back().m_bDisabled = true;
        LayOutItems();
        return;
    }
    UINT nCode = 1;
    for (const MacroKey& key : pSet->m_vecKeys)
    {
        AddItem(false, nCode++, key.m_strName);
        if (m_fnTagOf)
            m_vecItems.back().m_strTag = m_fnTagOf(key);
    }
}

void CMacroLibraryPopup::ChooseItem(const PopupItem& item)
{
    m_result.m_strName = item.m_strText;
    m_result.m_keyValue = KeyValue{1, 0, 0};
    SendResult();
}

// ---- CLightChoicePopup ----

CLightChoicePopup::CLightChoicePopup(int nKind, UINT nResultMessage, const PopupChoice* pChoices, size_t nChoices)
    : CItemPopup(nKind, nResultMessage, 166, KeyValue{1, 0, 0}), m_pChoices(pChoices), m_nChoices(nChoices)
{
}

void CLightChoicePopup::BuildItems()
{
    for (size_t i = 0; i < m_nChoices; ++i)
        AddItem(false, m_pChoices[i].nCode, m_pChoices[i].pszText);
}

bool CLightChoicePopup::OnItemPress(int x, int y)
{
    if (m_nHotItem < 0)
        return false;
    if (m_vecItems[static_cast<size_t>(m_nHotItem)].m_rect.PtInRect(x, y))
        SendToParent(ResultMessage(), 0, 0);
    else
        m_nHotItem = -1;
    return false;
}

void CLightChoicePopup::ChooseItem(const PopupItem& item)
{
    for (size_t i = 0; i < m_nChoices; ++i)
    {
        if (m_pChoices[i].nCode != item.m_nCode)
            continue;
        m_result.m_strName = m_pChoices[i].pszText;
        m_result.m_keyValue.m_nKind = m_pChoices[i].nValue;
        SendResult();
        return;
    }
}

CLightColorPopup::CLightColorPopup()
    : CLightChoicePopup(7, UM_LIGHT_COLOR_RESULT, kColourItems, std::size(kColourItems))
{
}

COLORREF CLightColorPopup::ColourOf(int nColour)
{
    switch (nColour)
    {
    case 2: return RGBRef(255, 0, 255);
    case 3: return RGBRef(0, 0, 255);
    case 4: return RGBRef(0, 255, 255);
    case 5: return RGBRef(0, 255, 0);
    case 6: return RGBRef(255, 255, 0);
    case 7: return RGBRef(255, 255, 255);
    default: return RGBRef(255, 0, 0);
    }
}

bool CLightColorPopup::ItemSwatch(const PopupItem& item, COLORREF& crSwatch) const
{
    crSwatch = ColourOf(static_cast<int>(item.m_nCode));
    return true;
}

CLightBrightnessPopup::CLightBrightnessPopup()
    : CLightChoicePopup(8, UM_LIGHT_BRIGHTNESS_RESULT, kBrightnessItems, std::size(kBrightnessItems))
{
}
