// The registration tool's window: the path box, the two button rows, version display,
// the messages of a registration run and browsing.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "FileKind.h"
#include "Form.h"
#include "RunRecord.h"
#include "UiTask.h"

class frmMain : public form::Form {
public:
    // Control ids.
    enum : int {
        IdlblOCXFileSpec = 100,
        IdtxtOCXPath,
        IdcmdDialogFileSpec,
        IdlblPleaseVerify,
        IdlblFileInfo,
        IdcmdRegister,
        IdcmdProceed,
        IdcmdUnregister,
        IdcmdCancel,
        IdcmdExit,
    };
    // Menu command ids: base + index of the item.
    static constexpr int mnufileBase = 1000;
    static constexpr int mnuoperationsBase = 1100;
    static constexpr int mnuHelpBase = 1200;
    // Screen mouse pointer values.
    static constexpr int PointerDefault = 0;
    static constexpr int PointerHourglass = 11;

    // Window fields.
    std::wstring CompanyName;
    std::wstring ProductVersion;
    int16_t RegisterChosen = 0;
    int16_t UnregisterChosen = 0;
    int32_t LastResult = 0;
    std::wstring InitialDir;

    // Handlers.
    void cmdRegister_Click();
    void cmdUnregister_Click();
    void cmdProceed_Click();
    void cmdCancel_Click();
    void cmdExit_Click();
    void cmdDialogFileSpec_Click();
    void txtOCXPath_Change();
    void mnufile_Click(int index);
    void mnuoperations_Click(int index);
    void mnuHelp_Click(int index);

    // Window operations.
    void SetButtonState(bool idle);
    void ErrMsgProc(const std::wstring& message);
    void ShowVersionInfo(const std::wstring& path);
    bool ReadVersionInfo(const std::wstring& path);
    void RunRegistration(const std::wstring& path, const std::wstring& command);
    void BrowseForFile();
    // Operations index 3: Register and Unregister then run for the current user only (not stored).
    void ToggleCurrentUserOnly();
    bool CurrentUserOnly() const { return currentUserOnly_; }
    // Operations index 4: the path box's module captured into a .reg file chosen in a Save dialog.
    void ExportRegistrationToFile();
    void ShowAboutBox();
    // A chosen or dropped file: loaded for its resources to prove it is a module, then put into the
    // path box; a failure shows "Error: " and the reason.
    void AcceptChosenFile(const std::wstring& path);

    // The screen-wide mouse pointer (0 default, 11 hourglass).
    int MousePointer() const { return mousePointer_; }
    // A registration is running in its child.
    bool Busy() const { return busy_; }

protected:
    const form::FormDef& Definition() const override;
    HMENU CreateMenuBar() override;
    void Form_Load() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void SetMousePointer(int pointer);
    bool ValidatePath();
    static pellamy::FileKind KindOf(const std::wstring& fullPath);
    std::wstring BoxPath() const;
    // Runs `work` (a registration child and its wait) on a thread of its own, so the window keeps
    // answering, and `done` with its record back on the window's thread; commands wait meanwhile.
    void RunInBackground(std::function<pellamy::RunRecord()> work, std::function<void(const pellamy::RunRecord&)> done);
    void CreateToolTip();

    std::unique_ptr<uitask::Mailbox> mailbox_;
    bool busy_ = false;

    int mousePointer_ = PointerDefault;
    HWND toolTip_ = nullptr;
    bool currentUserOnly_ = false;
};
