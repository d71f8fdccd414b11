#pragma once
// The skinned message box: a title line, one centred line of message text, a close
// button, OK and Cancel. Every warning the program shows goes through it.

#include "model/UserTexts.h"
#include "skin/DlgBase.h"
#include "skin/ListControls.h"

inline constexpr const char* kAttentionTitle = AttentionTitle;

class CAttentionDlg : public CDlgBase
{
public:
    static constexpr UINT kTemplateId = 152;
    static constexpr unsigned kBackgroundBitmap = 380;

    CAttentionDlg(const std::string& strTitle, const std::string& strMessage, CSkinWindow* pParent = nullptr);

    bool OnInitDialog() override;
    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    void DrawBackground(QPainter* pDC, const CRect& rcClient) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    const std::string& GetTitle() const { return m_strTitle; }
    const std::string& GetMessage() const { return m_strMessage; }

private:
    std::string m_strTitle;
    std::string m_strMessage;
};

// Asked before the program ends while it holds changes that were never applied: OK applies them
// and ends, Discard ends without them, Cancel (or the close button, or Escape) goes back.
class CQuitQuestionDlg : public CAttentionDlg
{
public:
    static constexpr UINT kDiscardId = 2014;
    static constexpr int kDiscard = 7; // the dialog's result for Discard, beside IDOK and IDCANCEL
    static constexpr unsigned kApplyBitmap = 384;
    static constexpr unsigned kDiscardBitmap = 385;
    static constexpr const char* kQuestion = "Apply your changes before Corvane ends?";

    explicit CQuitQuestionDlg(CSkinWindow* pParent = nullptr);
    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
};

// Messages shown through the attention dialog.
namespace AttentionText
{
inline constexpr const char* kDisconnected = DisconnectionText;
inline constexpr const char* kConfigError = "The config file is error，Please uninstall software and install it again!";
inline constexpr const char* kMacroInUse = "The Macro which want to delete is using,can't delete it!";
inline constexpr const char* kSelectToDelete = "Please select which Macro to delete!";
inline constexpr const char* kImportError = "The Import file is error!";
inline constexpr const char* kSelectToImport = "Please select which Macro to import!";
inline constexpr const char* kSelectToExport = "Please select which Macro to export!";
inline constexpr const char* kListNameExists = "The Macro is existent,please rename it!";
inline constexpr const char* kListNameTooLong = "The lengh of name is exceed 12,please new it again!";
inline constexpr const char* kSelectToRecord = "Please select the macro which to record!";
inline constexpr const char* kActionsFull = "The Number of Action is full!";
inline constexpr const char* kNewNameTooLong = "The lengh of name exceed 12，please new it again!";
inline constexpr const char* kNewNameExists = "The macro is existen，please new it again!";
inline constexpr const char* kLoopRange = "The range of loop times is 1~255，Please input again!";
} // namespace AttentionText
