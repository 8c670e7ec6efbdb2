// The registration tool's window: the path box, the two button rows, version display,
// the messages of a registration run and browsing.
#pragma once
#include <cstdint>
#include <string>

#include "Form.h"

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
    // Folder searched for the other build (Pellamy.exe / Pellamy64.exe); the program folder by default.
    void SetOtherBuildFolder(const std::wstring& folder) { otherBuildFolder_ = folder; }

protected:
    const form::FormDef& Definition() const override;
    HMENU CreateMenuBar() override;
    void Form_Load() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void SetMousePointer(int pointer);
    bool ValidatePath();
    std::wstring BoxPath() const;
    bool CheckBitness(const std::wstring& fullPath);
    // True (and says so) while a run given up on keeps the registry redirected.
    bool RefuseWhileRedirected();
    void CreateToolTip();

    int mousePointer_ = PointerDefault;
    std::wstring otherBuildFolder_;
    HWND toolTip_ = nullptr;
    bool currentUserOnly_ = false;
};
