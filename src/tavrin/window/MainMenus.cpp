#include "MainMenus.h"

#include <iterator>
#include <span>

#include "FormatChoices.h"
#include "HelpMenu.h"
#include "RecentMenu.h"
#include "Texts.h"
#include "WrapAndZoom.h"

namespace mainmenu {

namespace {

using form::MenuItem;
const MenuItem kFileItems[] = {
    {texts::FileNew, texts::ShortcutNew},
    {texts::FileOpen, texts::ShortcutOpen},
    {L"-"},
    {texts::FileSave, texts::ShortcutSave},
    {texts::FileSaveAs},
    {L"-"},
    {texts::FilePrinterSetup},
    {texts::FilePrintPreview, nullptr, false},
    {texts::FilePrint, texts::ShortcutPrint},
    {L"-", nullptr, false},
    {texts::FileSend, nullptr, false},
    {L"-"},
    {texts::FileRecentFiles},
    {L"-"},
    {texts::FileExit},
    {texts::FileReopenEncoding},
};
const MenuItem kEditItems[] = {
    {texts::EditUndo},
    {L"-"},
    {texts::EditCut},
    {texts::EditCopy},
    {texts::EditPaste, nullptr, true, false},
    {texts::EditSelectAll},
    {L"-"},
    {texts::EditFind, texts::ShortcutFind},
    {texts::EditFindNext},
    {L"-"},
    {texts::EditReplace, texts::ShortcutReplace},
    {texts::EditGoTo, texts::ShortcutGoTo},
    {texts::EditFindInFiles, texts::ShortcutFindInFiles},
};
const MenuItem kViewItems[] = {
    {texts::ViewToolbar, nullptr, false},
    {texts::ViewStatusBar},
    {texts::ViewSyntaxColouring},
    {texts::ViewLineNumbers},
    {texts::ViewOutput},
    {texts::ViewFolding},
    {texts::ViewWordWrap},
    {texts::ViewZoom},
};
const MenuItem kFormatItems[] = {
    {texts::FormatFont},
    {texts::FormatTextColor},
    {texts::FormatForecolor},
    {texts::FormatLineEnds},
};
const MenuItem kToolsItems[] = {
    {texts::ToolsOptions},
    {texts::ToolsCompilerSetup},
    {texts::ToolsCompileBorland},
    {texts::ToolsCompile, nullptr, false},
    {L"-"},
    {texts::ToolsBuild, texts::ShortcutBuild},
    {texts::ToolsRun, texts::ShortcutRun},
    {texts::ToolsStopBuild, texts::ShortcutStopBuild, true, false},
    {texts::ToolsNextError, texts::ShortcutNextError},
    {texts::ToolsPreviousError, texts::ShortcutPreviousError},
};
const form::MenuDef kMenus[] = {
    {texts::MenuFile, FileBase, kFileItems, std::size(kFileItems)},
    {texts::MenuEdit, EditBase, kEditItems, std::size(kEditItems)},
    {texts::MenuView, ViewBase, kViewItems, std::size(kViewItems)},
    {texts::MenuFormat, FormatBase, kFormatItems, std::size(kFormatItems)},
    {texts::MenuTools, ToolsBase, kToolsItems, std::size(kToolsItems)},
    {texts::MenuHelp, HelpBase, kHelpMenuItems, kHelpMenuCount},
};

constexpr WORD Id(int base, int item) { return static_cast<WORD>(base + item); }

}  // namespace

const form::MenuDef* Menus(size_t& count) {
    count = std::size(kMenus);
    return kMenus;
}

HMENU CreateBar() {
    HMENU bar = form::BuildMenuBar(kMenus, std::size(kMenus));
    for (int item : {ViewStatusBar, ViewSyntaxColouring, ViewLineNumbers, ViewFolding})
        CheckMenuItem(bar, ViewBase + item, MF_BYCOMMAND | MF_CHECKED);
    return bar;
}

Command CommandOf(int id) {
    using namespace formatchoices;
    if (id >= LineEndsBase && id < LineEndsBase + 3) return {Menu::LineEnds, id - LineEndsBase};
    if (id >= ReopenBase && id < ReopenBase + 5) return {Menu::Reopen, id - ReopenBase};
    if (id >= RecentMenu::FirstId && id <= RecentMenu::ClearId) return {Menu::Recent, id};
    if (id >= wrapzoom::ZoomBase && id < wrapzoom::ZoomBase + 3) return {Menu::Zoom, id - wrapzoom::ZoomBase};
    size_t count = 0;
    const form::MenuDef* menus = Menus(count);
    for (const form::MenuDef& m : std::span(menus, count)) {
        const int index = form::MenuIndex(m, id);
        if (index < 0) continue;
        switch (m.baseId) {
        case FileBase: return {Menu::File, index};
        case EditBase: return {Menu::Edit, index};
        case ViewBase: return {Menu::View, index};
        case FormatBase: return {Menu::Format, index};
        case ToolsBase: return {Menu::Tools, index};
        case HelpBase: return {Menu::Help, index};
        default: break;
        }
    }
    return {};
}

HACCEL CreateAccelerators() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'N', Id(FileBase, FileNew)},
        {FVIRTKEY | FCONTROL, 'O', Id(FileBase, FileOpen)},
        {FVIRTKEY | FCONTROL, 'S', Id(FileBase, FileSave)},
        {FVIRTKEY | FCONTROL, 'P', Id(FileBase, FilePrint)},
        {FVIRTKEY | FCONTROL, 'F', Id(EditBase, EditFind)},
        {FVIRTKEY | FCONTROL, 'H', Id(EditBase, EditReplace)},
        {FVIRTKEY | FCONTROL, 'G', Id(EditBase, EditGoTo)},
        {FVIRTKEY | FCONTROL | FSHIFT, 'F', Id(EditBase, EditFindInFiles)},
        {FVIRTKEY, VK_F7, Id(ToolsBase, ToolsBuild)},
        {FVIRTKEY | FCONTROL, VK_F5, Id(ToolsBase, ToolsRun)},
        {FVIRTKEY | FCONTROL, VK_CANCEL, Id(ToolsBase, ToolsStopBuild)},  // Ctrl+Break
        {FVIRTKEY, VK_F4, Id(ToolsBase, ToolsNextError)},
        {FVIRTKEY | FSHIFT, VK_F4, Id(ToolsBase, ToolsPreviousError)},
        {FVIRTKEY | FCONTROL, VK_OEM_PLUS, wrapzoom::ZoomBase},
        {FVIRTKEY | FCONTROL, VK_ADD, wrapzoom::ZoomBase},
        {FVIRTKEY | FCONTROL, VK_OEM_MINUS, wrapzoom::ZoomBase + 1},
        {FVIRTKEY | FCONTROL, VK_SUBTRACT, wrapzoom::ZoomBase + 1},
        {FVIRTKEY | FCONTROL, '0', wrapzoom::ZoomBase + 2},
        {FVIRTKEY | FCONTROL, VK_NUMPAD0, wrapzoom::ZoomBase + 2},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

}  // namespace mainmenu
