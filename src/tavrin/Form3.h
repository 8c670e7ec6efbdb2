// The Find dialog: a small modeless window above all others that searches the editing area it is
// handed (the main window's) forward from the start ("Find" mode) or from just after the last match ("Find Next"
// mode) and selects the match there.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "EditArea.h"
#include "Form.h"
#include "LineEnds.h"
#include "SearchPattern.h"
#include "TextFind.h"

class Form3 : public form::Form {
public:
    // What the dialog searches: the editing area, its window, and how to tell that its text changed.
    struct SearchedArea {
        HWND edit = nullptr;    // searched, and the match selected in it
        HWND window = nullptr;  // brought forward with a match
        std::function<uint64_t()> changes;     // a count of the area's changes
        std::function<bool()> changesCounted;  // whether that count sees every change
        std::function<docfile::LineEnd()> lineEnds;  // the style of the area's new lines
        search::Choices* choices = nullptr;          // the owner's, shared with the other search dialogs
    };
    // Handed by the main window as it loads.
    void Searches(SearchedArea area) { area_ = std::move(area); }

    static constexpr int IdLabel1 = 101, IdText1 = 102, IdCommand1 = 103, IdCommand3 = 104, IdCommand2 = 105,
                         IdRegex = 106;

    // Edit > Find...: Find mode, the search text emptied.
    void ShowFind();
    // Edit > Find Next...: Find Next mode, the search text kept.
    void ShowFindNext();

    void Command1_Click();  // "Find"
    void Command3_Click();  // "Find Next"
    void Command2_Click();  // "Cancel"
    void Text1_Change();
    void Regex_Click();

    // Searches for Text1's text (a regular expression when the box says so) from the 1-based
    // position `start` of the editing area's text and selects the match, or says there is none.
    void FindFrom(int64_t start);

    // 1-based position of the last match in the text as the area holds it (UTF-16); 0 before the first. Kept
    // for the whole run, across closing and opening the dialog.
    int64_t LastMatchPosition = 0;

    // The copy of the text searched (tests and measurements look at its refreshes).
    const textfind::SearchCopy& Copy() const { return copy_; }

protected:
    const form::FormDef& Definition() const override;
    void Form_Load() override;
    void Form_Activate() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    const std::wstring& CurrentText();
    // The text's stamp now; `counted`: whether the change counter can tell a change.
    textfind::Stamp Now(bool& counted) const;
    uint64_t Changes() const { return area_.changes ? area_.changes() : 0; }
    void FocusEditingArea();
    void ShowChoices();
    void Tell(const std::wstring& text);
    SearchedArea area_;
    textfind::SearchCopy copy_;
    // The last plain-text match, as a place to count the next one from while the text is the same.
    editarea::Place lastPlace_;
    textfind::Stamp placeStamp_;
    HWND lastFocus_ = nullptr;  // the control to give the focus back to when the dialog is active again
};
