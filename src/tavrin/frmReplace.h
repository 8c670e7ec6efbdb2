// Edit > Replace...: a modeless dialog that finds text in the editing area it is handed (from the
// caret, once round past the end), replaces the match, or every match of the text or of a
// selection of several lines as one undo step; plain text or a regular expression.
#pragma once
#include <functional>
#include <string>

#include "Form.h"
#include "LineEnds.h"
#include "SearchPattern.h"
#include "SearchRun.h"

class frmReplace : public form::Form {
public:
    struct Area {
        HWND edit = nullptr;
        std::function<docfile::LineEnd()> lineEnds;  // the style of the area's new lines
        search::Choices* choices = nullptr;          // the owner's, shared with the other search dialogs
    };
    // Handed by the main window as it loads.
    void Works(Area area) { area_ = std::move(area); }

    static constexpr int IdLabel1 = 101, IdFind = 102, IdLabel2 = 103, IdWith = 104, IdMatchCase = 105,
                         IdWholeWord = 106, IdFindNext = 107, IdReplace = 108, IdReplaceAll = 109, IdCancel = 110,
                         IdStatus = 111, IdRegex = 112;

    void cmdFindNext_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdCancel_Click() { Unload(); }
    void Regex_Click();

    // The line under the boxes: wrapped past the end, nothing found (empty otherwise).
    std::wstring StatusText() const { return Text(IdStatus); }

protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
    void Form_Activate() override;
    void OnCommand(int id, int notifyCode, HWND control) override;

private:
    void ShowChoices();
    std::wstring What() const;
    std::wstring With() const;
    // The boxes' pattern; nullopt (and the reason on the status line) when it is not valid.
    std::optional<search::Pattern> MakePattern();
    // Runs a search that may take long (see search::RunSearch); false, said on the status line, when
    // it did not run to its end.
    bool Run(const search::Pattern& pattern, search::Work work);
    // Selects the next match from `from` (UTF-16) and says when it wrapped or found nothing; the
    // empty match at an empty selection is passed over.
    void FindFrom(const search::Pattern& pattern, std::wstring text, size_t from, bool pastEmpty);
    Area area_;
};
